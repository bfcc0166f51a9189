// Files, processes, folders and initialisation files against the real file
// system of the test prefix. Every test works in its own temporary folder.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <atomic>

#include "support/background_thread.h"

#include "host/files.h"
#include "support/fixtures.h"

namespace {

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = GetSpecialFolder(kFolderTemp) + "VeltroFilesTest\\";
    Clean();
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
  }
  void TearDown() override { Clean(); }

  void Clean() {
    std::string from = folder_;   // SHFileOperation wants two terminating zeros
    from.push_back('\0');
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    SHFileOperationA(&operation);
  }

  Text Put(const Text& name, const Text& content) {
    const Text path = folder_ + name;
    EXPECT_TRUE(WriteFileBytes(path, ToBytes(content)));
    return path;
  }

  static Text Content(const Text& path) {
    ReadOnlyFile file;
    if (!file.Open(path)) return "<missing>";
    const ByteString bytes = file.Read(static_cast<std::size_t>(file.Length()));
    return Text(bytes.begin(), bytes.end());
  }

  Text folder_;
};

TEST_F(FilesTest, Existence) {
  Put("a.txt", "x");
  CreateDirectoryA((folder_ + "sub").c_str(), nullptr);
  struct Case {
    Text path;
    bool exists;
  };
  const Case cases[] = {
      {folder_ + "a.txt", true},
      {folder_ + "sub", true},      // a folder counts
      {folder_ + "*.txt", true},
      {folder_ + "*.ini", false},
      {folder_ + "b.txt", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(FileExists(c.path), c.exists) << c.path;
  EXPECT_TRUE(DeleteFile(folder_ + "a.txt"));
  EXPECT_FALSE(DeleteFile(folder_ + "a.txt"));
  EXPECT_FALSE(FileExists(folder_ + "*.txt"));
}

TEST_F(FilesTest, AttributesAreMasked) {
  const Text path = Put("a.txt", "x");
  struct Case {
    int set, expected;
  };
  const Case cases[] = {
      {FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY, 7},
      {FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_COMPRESSED | FILE_ATTRIBUTE_ENCRYPTED, 1},   // 0x800/0x4000 ignored
      {FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_TEMPORARY, 2},         // 0x80/0x100 ignored
      {0, 0},
  };
  // Wine reports every plain file as archived; the archive bit is left out.
  for (const Case& c : cases) {
    EXPECT_TRUE(SetFileAttributes(path, c.set)) << c.set;
    EXPECT_EQ(GetFileAttributes(path) & ~FILE_ATTRIBUTE_ARCHIVE, c.expected) << c.set;
  }
  EXPECT_EQ(GetFileAttributes(folder_.substr(0, folder_.size() - 1)) & 0x10, 0x10);
  EXPECT_EQ(GetFileAttributes(folder_ + "missing"), -1);
  EXPECT_FALSE(SetFileAttributes(folder_ + "missing", 1));
}

TEST_F(FilesTest, WriteFileBytesReplacesTheWholeFile) {
  const Text path = Put("a.txt", "old content that is longer");
  EXPECT_TRUE(WriteFileBytes(path, std::vector<ByteString>{ToBytes("ab"), {}, ByteString{0, 'c'}}));
  EXPECT_EQ(Content(path), Text("ab\0c", 4));
  EXPECT_TRUE(WriteFileBytes(path, ByteString()));   // truncates to nothing
  EXPECT_EQ(Content(path), "");
  EXPECT_FALSE(WriteFileBytes("", ToBytes("x")));
  EXPECT_FALSE(WriteFileBytes(folder_ + "no folder\\a.txt", ToBytes("x")));
}

TEST_F(FilesTest, ReadOnlyFileSharesForReadingOnly) {
  const Text path = Put("a.txt", "0123456789");
  ReadOnlyFile file;
  EXPECT_EQ(file.Length(), -1);
  EXPECT_TRUE(file.Read(4).empty());
  ASSERT_TRUE(file.Open(path));
  EXPECT_EQ(file.Length(), 10);
  EXPECT_EQ(file.Read(4), ToBytes("0123"));
  EXPECT_TRUE(file.Seek(8));
  EXPECT_EQ(file.Read(4), ToBytes("89"));   // fewer at the end
  EXPECT_TRUE(file.Read(4).empty());
  EXPECT_FALSE(file.Seek(-1));

  ReadOnlyFile second;
  EXPECT_TRUE(second.Open(path));                        // others may read
  EXPECT_FALSE(WriteFileBytes(path, ToBytes("lost")));   // but not write
  second.Close();

  ReadOnlyFile moved(std::move(file));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_TRUE(moved.Seek(0));
  EXPECT_EQ(moved.Read(10), ToBytes("0123456789"));
  moved = ReadOnlyFile();
  EXPECT_FALSE(moved.IsOpen());
  EXPECT_TRUE(WriteFileBytes(path, ToBytes("free")));   // every handle is closed
  EXPECT_FALSE(file.Open(folder_ + "missing"));
}

TEST_F(FilesTest, RunCommandLine) {
  const Text marker = folder_ + "marker.txt";
  // Waiting: the child's work is done when the call returns.
  EXPECT_TRUE(RunCommandLine(fixture::kComponentExe + " " + marker + " 300", true, kWindowHide));
  EXPECT_EQ(Content(marker), "done");
  DeleteFileA(marker.c_str());
  // Out-of-range window modes are clamped, the process still starts.
  EXPECT_TRUE(RunCommandLine(fixture::kComponentExe + " " + marker + " 0 3", true, 0));
  EXPECT_TRUE(RunCommandLine("\"" + fixture::kComponentExe + "\"", true, 99));
  EXPECT_FALSE(RunCommandLine(folder_ + "no such program.exe", true, kWindowHide));
  EXPECT_FALSE(RunCommandLine("", true, kWindowHide));
  // Not waiting: back long before the child is done.
  DeleteFileA(marker.c_str());
  const DWORD start = GetTickCount();
  EXPECT_TRUE(RunCommandLine(fixture::kComponentExe + " " + marker + " 3000", false, kWindowHide));
  EXPECT_LT(GetTickCount() - start, 2500u);
  EXPECT_FALSE(FileExists(marker));
  while (!FileExists(marker) && GetTickCount() - start < 20000) Sleep(50);
  Sleep(100);
}

// A program named without a path is the System folder's, never one planted
// beside the running program or in the current folder; and a child that
// asks a question gets the end of its input instead of waiting for ever.
TEST_F(FilesTest, ChildProcessesCannotBeReplacedNorWait) {
  char own[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, own, MAX_PATH);
  Text ownFolder = own;
  ownFolder.erase(ownFolder.rfind('\\') + 1);
  const Text marker = folder_ + "planted.txt";
  for (const Text& planted : {ownFolder + "reg.exe", folder_ + "reg.exe"}) {
    ASSERT_TRUE(CopyFileA(fixture::kComponentExe.c_str(), planted.c_str(), FALSE)) << planted;
  }
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, current);
  SetCurrentDirectoryA(folder_.c_str());
  RunCommandLine("REG " + marker, true, kWindowHide);
  SetCurrentDirectoryA(current);
  DeleteFileA((ownFolder + "reg.exe").c_str());
  EXPECT_FALSE(FileExists(marker)) << "a planted reg.exe ran";

  // "set /p" reads a line from standard input.
  std::atomic<bool> returned{false};
  BackgroundThread child([&] {
    RunCommandLine("cmd /c set /p ANSWER=", true, kWindowHide);
    returned = true;
  });
  const DWORD start = GetTickCount();
  while (!returned && GetTickCount() - start < 20000) Sleep(50);
  EXPECT_TRUE(returned) << "the child waited for input";
}

TEST_F(FilesTest, SpecialFoldersEndInABackslash) {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);   // given without the backslash
  EXPECT_EQ(GetSpecialFolder(kFolderWindows), Text(windows) + "\\");
  for (int number : {kFolderSystem, kFolderStartup, kFolderTemp}) {   // the temporary folder has one already
    const Text folder = GetSpecialFolder(number);
    EXPECT_TRUE(folder.size() > 3 && RightBytes(folder, 2).find('\\') == 1) << folder;
  }
  EXPECT_EQ(GetSpecialFolder(0), "");
  EXPECT_EQ(GetSpecialFolder(12), "");
}

TEST_F(FilesTest, ReadProfileText) {
  const Text ini = Put("boot.ini", "[boot loader]\r\ntimeout=30\r\ndefault=multi(0)\r\n[other]\r\nlong=" +
                                       Text(12000, 'x') + "\r\n");
  struct Case {
    Text file, section, key, fallback, expected;
  };
  const Case cases[] = {
      {ini, "boot loader", "timeout", "", "30"},
      {" \t" + ini, "  boot loader", "\ttimeout", "", "30"},   // leading blanks skipped
      {ini, "boot loader", "missing", "dflt", "dflt"},
      {ini, "boot loader", "", "dflt", ""},                   // nothing asked: no call, no default
      {"", "boot loader", "timeout", "dflt", ""},
      {ini, "other", "long", "", Text(10239, 'x')},            // limited to 10240 with the zero
  };
  for (const Case& c : cases) EXPECT_EQ(ReadProfileText(c.file, c.section, c.key, c.fallback), c.expected) << c.key;
}

}  // namespace
