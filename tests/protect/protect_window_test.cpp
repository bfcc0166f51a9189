// Immunity and the account audit driven through the real main window, on
// the eight initial rows and a seeded SAM; every access list is put back.
#include <gtest/gtest.h>

#include <memory>

#include "app/control_ids.h"
#include "host/registry.h"
#include "host/registry_security.h"
#include "host/registry_views.h"
#include "support/dialog_answerer.h"
#include "support/main_window_fixture.h"
#include "protect/key_fixture.h"

TEST(ProtectWindowTest, ImmunityButtonsOnTheInitialRows) {
  MainWindowFixture window;
  ResultList& list = window.Controls().超级列表框8;
  ASSERT_EQ(list.RowCount(), 8);
  // Every view of every row's key gets its access list back at the end.
  std::vector<std::unique_ptr<DaclBackup>> backups;
  for (int row = 0; row < 8; ++row) {
    const Text path = list.GetCellText(row, 0);
    const bool machine = Split(path).root == HKEY_LOCAL_MACHINE;
    const Text root = machine ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\";
    for (const KeyInView& view : ViewsOfKey(machine ? kLocalMachine : kCurrentUser, Split(path).subKey)) {
      backups.push_back(std::make_unique<DaclBackup>(root + view.key));
    }
  }
  ASSERT_TRUE(Opens(list.GetCellText(0, 0), KEY_READ));   // HKLM\...\Run is there in every prefix

  {
    DialogAnswerer answerer({{IDYES, ""}});
    window.Click(ButtonId(30));
    EXPECT_EQ(answerer.Seen().at(0).message, "确认是否继续操作");
  }
  // A missing key is created and locked.
  for (int row = 0; row < 8; ++row) EXPECT_EQ(list.GetCellText(row, 1), "OK") << row;
  EXPECT_FALSE(Opens(list.GetCellText(0, 0), KEY_WRITE));
  EXPECT_TRUE(Opens(list.GetCellText(0, 0), KEY_READ));

  {
    DialogAnswerer answerer({{IDYES, ""}});
    window.Click(ButtonId(29));
  }
  for (int row = 0; row < 8; ++row) EXPECT_EQ(list.GetCellText(row, 1), "Del") << row;
  EXPECT_TRUE(Opens(list.GetCellText(0, 0), KEY_WRITE));

  // Right button adds a row; activating it (and answering Yes) removes it.
  {
    DialogAnswerer answerer({{IDOK, "HKEY_CURRENT_USER\\Software\\VeltroWindowTest"}});
    window.RightClick(list);
  }
  ASSERT_EQ(list.RowCount(), 9);
  EXPECT_EQ(list.GetCellText(8, 0), "HKEY_CURRENT_USER\\Software\\VeltroWindowTest");
  {
    DialogAnswerer answerer({{IDYES, ""}});
    window.ActivateRow(list, 8);
    EXPECT_EQ(answerer.Seen().at(0).message, "是否删除\r\nHKEY_CURRENT_USER\\Software\\VeltroWindowTest");
  }
  EXPECT_EQ(list.RowCount(), 8);
}

TEST(ProtectWindowTest, ShowAndDeleteAccounts) {
  const char kNames[] = "SAM\\SAM\\Domains\\Account\\Users\\Names";
  const char* const samKeys[] = {"SAM", "SAM\\SAM", "SAM\\SAM\\Domains", "SAM\\SAM\\Domains\\Account",
                                 "SAM\\SAM\\Domains\\Account\\Users", kNames};
  std::vector<std::unique_ptr<DaclBackup>> backups;
  std::vector<bool> existed;
  for (const char* key : samKeys) {
    const Text path = Text("HKEY_LOCAL_MACHINE\\") + key;
    existed.push_back(Opens(path, READ_CONTROL));
    backups.push_back(std::make_unique<DaclBackup>(path));
    ReplaceKeyAccessList(path, {{KeyTrustee::Everyone, kKeyAccessFullControl, true}});
  }
  for (const char* name : {"Administrator", "Guest", "SUPPORT_388945a0$"}) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (Text(kNames) + "\\" + name).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(handle);
  }

  std::vector<KeyAccessEntry> before;
  ASSERT_TRUE(ReadKeyAccessList(Text("HKEY_LOCAL_MACHINE\\") + kNames, before));

  MainWindowFixture window;
  ResultList& list = window.Controls().超级列表框9;
  window.Click(ButtonId(32));
  window.Click(ButtonId(32));
  ASSERT_EQ(list.RowCount(), 3);
  EXPECT_EQ(list.GetCellText(2, 0), "SUPPORT_388945a0$");
  EXPECT_EQ(list.GetCellText(2, 1), "成功");

  window.FocusRow(list, 1);
  {
    DialogAnswerer answerer({{IDYES, ""}});
    window.Click(ButtonId(31));
    EXPECT_EQ(answerer.Seen().at(0).message, "是否删除\r\nGuest");
  }
  ASSERT_EQ(list.RowCount(), 2);
  EXPECT_EQ(list.GetCellText(1, 0), "SUPPORT_388945a0$");
  // The keys keep the access list they had.
  std::vector<KeyAccessEntry> entries;
  ASSERT_TRUE(ReadKeyAccessList(Text("HKEY_LOCAL_MACHINE\\") + kNames, entries));
  EXPECT_EQ(entries, before);

  for (const char* key : samKeys) {
    ReplaceKeyAccessList(Text("HKEY_LOCAL_MACHINE\\") + key, {{KeyTrustee::Everyone, kKeyAccessFullControl, true}});
  }
  for (const char* name : {"Administrator", "Guest", "SUPPORT_388945a0$"}) {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (Text(kNames) + "\\" + name).c_str());
  }
  for (std::size_t i = existed.size(); i-- > 0;) {
    if (!existed[i]) RegDeleteKeyA(HKEY_LOCAL_MACHINE, samKeys[i]);
  }
}
