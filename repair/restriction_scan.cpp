#include "repair/restriction_scan.h"

#include <cstddef>
#include <cstdint>

#include "ui/prompts.h"
#include "ui/row_sink.h"
#include "host/files.h"
#include "host/registry.h"
#include "host/registry_views.h"
#include "repair/association_hijacks.h"
#include "repair/browser_commands.h"
#include "repair/repair_table.h"

namespace {

#define EXPLORER_POLICIES "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\"
#define DESKTOP_POLICIES "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\ActiveDesktop\\"

constexpr int32_t kNoFix = -1;

enum class Test {
  NumberIsOne,     // exactly 1; 2 is not a finding
  NumberNotZero,
  NumberIsZero,    // a missing value or one of another type reads as 0
  NumberSetToZero, // a number 0 only; a missing value or one of another type is no finding
  TextIs,          // exact bytes, case matters
  TextIsNot,       // exact bytes, case matters
  Userinit,
  ExeAssociation,
  Shell,           // anything but "explorer.exe", letters compared without case
};

struct RestrictionCheck {
  int root;
  const char* path;
  Test test;
  const char* description;
  const char* operand = nullptr;     // the text of TextIs / TextIsNot
  bool showValue = false;            // the value as read follows the description
  // A second place read only when the first is not 1 (task manager policy).
  int otherRoot = 0;
  const char* otherPath = nullptr;
  const char* shownPath = nullptr;   // column 1 when it is not the path read
  // Checked in every registry view 64-bit Windows keeps of the path.
  bool everyView = false;
  // What the repair writes where the check finds damage (kNoFix: the
  // repair of that place lies elsewhere).
  int32_t fixNumber = kNoFix;
  const char* fixText = nullptr;
};

const RestrictionCheck kCatalogue[] = {
    {kLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Userinit", Test::Userinit,
     "启动项 ", nullptr, true},
    {kCurrentUser, EXPLORER_POLICIES "NoFind", Test::NumberIsOne, "禁用查找/搜索"},
    {kCurrentUser, EXPLORER_POLICIES "NoRun", Test::NumberIsOne, "禁用运行"},
    {kCurrentUser, EXPLORER_POLICIES "NoLogOff", Test::NumberIsOne, "禁用注销"},
    {kCurrentUser, EXPLORER_POLICIES "StartMenuLogOff", Test::NumberIsOne, "禁用注销"},
    {kCurrentUser, EXPLORER_POLICIES "NoClose", Test::NumberIsOne, "禁用关闭系统/关闭计算机"},
    {kCurrentUser, EXPLORER_POLICIES "NoFileMenu", Test::NumberIsOne, "隐藏Explorer中的文件菜单"},
    {kCurrentUser, EXPLORER_POLICIES "NoNetConnectDisconnect", Test::NumberIsOne, "禁止使用资源管理器"},
    {kCurrentUser, EXPLORER_POLICIES "NoWebView", Test::NumberIsOne, "禁止按Web页查看"},
    {kCurrentUser, EXPLORER_POLICIES "NoViewContextMenu", Test::NumberIsOne,
     "禁止在桌面、我的电脑中使用鼠标右键"},
    {kCurrentUser, EXPLORER_POLICIES "NoTrayContextMenu", Test::NumberIsOne, "禁止在任务栏中使用鼠标右键"},
    {kCurrentUser, EXPLORER_POLICIES "NoChangeStartMenu", Test::NumberIsOne,
     "禁止在开始菜单使用鼠标右键及拖放"},
    {kCurrentUser, EXPLORER_POLICIES "NoAddPrinter", Test::NumberIsOne, "禁止添加打印机"},
    {kCurrentUser, EXPLORER_POLICIES "NoDeletePrinter", Test::NumberIsOne, "禁止删除打印机"},
    {kCurrentUser, EXPLORER_POLICIES "NoPrinterTabs", Test::NumberIsOne,
     "隐藏打印机属性中的常规和详细资料页面"},
    {kLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\Cdrom\\Autorun", Test::NumberIsOne,
     "允许光盘的自动运行功能"},
    {kCurrentUser, EXPLORER_POLICIES "NoWinKeys", Test::NumberIsOne,
     "此设置禁用了WIN+E、WIN+D、WIN+F、WIN+R等Windows快捷键"},
    {kCurrentUser, EXPLORER_POLICIES "RestrictRun", Test::NumberIsOne, "禁止运行所有程序"},
    {kCurrentUser, DESKTOP_POLICIES "NoHTMLWallPaper", Test::NumberIsOne, "只允许使用位图墙纸"},
    {kCurrentUser, DESKTOP_POLICIES "NoChangingWallpaper", Test::NumberIsOne, "禁止修改墙纸"},
    {kCurrentUser, DESKTOP_POLICIES "NoAddingComponents", Test::NumberIsOne, "禁止添加任何桌面项"},
    {kCurrentUser, DESKTOP_POLICIES "NoDeletingComponents", Test::NumberIsOne, "禁止删除任何桌面项"},
    {kCurrentUser, DESKTOP_POLICIES "NoCloseDragDropBands", Test::NumberIsOne, "禁止关闭和拖放全部工具栏"},
    {kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\SeparateProcess",
     Test::NumberIsOne, "每个资源管理器窗口使用单独进程"},
    {kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BrowseNewProcess\\BrowseNewProcess",
     Test::TextIs, "每个IE窗口使用单独进程", "no"},
    {kCurrentUser, "Software\\Microsoft\\Internet Explorer\\Main\\Start Page", Test::TextIsNot,
     "IE被修改成为:", "about:blank", true},
    {kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\DisableRegistryTools",
     Test::NumberIsOne, "注册表被锁定"},
    {kCurrentUser, "SYSTEM\\CurrentControlSet\\Control\\SecurePipeServers\\winreg\\RemoteRegAccess",
     Test::NumberIsOne, "禁止远程修改注册表"},
    {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\system\\DisableTaskMgr",
     Test::NumberIsOne, "禁止任务管理器", nullptr, false, kCurrentUser,
     "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\system\\DisableTaskMgr"},
    {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\NoControlpanel",
     Test::NumberIsOne, "禁止控制面板"},
    {kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Uninstall\\NoAddRemovePrograms",
     Test::NumberIsOne, "禁止 添加/删除程序"},
    {kCurrentUser, EXPLORER_POLICIES "NoClose", Test::NumberIsOne, "禁止关闭系统功能"},
    {kCurrentUser, "Software\\Policies\\Microsoft\\windows\\system\\DisableCMD", Test::NumberNotZero,
     "禁止访问命令提示和批处理文件"},
    {kCurrentUser, EXPLORER_POLICIES "NoViewOnDrive", Test::NumberNotZero, "有被限制的驱动"},
    {kLocalMachine,
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer\\Advanced\\Folder\\Hidden\\SHOWALL\\CheckedValue",
     Test::NumberIsZero, "禁止查看隐藏"},
    {kClassesRoot, nullptr, Test::ExeAssociation, "错误的EXE文件关联", nullptr, false, 0, nullptr, ".exe"},
};

static_assert(sizeof kCatalogue / sizeof kCatalogue[0] == 36, "the catalogue has 36 checks");

// Checks of places that documented infections use, after the catalogue's.
const RestrictionCheck kInfectionChecks[] = {
    // Winlogon starts this as the desktop: "Explorer.exe" on every clean
    // Windows; malware appends itself or takes its place.
    {kLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Shell", Test::Shell, "外壳被修改成为:",
     nullptr, true},
};

// Checks that carry their own fix, after the association hijacks.
const RestrictionCheck kSettingChecks[] = {
    // Vista and 7 hold 1 (user account control on); XP has no such value,
    // so only a number 0 is a finding. Windows reads it from the native
    // view only: the policy tree is shared.
    {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\EnableLUA",
     Test::NumberSetToZero, "用户账户控制(UAC)被关闭", nullptr, false, 0, nullptr, nullptr, false, 1},
    // The start page of every user, checked like the user's own; 32-bit
    // Internet Explorer on 64-bit Windows reads the 32-bit copy.
    {kLocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer\\Main\\Start Page", Test::TextIsNot, "IE被修改成为:",
     "about:blank", true, 0, nullptr, nullptr, true, kNoFix, "about:blank"},
};

// The defaults of HKEY_CLASSES_ROOT that make .exe files run, compared after
// lower-casing; the first one that differs is the finding.
struct AssociationRead {
  const char* path;
  const char* expected;
};
const AssociationRead kExeAssociation[] = {
    {".exe\\", "exefile"},
    {"exefile\\shell\\open\\command\\", "\"%1\" %*"},
    {"exefile\\shell\\runas\\command\\", "\"%1\" %*"},
    {"exefile\\DefaultIcon\\", "%1"},
};

bool UserinitDamaged(const Text& value) {
  const Text lowered = ToLowerCase(value);
  const Text systemFolder = GetSpecialFolder(kFolderSystem);
  return lowered != "userinit.exe" && lowered != ToLowerCase(systemFolder + "userinit.exe,") &&
         lowered != ToLowerCase(systemFolder + "userinit.exe");
}

bool ExeAssociationDamaged() {
  for (const AssociationRead& read : kExeAssociation) {
    if (ToLowerCase(ReadRegistryText(kClassesRoot, read.path)) != read.expected) return true;
  }
  return false;
}

// Whether the check finds damage at `path` (its own, or its copy's in the
// 32-bit view); value receives the text read, if any.
bool IsDamaged(const RestrictionCheck& check, const Text& path, Text& value) {
  switch (check.test) {
    case Test::NumberIsOne:
      if (ReadRegistryNumber(check.root, path) == 1) return true;
      return check.otherPath != nullptr && ReadRegistryNumber(check.otherRoot, check.otherPath) == 1;
    case Test::NumberNotZero:
      return ReadRegistryNumber(check.root, path) != 0;
    case Test::NumberIsZero:
      return ReadRegistryNumber(check.root, path) == 0;
    case Test::NumberSetToZero:
      return ReadRegistryNumber(check.root, path, 1) == 0;
    case Test::TextIs:
      value = ReadRegistryText(check.root, path);
      return value == check.operand;
    case Test::TextIsNot:
      value = ReadRegistryText(check.root, path);
      return value != check.operand;
    case Test::Userinit:
      value = ReadRegistryText(check.root, path);
      return UserinitDamaged(value);
    case Test::ExeAssociation:
      return ExeAssociationDamaged();
    case Test::Shell:
      value = ReadRegistryText(check.root, path);
      return ToLowerCase(value) != "explorer.exe";
  }
  return false;
}

// The paths a check reads: its own and, for a check of every view, the
// 32-bit copy's.
std::vector<Text> PathsOf(const RestrictionCheck& check) {
  if (!check.everyView || check.path == nullptr) return {check.path != nullptr ? check.path : Text()};
  std::vector<Text> paths;
  for (const KeyInView& view : ViewsOfKey(check.root, check.path)) paths.push_back(view.key);
  return paths;
}

template <std::size_t N>
void CheckAll(const RestrictionCheck (&checks)[N], std::vector<RestrictionRow>& rows) {
  for (const RestrictionCheck& check : checks) {
    for (const Text& path : PathsOf(check)) {
      Text value;
      if (!IsDamaged(check, path, value)) continue;
      rows.push_back({check.showValue ? check.description + value : Text(check.description),
                      check.shownPath != nullptr ? Text(check.shownPath) : path});
    }
  }
}

bool HasFix(const RestrictionCheck& check) { return check.fixNumber != kNoFix || check.fixText != nullptr; }

}  // namespace

