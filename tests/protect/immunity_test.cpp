// Registry immunity against the real registry of the test prefix: the script,
// the access lists it leaves, the states shown and the list editing.
#include <gtest/gtest.h>

#include "ui/prompts.h"
#include "host/native_view.h"
#include "host/registry_security.h"
#include "protect/access_script.h"
#include "protect/immunity.h"
#include "protect/key_fixture.h"
#include "support/dialog_answerer.h"
#include "support/test_window.h"

namespace {

const char kTestKey[] = "Software\\VeltroImmunityTest";
const Text kTestKeyPath = Text("HKEY_CURRENT_USER\\") + kTestKey;

bool OpensForWriting(const Text& subKey) { return Opens("HKEY_CURRENT_USER\\" + subKey, KEY_WRITE); }

// A key of the test's own, made writable again and removed at the end.
class ImmunityTest : public testing::Test {
 protected:
  void SetUp() override {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    for (const char* sub : {"\\A", "\\B"}) {
      ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (Text(kTestKey) + sub).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr),
                ERROR_SUCCESS);
      RegCloseKey(key);
    }
  }
  void TearDown() override {
    for (const char* sub : {"\\A", "\\B", "\\Missing", ""}) {
      ReplaceKeyAccessList(kTestKeyPath + sub, {{KeyTrustee::Everyone, kKeyAccessFullControl, true}});
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
  }

  std::vector<KeyAccessEntry> AccessOf(const Text& path) {
    std::vector<KeyAccessEntry> entries;
    EXPECT_TRUE(ReadKeyAccessList(path, entries)) << path;
    return entries;
  }

  TestListHost host_{{400, 50}};
  ResultList& list_ = host_.List();

  void AddRows(const std::vector<Text>& keys) {
    for (const Text& key : keys) list_.SetCellText(list_.InsertRow(), 0, key);
  }
};

const std::vector<KeyAccessEntry> kLocked = {
    {KeyTrustee::Everyone, kKeyAccessRead, true}, {KeyTrustee::LocalSystem, kKeyAccessRead, true}};
// Unlocked, a key is writable only by those who may change the machine, and
// under HKEY_CURRENT_USER by its user: a limited user can plant nothing in
// an administrator's start-up keys.
const std::vector<KeyAccessEntry> kUnlockedMachineKey = {{KeyTrustee::Everyone, kKeyAccessRead, true},
                                                         {KeyTrustee::Administrators, kKeyAccessFullControl, true},
                                                         {KeyTrustee::LocalSystem, kKeyAccessFullControl, true}};
const std::vector<KeyAccessEntry> kUnlocked = {{KeyTrustee::Everyone, kKeyAccessRead, true},
                                               {KeyTrustee::Administrators, kKeyAccessFullControl, true},
                                               {KeyTrustee::LocalSystem, kKeyAccessFullControl, true},
                                               {KeyTrustee::CurrentUser, kKeyAccessFullControl, true}};

}  // namespace

TEST_F(ImmunityTest, ApplyLocksEveryRowAndRemoveUnlocksIt) {
  AddRows({kTestKeyPath + "\\A", kTestKeyPath + "\\B"});
  {
    DialogAnswerer answerer({{IDYES, ""}});
    const Text script = RunImmunityScript(list_, kImmunitySuffix, "OK");
    EXPECT_EQ(script, kTestKeyPath + "\\A [8 19]\r\n" + kTestKeyPath + "\\B [8 19]\r\n");
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].message, "确认是否继续操作");
    EXPECT_EQ(answerer.Seen()[0].caption, "Windows");
  }
  EXPECT_EQ(host_.Rows(), (std::vector<std::vector<Text>>{{kTestKeyPath + "\\A", "OK"}, {kTestKeyPath + "\\B", "OK"}}));
  EXPECT_FALSE(OpensForWriting(Text(kTestKey) + "\\A"));
  EXPECT_FALSE(OpensForWriting(Text(kTestKey) + "\\B"));
  EXPECT_EQ(AccessOf(kTestKeyPath + "\\A"), kLocked);

  {
    DialogAnswerer answerer({{IDYES, ""}});
    RemoveImmunity(list_);
  }
  EXPECT_EQ(list_.GetCellText(0, 1), "Del");
  EXPECT_EQ(list_.GetCellText(1, 1), "Del");
  EXPECT_TRUE(OpensForWriting(Text(kTestKey) + "\\A"));
  EXPECT_EQ(AccessOf(kTestKeyPath + "\\B"), kUnlocked);
}

