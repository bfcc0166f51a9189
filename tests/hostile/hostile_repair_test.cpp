// The restriction scan and the repair through the real window, on settings
// that malware stored with the wrong types and sizes or locked against
// change: the scan names each finding in whole characters, the repair puts
// the right types back where it may, and a key it may not write stays
// listed instead of being reported as fixed.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/controls.h"  // before the repair fixture, which uses it
#include "../repair/repair_fixture.h"
#include "host/registry_security.h"
#include "support/dialog_answerer.h"
#include "support/hostile_seed.h"
#include "support/main_window_fixture.h"

using hostile::Bytes;
using hostile::Terminated;

namespace {

const char kExplorerPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const char kSystemPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

bool ListHolds(const ResultList& list, const Text& description) {
  for (int row = 0; row < list.RowCount(); ++row) {
    if (list.GetCellText(row, 0) == description) return true;
  }
  return false;
}

DWORD TypeOf(HKEY root, const Text& key, const Text& name) {
  DWORD type = REG_NONE;
  RegGetValueA(root, key.c_str(), name.c_str(), RRF_RT_ANY, &type, nullptr, nullptr);
  return type;
}

TEST(HostileRepair, WrongTypesAreFoundAndRepairedAndALockedKeyStaysListed) {
  RegistrySnapshot snapshot;
  SaveRepairLocations(snapshot);
  WriteCleanRestrictions();
  hostile::Seed seed;
  // Numbers stored as text, as eight bytes, as two bytes; a megabyte where a
  // command line belongs; a start page of several strings.
  ASSERT_TRUE(seed.Override(HKEY_CURRENT_USER, kExplorerPolicies, "NoRun", REG_SZ, Terminated("1")));
  ASSERT_TRUE(seed.Override(HKEY_CURRENT_USER, kExplorerPolicies, "NoFind", REG_QWORD, hostile::Qword(1)));
  ASSERT_TRUE(seed.Override(HKEY_CURRENT_USER, kExplorerPolicies, "NoClose", REG_DWORD, Bytes("\x01")));
  ASSERT_TRUE(seed.Override(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", "Userinit",
                            REG_SZ, Terminated(hostile::Repeat("C:\\hv\\", 1 << 17))));
  ASSERT_TRUE(seed.Override(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\Main", "Start Page",
                            REG_MULTI_SZ, Bytes(Text("http://hv/\0about:blank\0\0", 25))));
  ASSERT_TRUE(seed.Override(HKEY_CLASSES_ROOT, ".exe", "", REG_DWORD, hostile::Dword(1)));
  // The registry tools switched off, in a key made read-only for everybody.
  ASSERT_TRUE(seed.Override(HKEY_CURRENT_USER, kSystemPolicies, "DisableRegistryTools", REG_DWORD, hostile::Dword(1)));
  seed.KeepAccess(HKEY_CURRENT_USER, kSystemPolicies);
  ASSERT_TRUE(ReplaceKeyAccessList(
      "HKEY_CURRENT_USER\\" + Text(kSystemPolicies),
      {{KeyTrustee::Everyone, kKeyAccessRead, true}, {KeyTrustee::LocalSystem, kKeyAccessRead, true}}));

  MainWindowFixture fixture;
  MainControls& c = fixture.Controls();
  fixture.Click(ButtonId(1));
  for (const char* finding :
       {"启动项 ", "IE被修改成为:", "禁用关闭系统/关闭计算机", "错误的EXE文件关联", "注册表被锁定"}) {
    bool found = false;
    for (int row = 0; row < c.超级列表框1.RowCount(); ++row) {
      found |= c.超级列表框1.GetCellText(row, 0).compare(0, Text(finding).size(), finding) == 0;
    }
    EXPECT_TRUE(found) << finding;
  }
  // A number that is not a REG_DWORD is no number: no finding.
  EXPECT_FALSE(ListHolds(c.超级列表框1, "禁用运行"));
  EXPECT_FALSE(ListHolds(c.超级列表框1, "禁用查找/搜索"));
  for (int row = 0; row < c.超级列表框1.RowCount(); ++row) {
    EXPECT_TRUE(hostile::WholeCharacters(c.超级列表框1.GetCellText(row, 0))) << row;
  }

  fixture.Click(ButtonId(2));
  EXPECT_EQ(TypeOf(HKEY_CURRENT_USER, kExplorerPolicies, "NoRun"), static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(TypeOf(HKEY_CURRENT_USER, kExplorerPolicies, "NoFind"), static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(ReadRegistryText(kLocalMachine, kUserinitPath), "userinit.exe");
  EXPECT_EQ(ReadRegistryText(kClassesRoot, ".exe\\"), "exefile");
  // The locked key could not be written: still listed, still set.
  EXPECT_TRUE(ListHolds(c.超级列表框1, "注册表被锁定"));
  EXPECT_EQ(ReadRegistryNumber(kCurrentUser, Text(kSystemPolicies) + "\\DisableRegistryTools"), 1);
  EXPECT_EQ(c.标签2.Caption(), ToText(c.超级列表框1.RowCount()) + "条");
}

}  // namespace