void CheckRestrictionCatalogue(std::vector<RestrictionRow>& rows) { CheckAll(kCatalogue, rows); }

void CheckInfectionPlaces(std::vector<RestrictionRow>& rows) {
  CheckAll(kInfectionChecks, rows);
  CheckAssociationHijacks(rows);
  CheckAll(kSettingChecks, rows);
  CheckProgramClassCommands(rows);
  CheckBrowserCommands(rows);
}

void RepairInfectionChecks() {
  for (const RestrictionCheck& check : kSettingChecks) {
    if (!HasFix(check)) continue;
    for (const Text& path : PathsOf(check)) {
      Text value;
      if (!IsDamaged(check, path, value)) continue;
      if (check.fixText != nullptr) {
        WriteRegistryValue(check.root, path, check.fixText);
      } else {
        WriteRegistryValue(check.root, path, check.fixNumber);
      }
    }
  }
}

std::vector<RegistryBackupItem> InfectionCheckBackupItems() {
  std::vector<RegistryBackupItem> items;
  for (const RestrictionCheck& check : kSettingChecks) {
    if (!HasFix(check)) continue;
    for (const Text& path : PathsOf(check)) {
      const RegistryEntry entry = EntryBelowRoot(check.root, path);
      items.push_back(ValueBackup(check.root, entry.key, entry.valueName));
    }
  }
  return items;
}

void ScanRestrictions(ResultList& list, Label& countLabel, TextList& pendingRepairs,
                      HWND repaintWindow) {
  std::vector<RestrictionRow> found;
  CheckRestrictionCatalogue(found);
  CheckRepairTable(found, pendingRepairs);
  CheckInfectionPlaces(found);
  {
    RowSink rows(list);
    for (const RestrictionRow& row : found) rows.Add({row.explanation, row.path});
  }
  countLabel.SetCaption(ToText(list.RowCount()) + "条");
  RepaintNow(repaintWindow);
}
