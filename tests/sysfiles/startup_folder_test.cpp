// The Startup-folder page: listing (hidden files in, folders out, full
// paths, descriptions) and deletion after a prompt.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>

#include "app/handlers.h"
#include "host/files.h"
#include "support/backup_places.h"
#include "support/dialog_answerer.h"
#include "support/fixtures.h"
#include "support/test_window.h"
#include "sysfiles/file_fixture.h"
#include "sysfiles/startup_folder.h"

namespace {

std::vector<Text> Column(TestListHost& host, int column) {
  std::vector<Text> cells;
  for (const auto& row : host.Rows()) cells.push_back(row[static_cast<std::size_t>(column)]);
  return cells;
}

std::vector<Text> Sorted(std::vector<Text> texts) {
  std::sort(texts.begin(), texts.end());
  return texts;
}

}  // namespace

TEST(StartupFolderTest, ListsFilesWithFullPathsButNoFolders) {
  TestFolder folder;
  const Text& dir = folder.Path();
  ASSERT_TRUE(WriteWholeFile(dir + "desktop.ini", "[.ShellClassInfo]\r\n"));
  ASSERT_TRUE(SetFileAttributesA((dir + "desktop.ini").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(CopyFileA(fixture::kComponentDll.c_str(), (dir + "veltro_component_copy.dll").c_str(), FALSE));
  ASSERT_TRUE(CreateDirectoryA((dir + "sub").c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(dir + "sub\\inner.txt", "x"));

  TestListHost host({300, 150, 0}, /*multipleSelection=*/true);
  host.List().SetCellText(host.List().InsertRow(), 0, "old row");
  LoadStartupFolderPage(host.List(), dir);
  const std::vector<Text> expected = {dir + "desktop.ini", dir + "veltro_component_copy.dll"};
  EXPECT_EQ(Sorted(Column(host, 0)), Sorted(expected));
  EXPECT_EQ(Column(host, 0), Column(host, 2));
  for (const auto& row : host.Rows()) {
    EXPECT_EQ(row[1], row[0] == dir + "veltro_component_copy.dll" ? fixture::kComponentDescription : Text()) << row[0];
  }

  LoadStartupFolderPage(host.List(), "");   // unknown folder: nothing, not the current folder
  EXPECT_EQ(host.List().RowCount(), 0);
}

TEST(StartupFolderTest, DeletesTheTopmostSelectedFileAfterYes) {
  TestFolder folder;
  const Text& dir = folder.Path();
  for (const char* name : {"a.lnk", "b.lnk", "c.lnk"}) ASSERT_TRUE(WriteWholeFile(dir + name, name));
  TestListHost host({300, 150, 0}, /*multipleSelection=*/true);
  ResultList& list = host.List();
  LoadStartupFolderPage(list, dir);
  ASSERT_EQ(list.RowCount(), 3);

  DeleteStartupFolderFile(list);   // nothing selected: nothing asked
  EXPECT_EQ(list.RowCount(), 3);

  list.SelectRow(2);
  list.SelectRow(1);
  const Text target = list.GetCellText(1, 2);
  {
    DialogAnswerer answerer({{IDNO, ""}});
    DeleteStartupFolderFile(list);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].message, "是否删除文件\r\n" + target);
    EXPECT_EQ(answerer.Seen()[0].caption, "Windows");
    EXPECT_TRUE(answerer.Seen()[0].hasYes && answerer.Seen()[0].hasNo);
  }
  EXPECT_EQ(list.RowCount(), 3);
  EXPECT_NE(ReadWholeFile(target), "<missing>");

  {
    DialogAnswerer answerer({{IDYES, ""}});
    DeleteStartupFolderFile(list);
  }
  EXPECT_EQ(list.RowCount(), 2);
  EXPECT_EQ(ReadWholeFile(target), "<missing>");
  for (int row = 0; row < list.RowCount(); ++row) EXPECT_NE(list.GetCellText(row, 2), target);

  // A file that cannot be deleted keeps its row.
  const Text kept = list.GetCellText(0, 2);
  HANDLE holder = CreateFileA(kept.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  for (int row = 0; row < list.RowCount(); ++row) list.SelectRow(row, row == 0);
  {
    DialogAnswerer answerer({{IDYES, ""}});
    DeleteStartupFolderFile(list);
  }
  CloseHandle(holder);
  EXPECT_EQ(list.RowCount(), 2);
  EXPECT_EQ(list.GetCellText(0, 2), kept);
}

TEST(StartupFolderTest, RefreshButtonListsTheUsersStartupFolder) {
  char buffer[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, buffer, CSIDL_STARTUP, TRUE));
  const Text startup = GetSpecialFolder(kFolderStartup);
  ASSERT_EQ(startup, Text(buffer) + "\\");
  const Text file = startup + "veltro_startup_test.txt";
  ASSERT_TRUE(WriteWholeFile(file, "x"));
  TestListHost host({300, 150, 0}, true);
  MainControls c;
  c.超级列表框7 = host.List();
  OnStartupFolderRefresh(c);
  const std::vector<Text> listed = Column(host, 2);
  EXPECT_NE(std::find(listed.begin(), listed.end(), file), listed.end());
  DeleteFileA(file.c_str());
}

// The test prefixes map T: and U: to folders of their own. A worm's
// autorun.inf (hidden, system, read-only) follows the folder's files and
// goes, backed up first; a folder of that name is neither listed nor touched.
TEST(StartupFolderTest, DriveAutorunFilesFollowTheFolderAndGoWhateverTheirAttributes) {
  ASSERT_EQ(GetDriveTypeA("T:\\"), static_cast<UINT>(DRIVE_FIXED)) << "the test prefix's drive T:";
  ASSERT_EQ(GetDriveTypeA("U:\\"), static_cast<UINT>(DRIVE_FIXED)) << "the test prefix's drive U:";
  const Text inf = "T:\\autorun.inf", guard = "U:\\autorun.inf";
  const Text text =
      "[AutoRun]\r\nopen=RECYCLER\\worm.exe\r\nicon=worm.ico\r\nshell\\explore=Explore\r\n"
      "shell\\explore\\command=RECYCLER\\worm.exe -e\r\n";
  ASSERT_TRUE(WriteWholeFile(inf, text));
  ASSERT_TRUE(SetFileAttributesA(inf.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(CreateDirectoryA(guard.c_str(), nullptr));
  TestFolder folder;
  ASSERT_TRUE(WriteWholeFile(folder.Path() + "a.lnk", "a"));
  ScratchBackupPlaces places;

  TestListHost host({300, 150, 0}, true);
  ResultList& list = host.List();
  LoadStartupFolderPage(list, folder.Path());
  ASSERT_EQ(list.RowCount(), 2);
  EXPECT_EQ(host.Rows()[0][2], folder.Path() + "a.lnk");
  EXPECT_EQ(host.Rows()[1], (std::vector<Text>{inf, "open=RECYCLER\\worm.exe  shell\\explore\\command=RECYCLER\\worm.exe -e", inf}));

  list.SelectRow(1);
  {
    DialogAnswerer answerer({{IDYES, ""}});
    DeleteStartupFolderFile(list);
    ASSERT_EQ(answerer.Seen().size(), 1u);
  }
  EXPECT_EQ(GetFileAttributesA(inf.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(list.RowCount(), 1);
  const Text backup = LastBackupOf("startup-file-delete");
  ASSERT_FALSE(backup.empty());
  EXPECT_EQ(ReadWholeFile(backup), text);
  EXPECT_NE(GetFileAttributesA(guard.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  RemoveDirectoryA(guard.c_str());
}
