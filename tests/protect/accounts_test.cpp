// Account audit against a seeded Names key in the SAM of the test prefix:
// the listing, the deletion, its restore and the access lists left on the
// SAM keys.
#include <gtest/gtest.h>

#include <memory>

#include "host/registry_security.h"
#include "protect/accounts.h"
#include "protect/key_fixture.h"
#include "support/backup_places.h"
#include "support/dialog_answerer.h"
#include "support/test_window.h"

namespace {

const char* const kSamKeys[] = {
    "SAM", "SAM\\SAM", "SAM\\SAM\\Domains", "SAM\\SAM\\Domains\\Account", "SAM\\SAM\\Domains\\Account\\Users",
    "SAM\\SAM\\Domains\\Account\\Users\\Names",
};

Text Absolute(const Text& subKey) { return "HKEY_LOCAL_MACHINE\\" + subKey; }

// What Windows gives the SAM keys: the system may do everything,
// Administrators may only read and change the access list.
const char kWindowsSamAccess[] = "D:P(A;CI;KA;;;SY)(A;CI;RCWD;;;BA)";
const std::vector<KeyAccessEntry> kEveryoneFull = {{KeyTrustee::Everyone, kKeyAccessFullControl, true}};

// Seeds the Names key with accounts of its own; afterwards gives the SAM
// keys back the access lists they had and removes what it created.
class AccountsTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* key : kSamKeys) {
      existed_.push_back(Opens(Absolute(key), READ_CONTROL));
      backups_.push_back(std::make_unique<DaclBackup>(Absolute(key)));
      ReplaceKeyAccessList(Absolute(key), kEveryoneFull);
    }
    for (const char* name : {"Administrator", "Guest", "hidden$", "Parent", "Parent\\Child"}) CreateName(name);
    // The default value's type is the account's number, as Windows keeps it.
    ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, (Text(kNames) + "\\Guest").c_str(), "", 0x1F5, nullptr, 0), 0);
    CloseAsWindowsDoes();
  }

  void CloseAsWindowsDoes() {
    for (const char* key : kSamKeys) ASSERT_TRUE(SetAccessText(Absolute(key), kWindowsSamAccess)) << key;
  }

  void TearDown() override {
    for (const char* key : kSamKeys) ReplaceKeyAccessList(Absolute(key), kEveryoneFull);
    for (const char* name : {"Parent\\Child", "Administrator", "Guest", "hidden$", "Parent"}) {
      RegDeleteKeyA(HKEY_LOCAL_MACHINE, (Text(kNames) + "\\" + name).c_str());
    }
    for (std::size_t i = existed_.size(); i-- > 0;) {
      if (!existed_[i]) RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSamKeys[i]);
    }
    backups_.clear();   // the access lists the keys had before
  }

  void CreateName(const Text& name) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (Text(kNames) + "\\" + name).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(handle);
  }

  // Each SAM key holds exactly the access list it had.
  void ExpectAsWindowsLeftThem() {
    for (const char* key : kSamKeys) EXPECT_EQ(AccessText(Absolute(key)), kWindowsSamAccess) << key;
  }

  std::vector<Text> Names() {
    std::vector<Text> names;
    for (const auto& row : host_.Rows()) {
      names.push_back(row[0]);
      EXPECT_EQ(row[1], "成功");
    }
    return names;
  }

  static constexpr const char* kNames = "SAM\\SAM\\Domains\\Account\\Users\\Names";
  std::vector<bool> existed_;
  std::vector<std::unique_ptr<DaclBackup>> backups_;
  ScratchBackupPlaces places_;
  TestListHost host_{{400, 50}};
  ResultList& list_ = host_.List();
};

const std::vector<Text> kAllNames = {"Administrator", "Guest", "hidden$", "Parent"};

}  // namespace

// Listing changes nothing: every key keeps its own access list, whatever it
// was, and nothing is written to the backup folder.
TEST_F(AccountsTest, ListingLeavesEveryAccessListAsItWas) {
  const char* const lists[] = {
      kWindowsSamAccess,
      "D:P(A;;KR;;;WD)(A;;KA;;;SY)",          // already readable by everyone
      "D:(A;OICI;KA;;;SY)(A;;KA;;;BA)",       // not protected: inherits from above
  };
  for (const char* list : lists) {
    SCOPED_TRACE(list);
    for (const char* key : kSamKeys) ASSERT_TRUE(SetAccessText(Absolute(key), list));
    std::vector<Text> before;
    for (const char* key : kSamKeys) before.push_back(AccessText(Absolute(key)));
    ShowAccounts(list_);
    EXPECT_EQ(Names(), kAllNames);
    for (std::size_t i = 0; i < before.size(); ++i) EXPECT_EQ(AccessText(Absolute(kSamKeys[i])), before[i]);
  }
  ShowAccounts(list_);   // twice: the same list, not a doubled one
  EXPECT_EQ(Names(), kAllNames);
  EXPECT_EQ(places_.Files(), TextList{});
}

