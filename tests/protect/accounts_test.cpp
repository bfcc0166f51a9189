// Account audit against a seeded Names key in the SAM of the test prefix:
// the listing, the deletion and the access lists left on the SAM keys.
#include <gtest/gtest.h>

#include <memory>

#include "host/registry_security.h"
#include "protect/accounts.h"
#include "protect/key_fixture.h"
#include "support/dialog_answerer.h"
#include "support/test_window.h"

namespace {

const char* const kSamKeys[] = {
    "SAM", "SAM\\SAM", "SAM\\SAM\\Domains", "SAM\\SAM\\Domains\\Account", "SAM\\SAM\\Domains\\Account\\Users",
    "SAM\\SAM\\Domains\\Account\\Users\\Names",
};

Text Absolute(const Text& subKey) { return "HKEY_LOCAL_MACHINE\\" + subKey; }

const std::vector<KeyAccessEntry> kClosed = {{KeyTrustee::LocalSystem, kKeyAccessFullControl, true},
                                             {KeyTrustee::LocalSystem, kKeyAccessReadWrite, true}};
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

  void ExpectClosed() {
    for (const char* key : kSamKeys) {
      std::vector<KeyAccessEntry> entries;
      EXPECT_TRUE(ReadKeyAccessList(Absolute(key), entries)) << key;
      EXPECT_EQ(entries, kClosed) << key;
    }
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
  TestListHost host_{{400, 50}};
  ResultList& list_ = host_.List();
};

const std::vector<Text> kAllNames = {"Administrator", "Guest", "hidden$", "Parent"};

}  // namespace

TEST_F(AccountsTest, ScriptsAsTheRegistryToolTakesThem) {
  EXPECT_EQ(SamOpenScript(),
            "HKEY_LOCAL_MACHINE\\SAM [1 17]\r\nHKEY_LOCAL_MACHINE\\SAM\\SAM [1 17]\r\n"
            "HKEY_LOCAL_MACHINE\\SAM\\SAM\\Domains [1 17]\r\n"
            "HKEY_LOCAL_MACHINE\\SAM\\SAM\\Domains\\Account [1 17]\r\n"
            "HKEY_LOCAL_MACHINE\\SAM\\SAM\\Domains\\Account\\Users [1 17]\r\n"
            "HKEY_LOCAL_MACHINE\\SAM\\SAM\\Domains\\Account\\Users\\Names [1 17]");
  EXPECT_EQ(SamOpenScriptForAccount("Guest"),
            SamOpenScript() + "\r\nHKEY_LOCAL_MACHINE\\SAM\\SAM\\Domains\\Account\\Users\\Names\\Guest [1 17]");
  EXPECT_EQ(SamCloseScript(),
            "HKEY_LOCAL_MACHINE\\SAM [17 18]\r\nHKEY_LOCAL_MACHINE\\SAM\\SAM [17 18]\r\n"
            "HKEY_LOCAL_MACHINE\\SAM\\SAM\\Domains [17 18]\r\n"
            "HKEY_LOCAL_MACHINE\\SAM\\SAM\\Domains\\Account [17 18]\r\n"
            "HKEY_LOCAL_MACHINE\\SAM\\SAM\\Domains\\Account\\Users [17 18]\r\n"
            "HKEY_LOCAL_MACHINE\\SAM\\SAM\\Domains\\Account\\Users\\Names [17 18]");
}

TEST_F(AccountsTest, ListsEveryNameOnceAndClosesTheKeys) {
  ShowAccounts(list_);
  EXPECT_EQ(Names(), kAllNames);
  ExpectClosed();
  // Closed to everybody but the system account: we can no longer read them.
  HKEY handle = nullptr;
  EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kNames, 0, KEY_READ, &handle), ERROR_SUCCESS);
  if (handle) RegCloseKey(handle);

  ShowAccounts(list_);   // opens them again first
  EXPECT_EQ(Names(), kAllNames);
  ExpectClosed();
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
  ExpectClosed();

  // A name key with subkeys cannot go: the name stays listed.
  list_.SelectRow(2);
  {
    DialogAnswerer answerer({{IDYES, ""}});
    DeleteAccount(list_);
  }
  EXPECT_EQ(Names(), (std::vector<Text>{"Administrator", "hidden$", "Parent"}));
  ExpectClosed();
}