// On 64-bit Windows a machine key under SOFTWARE has a 32-bit copy that
// 32-bit programs write and Windows runs: both are locked and unlocked, and
// the row reads "OK" only when both are locked.
TEST_F(ImmunityTest, AMachineKeyIsLockedInEveryViewAndUnlocksForAdministratorsOnly) {
  const Text key = "SOFTWARE\\VeltroImmunityMachineTest";
  const Text path = "HKEY_LOCAL_MACHINE\\" + key;
  std::vector<Text> views = {path};
  if (OnSixtyFourBitWindows()) views.push_back("HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\VeltroImmunityMachineTest");
  AddRows({path});
  struct Step {
    void (*action)(ResultList&);
    const char* status;
    std::vector<KeyAccessEntry> access;
  };
  const Step steps[] = {{&ApplyImmunity, "OK", kLocked}, {&RemoveImmunity, "Del", kUnlockedMachineKey}};
  for (const Step& step : steps) {
    DialogAnswerer answerer({{IDYES, ""}});
    step.action(list_);
    EXPECT_EQ(list_.GetCellText(0, 1), step.status);
    for (const Text& view : views) EXPECT_EQ(AccessOf(view), step.access) << view;
  }

  // A copy that cannot be locked leaves the row failed.
  if (views.size() > 1) {
    ASSERT_TRUE(SetAccessText(views[1], "D:P(A;;KR;;;WD)"));
    DialogAnswerer answerer({{IDYES, ""}});
    ApplyImmunity(list_);
    if (!Opens(views[1], WRITE_DAC)) {
      EXPECT_EQ(list_.GetCellText(0, 1), kImmunityFailed);
    }
    SetAccessText(views[1], "D:P(A;;KA;;;WD)");
  }
  for (auto view = views.rbegin(); view != views.rend(); ++view) {
    ReplaceKeyAccessList(*view, {{KeyTrustee::Everyone, kKeyAccessFullControl, true}});
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, Split(*view).subKey.c_str());
  }
}

TEST_F(ImmunityTest, RowsThatCannotBeChangedShowFailure) {
  AddRows({kTestKeyPath + "\\A", kTestKeyPath + "\\Missing", "HKEY_NOWHERE\\Software", "HKEY_CURRENT_USER", "",
           "HKEY_CURRENT_USER\\" + Text(kTestKey) + "\\B\\"});
  DialogAnswerer answerer({{IDYES, ""}});
  ApplyImmunity(list_);
  // A missing key is created and locked, so that nothing can create it later.
  const std::vector<Text> expected = {"OK", "OK", kImmunityFailed, kImmunityFailed, kImmunityFailed, "OK"};
  for (int row = 0; row < list_.RowCount(); ++row) EXPECT_EQ(list_.GetCellText(row, 1), expected[row]) << row;
  EXPECT_FALSE(OpensForWriting(Text(kTestKey) + "\\B"));
  EXPECT_EQ(AccessOf(kTestKeyPath + "\\Missing"), kLocked);
}

TEST_F(ImmunityTest, NoChangesNothingAndEmptyListIsHarmless) {
  AddRows({kTestKeyPath + "\\A"});
  const std::vector<KeyAccessEntry> before = AccessOf(kTestKeyPath + "\\A");
  {
    DialogAnswerer answerer({{IDNO, ""}});
    EXPECT_EQ(RunImmunityScript(list_, kImmunitySuffix, "OK"), "");
  }
  EXPECT_EQ(list_.GetCellText(0, 1), "");
  EXPECT_TRUE(OpensForWriting(Text(kTestKey) + "\\A"));
  EXPECT_EQ(AccessOf(kTestKeyPath + "\\A"), before);

  TestListHost empty({400, 50});
  DialogAnswerer answerer({{IDYES, ""}});
  EXPECT_EQ(RunImmunityScript(empty.List(), kImmunitySuffix, "OK"), "");
  EXPECT_EQ(answerer.Seen().size(), 1u);   // asked all the same
}