// Where the SAM has no keys of that path, listing finds no account and
// creates none.
TEST(AccountsWithoutSamTest, ListsNothingAndCreatesNothing) {
  if (AccessText("HKEY_LOCAL_MACHINE\\SAM") != "missing") GTEST_SKIP() << "this machine has a SAM";
  ScratchBackupPlaces places;
  TestListHost host({400, 50});
  host.List().SetCellText(host.List().InsertRow(), 0, "old row");
  ShowAccounts(host.List());
  EXPECT_EQ(host.List().RowCount(), 0);
  for (const char* key : kSamKeys) EXPECT_EQ(AccessText(Absolute(key)), "missing") << key;
  EXPECT_EQ(places.Files(), TextList{});
}

TEST_F(AccountsTest, DeletesTheCurrentNameAfterYes) {
  ShowAccounts(list_);
  DeleteAccount(list_);   // no current row: nothing asked, nothing changed
  EXPECT_EQ(Names(), kAllNames);

  list_.SelectRow(1);
  {
    DialogAnswerer answerer({{IDNO, ""}});
    DeleteAccount(list_);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].message, "是否删除\r\nGuest");
    EXPECT_EQ(answerer.Seen()[0].caption, "Windows");
    EXPECT_TRUE(IsYesNoWithInformationIcon(answerer.Seen()[0]));
  }
  EXPECT_EQ(Names(), kAllNames);

  {
    DialogAnswerer answerer({{IDYES, ""}});
    DeleteAccount(list_);
  }
  EXPECT_EQ(Names(), (std::vector<Text>{"Administrator", "hidden$", "Parent"}));
  ExpectAsWindowsLeftThem();
  EXPECT_NE(LastBackupOf(kAccountBackupName), "");

  // A name key with subkeys cannot go: the name stays listed.
  list_.SelectRow(2);
  {
    DialogAnswerer answerer({{IDYES, ""}});
    DeleteAccount(list_);
  }
  EXPECT_EQ(Names(), (std::vector<Text>{"Administrator", "hidden$", "Parent"}));
  ExpectAsWindowsLeftThem();
}

namespace {

void WriteBytes(const Text& path, const std::string& bytes) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string Utf16(const std::wstring& text) {
  std::string bytes = "\xFF\xFE";
  for (wchar_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

}  // namespace

// On Windows the SAM keys stay closed to administrators, so a double-click
// on the account backup (regedit) cannot bring the name back (Wine's
// registry does not check a parent key's list when a key is created, so
// that is not shown here); Veltro's restore opens the keys, imports it and
// gives every key back its access list.
TEST_F(AccountsTest, ADeletedNameComesBackFromItsBackup) {
  const std::vector<Text> withoutGuest = {"Administrator", "hidden$", "Parent"};
  ShowAccounts(list_);
  list_.SelectRow(1);
  {
    DialogAnswerer answerer({{IDYES, ""}});
    DeleteAccount(list_);
  }
  ASSERT_EQ(Names(), withoutGuest);
  const Text backup = LastBackupOf(kAccountBackupName);
  ASSERT_NE(backup, "");

  list_.SelectRow(0);
  {
    DialogAnswerer answerer({{IDOK, backup}, {IDYES, ""}});
    RestoreAccount(list_);
    ASSERT_EQ(answerer.Seen().size(), 2u);
    EXPECT_TRUE(answerer.Seen()[0].hasEdit);
    EXPECT_EQ(answerer.Seen()[1].message, "是否恢复\r\nGuest");
    EXPECT_TRUE(IsYesNoWithInformationIcon(answerer.Seen()[1]));
  }
  EXPECT_EQ(Names(), kAllNames);
  ExpectAsWindowsLeftThem();
  ASSERT_TRUE(SetAccessText(Absolute(kNames), "D:P(A;;KA;;;WD)"));
  HKEY guest = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, (Text(kNames) + "\\Guest").c_str(), 0, KEY_READ, &guest), 0);
  DWORD type = 0;
  EXPECT_EQ(RegQueryValueExA(guest, "", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(type, 0x1F5u);
  RegCloseKey(guest);
  EXPECT_NE(LastBackupOf("account-restore"), "");
}

// Only a file that brings back name keys is imported with the SAM opened.
TEST_F(AccountsTest, ARestoreRefusesAnyOtherFile) {
  const Text file = places_.Places()[0] + "other.reg";
  const std::wstring header = L"Windows Registry Editor Version 5.00\r\n\r\n";
  const std::wstring names = L"[HKEY_LOCAL_MACHINE\\SAM\\SAM\\Domains\\Account\\Users\\Names\\Veltro]\r\n";
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"another key too", Utf16(header + names + L"[HKEY_CURRENT_USER\\Software\\VeltroRestoreTest]\r\n")},
      {"the Names key itself", Utf16(header + L"[-HKEY_LOCAL_MACHINE\\SAM\\SAM\\Domains\\Account\\Users\\Names]\r\n")},
      {"not Unicode", "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SAM\\SAM]\r\n"},
      {"no key at all", Utf16(header)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(file, c.bytes);
    DialogAnswerer answerer({{IDOK, file}, {IDOK, ""}});
    RestoreAccount(list_);
    ASSERT_EQ(answerer.Seen().size(), 2u);
    EXPECT_EQ(answerer.Seen()[1].message, "不是 Veltro 的账户备份文件：\r\n" + file);
  }
  EXPECT_FALSE(Opens("HKEY_CURRENT_USER\\Software\\VeltroRestoreTest", KEY_READ));
  ExpectAsWindowsLeftThem();
}
