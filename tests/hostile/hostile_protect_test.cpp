// Immunity and the account audit on hostile input: rows that are no key
// paths, account names that try to smuggle lines into the access script.
// Only the keys the user named may have their access lists changed.
#include <gtest/gtest.h>
#include <windows.h>

#include "host/registry.h"
#include "host/registry_security.h"
#include "host/registry_views.h"
#include "support/dialog_answerer.h"
#include "support/hostile_seed.h"
#include "support/main_window_fixture.h"

namespace {

const char kNames[] = "SAM\\SAM\\Domains\\Account\\Users\\Names";
const char* const kSamKeys[] = {
    "SAM", "SAM\\SAM", "SAM\\SAM\\Domains", "SAM\\SAM\\Domains\\Account", "SAM\\SAM\\Domains\\Account\\Users", kNames};

std::vector<KeyAccessEntry> AccessOf(const Text& absoluteKey) {
  std::vector<KeyAccessEntry> entries;
  ReadKeyAccessList(absoluteKey, entries);
  return entries;
}

TEST(HostileProtect, AnAccountNameCannotSmuggleAKeyIntoTheAccessScript) {
  hostile::Seed seed;
  for (const char* key : kSamKeys) {
    seed.Key(HKEY_LOCAL_MACHINE, key);
    seed.KeepAccess(HKEY_LOCAL_MACHINE, key);
  }
  // Another account's name key, and a name that carries an access list and
  // a line break of its own, as if the script were text to be extended.
  const Text victim = Text(kNames) + "\\hv other";
  ASSERT_TRUE(seed.Key(HKEY_LOCAL_MACHINE, victim));
  ASSERT_TRUE(
      ReplaceKeyAccessList("HKEY_LOCAL_MACHINE\\" + victim, {{KeyTrustee::Everyone, kKeyAccessFullControl, true}}));
  const std::vector<KeyAccessEntry> victimAccess = AccessOf("HKEY_LOCAL_MACHINE\\" + victim);
  const Text smuggler = "hv other [8 19]\r\nHKEY_LOCAL_MACHINE";
  if (!seed.Key(HKEY_LOCAL_MACHINE, Text(kNames) + "\\" + smuggler)) GTEST_SKIP() << "no such names here";
  ASSERT_TRUE(seed.Key(HKEY_LOCAL_MACHINE, Text(kNames) + "\\hv;plain"));

  MainWindowFixture fixture;
  MainControls& c = fixture.Controls();
  fixture.Click(ButtonId(32));
  int row = -1;
  for (int r = 0; r < c.超级列表框9.RowCount(); ++r) {
    if (c.超级列表框9.GetCellText(r, 0) == smuggler) row = r;
  }
  ASSERT_GE(row, 0) << "the name is not listed whole";
  EXPECT_EQ(AccessOf("HKEY_LOCAL_MACHINE\\" + victim), victimAccess);

  // Deleting it opens the SAM keys and that one name, nothing else.
  fixture.FocusRow(c.超级列表框9, row);
  {
    DialogAnswerer answerer({{IDYES, ""}});
    fixture.Click(ButtonId(31));
    EXPECT_EQ(answerer.Seen().size(), 1u);
  }
  EXPECT_EQ(AccessOf("HKEY_LOCAL_MACHINE\\" + victim), victimAccess) << "a key nobody named was changed";
  bool stillListed = false, plainListed = false;
  for (int r = 0; r < c.超级列表框9.RowCount(); ++r) {
    stillListed |= c.超级列表框9.GetCellText(r, 0) == smuggler;
    plainListed |= c.超级列表框9.GetCellText(r, 0) == "hv;plain";
  }
  EXPECT_FALSE(stillListed);
  EXPECT_TRUE(plainListed);
  // Put the keys where the seed can remove them.
  for (const char* key : kSamKeys) {
    ReplaceKeyAccessList(Text("HKEY_LOCAL_MACHINE\\") + key, {{KeyTrustee::Everyone, kKeyAccessFullControl, true}});
  }
}

TEST(HostileProtect, ImmunityRowsThatAreNoKeyPathsChangeNothing) {
  hostile::Seed seed;
  const Text own = "Software\\hv immune";
  ASSERT_TRUE(seed.Key(HKEY_CURRENT_USER, own));
  seed.KeepAccess(HKEY_CURRENT_USER, own);
  seed.KeepAccess(HKEY_CURRENT_USER, "Software");
  seed.KeepAccess(HKEY_LOCAL_MACHINE, "SOFTWARE");
  // The eight standard rows are locked and unlocked too; their keys get
  // back what they had.
  for (const char* key :
       {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx",
        "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon"}) {
    // The 32-bit copies too, which locking creates where they are missing.
    for (const KeyInView& view : ViewsOfKey(kLocalMachine, key)) {
      if (view.view != RegistryView::Native) seed.Key(HKEY_LOCAL_MACHINE, view.key);
      seed.KeepAccess(HKEY_LOCAL_MACHINE, view.key);
    }
  }
  for (const char* key :
       {"Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx", "Software\\Microsoft\\Internet Explorer\\Main"}) {
    seed.KeepAccess(HKEY_CURRENT_USER, key);
  }
  const std::vector<KeyAccessEntry> softwareAccess = AccessOf("HKEY_CURRENT_USER\\Software");
  const std::vector<KeyAccessEntry> machineAccess = AccessOf("HKEY_LOCAL_MACHINE\\SOFTWARE");

  MainWindowFixture fixture;
  MainControls& c = fixture.Controls();
  ResultList& list = c.超级列表框8;
  // Each prompt costs two seconds here (no window manager): a few rows.
  const std::vector<Text> rows = {
      "HKEY_CURRENT_USER\\" + own, "", "HKEY_CURRENT_USER\\", "HKLM\\SOFTWARE", "HKEY_CURRENT_USER\\Software [8 19",
  };
  for (const Text& text : rows) {
    DialogAnswerer answerer({{IDOK, text}});
    fixture.RightClick(list);
  }
  constexpr int kStandardRows = 8;
  ASSERT_EQ(list.RowCount(), kStandardRows + static_cast<int>(rows.size()));
  {
    DialogAnswerer answerer({{IDYES, ""}});
    fixture.Click(ButtonId(30));
  }
  EXPECT_EQ(list.GetCellText(kStandardRows, 1), "OK");
  for (std::size_t row = 1; row + 1 < rows.size(); ++row) {
    EXPECT_NE(list.GetCellText(kStandardRows + static_cast<int>(row), 1), "OK") << rows[row];
  }
  // The last row's bracket is part of a key name, not an access list: that
  // key of its own (created, as a missing key is) is what gets locked.
  EXPECT_EQ(list.GetCellText(kStandardRows + static_cast<int>(rows.size()) - 1, 1), "OK");
  EXPECT_EQ(AccessOf("HKEY_CURRENT_USER\\Software"), softwareAccess);
  EXPECT_EQ(AccessOf("HKEY_LOCAL_MACHINE\\SOFTWARE"), machineAccess);
  {
    DialogAnswerer answerer({{IDYES, ""}});
    fixture.Click(ButtonId(29));
  }
  EXPECT_EQ(list.GetCellText(kStandardRows, 1), "Del");
  EXPECT_EQ(AccessOf("HKEY_CURRENT_USER\\Software"), softwareAccess);
  EXPECT_FALSE(hostile::FileThere("c:\\temp.ini"));
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software [8 19");
}

}  // namespace