TEST_F(ImmunityTest, AddAndRemoveRows) {
  {
    DialogAnswerer answerer({{IDOK, kTestKeyPath + "\\A"}, {IDCANCEL, "x"}, {IDOK, ""}});
    AddImmunityKey(list_);
    AddImmunityKey(list_);
    AddImmunityKey(list_);
    ASSERT_GE(answerer.Seen().size(), 1u);
    EXPECT_TRUE(answerer.Seen()[0].hasEdit);
    EXPECT_EQ(answerer.Seen()[0].caption, "注册表免疫");
  }
  EXPECT_EQ(host_.Rows(), (std::vector<std::vector<Text>>{{kTestKeyPath + "\\A", ""}, {"", ""}}));

  // The empty row cannot be removed: nothing is asked.
  list_.SelectRow(1);
  RemoveImmunityKey(list_);
  EXPECT_EQ(list_.RowCount(), 2);

  list_.SelectRow(1, false);
  list_.SelectRow(0);
  {
    DialogAnswerer answerer({{IDNO, ""}, {IDYES, ""}});
    RemoveImmunityKey(list_);
    EXPECT_EQ(list_.RowCount(), 2);
    RemoveImmunityKey(list_);
    EXPECT_EQ(answerer.Seen().at(1).message, "是否删除\r\n" + kTestKeyPath + "\\A");
    EXPECT_TRUE(IsYesNoWithInformationIcon(answerer.Seen().at(1)));
  }
  EXPECT_EQ(host_.Rows(), (std::vector<std::vector<Text>>{{"", ""}}));
  EXPECT_TRUE(OpensForWriting(Text(kTestKey) + "\\A"));   // the registry is not touched

  // An added empty row takes part and fails; the others are still applied.
  AddRows({kTestKeyPath + "\\B"});
  DialogAnswerer answerer({{IDYES, ""}});
  EXPECT_EQ(RunImmunityScript(list_, kImmunitySuffix, "OK"), " [8 19]\r\n" + kTestKeyPath + "\\B [8 19]\r\n");
  EXPECT_EQ(host_.Rows(), (std::vector<std::vector<Text>>{{"", kImmunityFailed}, {kTestKeyPath + "\\B", "OK"}}));
}

TEST(AccessScriptTest, LinesAndMalformedRows) {
  struct Case {
    Text line;
    bool wellFormed;
    Text path;
    std::vector<int> codes;
  };
  const Case cases[] = {
      {"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main [8 19]", true,
       "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main", {8, 19}},
      {"HKEY_LOCAL_MACHINE\\SAM\\SAM\\Domains\\Account\\Users\\Names\\a [1] [10 17 18]", true,
       "HKEY_LOCAL_MACHINE\\SAM\\SAM\\Domains\\Account\\Users\\Names\\a [1]", {10, 17, 18}},
      {" [8 19]", false, "", {}},
      {"HKEY_CURRENT_USER\\X", false, "", {}},
      {"HKEY_CURRENT_USER\\X [8 19", false, "", {}},
      {"HKEY_CURRENT_USER\\X [8 x]", false, "", {}},
      {"HKEY_CURRENT_USER\\X [7]", false, "", {}},       // a code this program does not use
      {"HKEY_CURRENT_USER\\X []", false, "", {}},
      {"HKEY_CURRENT_USER\\X [99999999999]", false, "", {}},
      {"HKEY_CURRENT_USER\\X[8]", false, "", {}},
      {"[8]", false, "", {}},
      {"]", false, "", {}},
  };
  for (const Case& c : cases) {
    const auto lines = ParseAccessScript(c.line);
    ASSERT_EQ(lines.size(), 1u) << c.line;
    EXPECT_EQ(lines[0].wellFormed, c.wellFormed) << c.line;
    if (c.wellFormed) {
      EXPECT_EQ(lines[0].keyPath, c.path);
      EXPECT_EQ(lines[0].codes, c.codes);
    }
  }
  EXPECT_EQ(ParseAccessScript("").size(), 0u);
  EXPECT_EQ(ParseAccessScript("a [8]\r\nb [8]\r\n").size(), 2u);
  EXPECT_EQ(ParseAccessScript("a [8]\r\n\r\nb [8]").size(), 3u);
  EXPECT_EQ(ApplyAccessScript("x\r\n [8]\r\n\r\nHKEY_CURRENT_USER\\NoSuchVeltroKey [8]"),
            (std::vector<bool>{false, false, false, false}));
}
