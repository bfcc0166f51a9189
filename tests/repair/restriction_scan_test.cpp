// The restriction catalogue against the real registry of the test prefix.
#include <gtest/gtest.h>

#include "ui/controls.h"
#include "repair/restriction_scan.h"
#include "repair_fixture.h"
#include "support/test_window.h"

namespace {

#define EXPL TEST_EXPLORER_POLICIES
constexpr char kTaskMgrMachine[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\system\\DisableTaskMgr";
constexpr char kTaskMgrUser[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\system\\DisableTaskMgr";
constexpr char kDisableCmd[] = "Software\\Policies\\Microsoft\\windows\\system\\DisableCMD";
constexpr char kBrowseNewProcess[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BrowseNewProcess\\BrowseNewProcess";

struct Change {
  int root;
  const char* path;
  enum Kind { Number, String, Remove } kind;
  int32_t number = 0;
  const char* text = nullptr;
};

void Apply(const Change& change) {
  switch (change.kind) {
    case Change::Number: WriteRegistryValue(change.root, change.path, change.number); break;
    case Change::String: WriteRegistryValue(change.root, change.path, change.text); break;
    case Change::Remove: DeleteRegistryItem(change.root, change.path); break;
  }
}

struct CatalogueCase {
  const char* name;
  std::vector<Change> changes;
  std::vector<Row> rows;
};

std::vector<Row> ScanCatalogue() {
  std::vector<RestrictionRow> found;
  CheckRestrictionCatalogue(found);
  return FirstTwoColumns(found);
}

TEST_F(RepairLocationsTest, CleanSystemGivesNoRowAndZeroCount) {
  TestListHost host({200, 200, 50});
  TestEditHost label;
  TextList pending = {"left over|from|an|old|scan"};
  ScanRestrictions(host.List(), label.Caption(), pending, host.Window());
  EXPECT_EQ(FirstTwoColumns(host.List()), std::vector<Row>());
  EXPECT_TRUE(pending.empty());
  EXPECT_EQ(label.Caption().Caption(), "0条");
}

TEST_F(RepairLocationsTest, EachKindOfCatalogueTest) {
  const CatalogueCase cases[] = {
      {"number = 1", {{kCurrentUser, EXPL "NoRun", Change::Number, 1}}, {{"禁用运行", EXPL "NoRun"}}},
      {"number 2 is not 1", {{kCurrentUser, EXPL "NoRun", Change::Number, 2}}, {}},
      {"number stored as text", {{kCurrentUser, EXPL "NoRun", Change::String, 0, "1"}}, {}},
      {"shared value, two rows",
       {{kCurrentUser, EXPL "NoClose", Change::Number, 1}},
       {{"禁用关闭系统/关闭计算机", EXPL "NoClose"}, {"禁止关闭系统功能", EXPL "NoClose"}}},
      {"two checks, one description",
       {{kCurrentUser, EXPL "StartMenuLogOff", Change::Number, 1}, {kCurrentUser, EXPL "NoLogOff", Change::Number, 1}},
       {{"禁用注销", EXPL "NoLogOff"}, {"禁用注销", EXPL "StartMenuLogOff"}}},
      {"not 0: drives", {{kCurrentUser, EXPL "NoViewOnDrive", Change::Number, 4}}, {{"有被限制的驱动", EXPL "NoViewOnDrive"}}},
      {"not 0: command prompt",
       {{kCurrentUser, kDisableCmd, Change::Number, 2}},
       {{"禁止访问命令提示和批处理文件", kDisableCmd}}},
      {"task manager, user only", {{kCurrentUser, kTaskMgrUser, Change::Number, 1}}, {{"禁止任务管理器", kTaskMgrMachine}}},
      {"task manager, both roots",
       {{kCurrentUser, kTaskMgrUser, Change::Number, 1}, {kLocalMachine, kTaskMgrMachine, Change::Number, 1}},
       {{"禁止任务管理器", kTaskMgrMachine}}},
      {"task manager, machine 2 and user 1",
       {{kCurrentUser, kTaskMgrUser, Change::Number, 1}, {kLocalMachine, kTaskMgrMachine, Change::Number, 2}},
       {{"禁止任务管理器", kTaskMgrMachine}}},
      {"CD autorun, the Windows default", {{kLocalMachine, kCdromAutorunPath, Change::Number, 1}},
       {{"允许光盘的自动运行功能", kCdromAutorunPath}}},
      {"checked value as REG_SZ", {{kLocalMachine, kCheckedValuePath, Change::String, 0, "1"}},
       {{"禁止查看隐藏", kCheckedValuePath}}},
      {"checked value missing", {{kLocalMachine, kCheckedValuePath, Change::Remove}}, {{"禁止查看隐藏", kCheckedValuePath}}},
      {"checked value 2", {{kLocalMachine, kCheckedValuePath, Change::Number, 2}}, {}},
      {"new process per IE window", {{kCurrentUser, kBrowseNewProcess, Change::String, 0, "no"}},
       {{"每个IE窗口使用单独进程", kBrowseNewProcess}}},
      {"NO in capitals", {{kCurrentUser, kBrowseNewProcess, Change::String, 0, "NO"}}, {}},
      {"start page in other case", {{kCurrentUser, kStartPagePath, Change::String, 0, "About:Blank"}},
       {{"IE被修改成为:About:Blank", kStartPagePath}}},
      {"start page missing", {{kCurrentUser, kStartPagePath, Change::Remove}}, {{"IE被修改成为:", kStartPagePath}}},
      {"control panel, the odd machine path",
       {{kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\NoControlpanel", Change::Number, 1}},
       {{"禁止控制面板", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\NoControlpanel"}}},
      {"remote registry under the user's root",
       {{kCurrentUser, "SYSTEM\\CurrentControlSet\\Control\\SecurePipeServers\\winreg\\RemoteRegAccess",
         Change::Number, 1}},
       {{"禁止远程修改注册表", "SYSTEM\\CurrentControlSet\\Control\\SecurePipeServers\\winreg\\RemoteRegAccess"}}},
      {"add/remove programs",
       {{kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Uninstall\\NoAddRemovePrograms",
         Change::Number, 1}},
       {{"禁止 添加/删除程序", "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Uninstall\\NoAddRemovePrograms"}}},
      {"exe type in capitals", {{kClassesRoot, ".exe\\", Change::String, 0, "ExeFile"}}, {}},
      {"exe type hijacked", {{kClassesRoot, ".exe\\", Change::String, 0, "txtfile"}}, {{"错误的EXE文件关联", ".exe"}}},
      {"exe open command hijacked",
       {{kClassesRoot, "exefile\\shell\\open\\command\\", Change::String, 0, "virus.exe \"%1\" %*"}},
       {{"错误的EXE文件关联", ".exe"}}},
      {"exe runas command missing", {{kClassesRoot, "exefile\\shell\\runas\\command\\", Change::Remove}},
       {{"错误的EXE文件关联", ".exe"}}},
      {"exe icon changed", {{kClassesRoot, "exefile\\DefaultIcon\\", Change::String, 0, "virus.ico"}},
       {{"错误的EXE文件关联", ".exe"}}},
      {"several at once, catalogue order",
       {{kCurrentUser, EXPL "NoFind", Change::Number, 1},
        {kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\ActiveDesktop\\NoChangingWallpaper",
         Change::Number, 1},
        {kCurrentUser, EXPL "NoWinKeys", Change::Number, 1}},
       {{"禁用查找/搜索", EXPL "NoFind"},
        {"此设置禁用了WIN+E、WIN+D、WIN+F、WIN+R等Windows快捷键", EXPL "NoWinKeys"},
        {"禁止修改墙纸", "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\ActiveDesktop\\NoChangingWallpaper"}}},
  };
  for (const CatalogueCase& c : cases) {
    RegistrySnapshot undo;
    SaveRepairLocations(undo);
    for (const Change& change : c.changes) Apply(change);
    EXPECT_EQ(ScanCatalogue(), c.rows) << c.name;
  }
}

TEST_F(RepairLocationsTest, UserinitIsComparedAfterLowerCasing) {
  const Text system = GetSpecialFolder(kFolderSystem);
  ASSERT_FALSE(system.empty());
  Text upper = system + "userinit.exe,";
  for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  struct UserinitCase {
    Text stored;
    bool finding;
  };
  const UserinitCase cases[] = {
      {upper, false},
      {"userinit.exe", false},
      {"USERINIT.EXE", false},
      {system + "userinit.exe", false},
      {"userinit.exe,", true},
      {system + "userinit.exe," + system + "virus.exe", true},
      {system + "userinit.exe ", true},
  };
  for (const UserinitCase& c : cases) {
    WriteRegistryValue(kLocalMachine, kUserinitPath, c.stored);
    const std::vector<Row> expected =
        c.finding ? std::vector<Row>{{"启动项 " + c.stored, kUserinitPath}} : std::vector<Row>();
    EXPECT_EQ(ScanCatalogue(), expected) << c.stored;
  }
  DeleteRegistryItem(kLocalMachine, kUserinitPath);
  EXPECT_EQ(ScanCatalogue(), (std::vector<Row>{{"启动项 ", kUserinitPath}}));
}

TEST_F(RepairLocationsTest, SecondScanGivesTheSameListPendingRepairsAndCount) {
  WriteRegistryValue(kCurrentUser, EXPL "NoRun", 1);
  WriteRegistryValue(kCurrentUser, EXPL "NoFolderOptions", 1);   // a repair-table record
  TestListHost host({200, 200, 50});
  TestEditHost label;
  TextList pending;
  ScanRestrictions(host.List(), label.Caption(), pending, host.Window());
  const std::vector<Row> first = FirstTwoColumns(host.List());
  const TextList firstPending = pending;
  ScanRestrictions(host.List(), label.Caption(), pending, host.Window());
  EXPECT_EQ(FirstTwoColumns(host.List()), first);
  EXPECT_EQ(pending, firstPending);
  EXPECT_EQ(first, (std::vector<Row>{{"禁用运行", EXPL "NoRun"}, {"禁止使用文件夹选项", EXPL "NoFolderOptions"}}));
  EXPECT_EQ(pending, TextList{"n|3|" EXPL "NoFolderOptions|禁止使用文件夹选项|0"});
  EXPECT_EQ(label.Caption().Caption(), "2条");
}

}  // namespace
