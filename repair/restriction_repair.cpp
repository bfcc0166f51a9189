#include "repair/restriction_repair.h"

#include <cstdint>

#include "ui/prompts.h"
#include "host/backup.h"
#include "repair/association_hijacks.h"
#include "host/files.h"
#include "host/registry.h"

namespace {

#define EXPLORER_POLICIES "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\"
#define DESKTOP_POLICIES "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\ActiveDesktop\\"

// The management console policy key; everything below it goes too.
#define MMC_POLICY_KEY "Software\\Policies\\Microsoft\\mmc"

enum class Action { WriteNumber, WriteText, Delete, DeleteConsolePolicies };

struct FixedRepair {
  Action action;
  int root;
  const char* path;
  int32_t number = 0;
  const char* text = nullptr;
};

// Each write goes to exactly the root and path its check reads.
const FixedRepair kFixedRepairs[] = {
    {Action::WriteText, kLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Userinit", 0,
     "userinit.exe"},
    {Action::WriteNumber, kCurrentUser, EXPLORER_POLICIES "NoFind"},
    {Action::WriteNumber, kCurrentUser, EXPLORER_POLICIES "NoRun"},
    {Action::WriteNumber, kCurrentUser, EXPLORER_POLICIES "NoLogOff"},
    {Action::WriteNumber, kCurrentUser, EXPLORER_POLICIES "StartMenuLogOff"},
    {Action::WriteNumber, kCurrentUser, EXPLORER_POLICIES "NoClose"},
    {Action::WriteNumber, kCurrentUser, EXPLORER_POLICIES "NoFileMenu"},
    {Action::WriteNumber, kCurrentUser, EXPLORER_POLICIES "NoNetConnectDisconnect"},
    {Action::WriteNumber, kCurrentUser, EXPLORER_POLICIES "NoWebView"},
    {Action::WriteNumber, kCurrentUser, EXPLORER_POLICIES "NoViewContextMenu"},
    {Action::WriteNumber, kCurrentUser, EXPLORER_POLICIES "NoTrayContextMenu"},
    {Action::WriteNumber, kCurrentUser, EXPLORER_POLICIES "NoChangeStartMenu"},
    {Action::WriteNumber, kCurrentUser, EXPLORER_POLICIES "NoAddPrinter"},
    {Action::WriteNumber, kCurrentUser, EXPLORER_POLICIES "NoDeletePrinter"},
    {Action::WriteNumber, kCurrentUser, EXPLORER_POLICIES "NoPrinterTabs"},
    {Action::WriteNumber, kLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\Cdrom\\Autorun"},
    {Action::WriteNumber, kCurrentUser, EXPLORER_POLICIES "NoWinKeys"},
    // The catalogue checks RestrictRun too; without this step a repair
    // could never clear that finding.
    {Action::WriteNumber, kCurrentUser, EXPLORER_POLICIES "RestrictRun"},
    {Action::WriteNumber, kCurrentUser, DESKTOP_POLICIES "NoHTMLWallPaper"},
    {Action::WriteNumber, kCurrentUser, DESKTOP_POLICIES "NoChangingWallpaper"},
    {Action::WriteNumber, kCurrentUser, DESKTOP_POLICIES "NoAddingComponents"},
    {Action::WriteNumber, kCurrentUser, DESKTOP_POLICIES "NoDeletingComponents"},
    {Action::WriteNumber, kCurrentUser, DESKTOP_POLICIES "NoCloseDragDropBands"},
    {Action::WriteNumber, kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\SeparateProcess"},
    {Action::WriteText, kCurrentUser,
     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BrowseNewProcess\\BrowseNewProcess", 0, "yes"},
    {Action::WriteText, kCurrentUser, "Software\\Microsoft\\Internet Explorer\\Main\\Start Page", 0, "about:blank"},
    {Action::WriteNumber, kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\DisableRegistryTools"},
    {Action::WriteNumber, kCurrentUser, "SYSTEM\\CurrentControlSet\\Control\\SecurePipeServers\\winreg\\RemoteRegAccess"},
    {Action::WriteNumber, kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\system\\DisableTaskMgr"},
    {Action::WriteNumber, kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\system\\DisableTaskMgr"},
    // A text, which the check reads as the number 0.
    {Action::WriteText, kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\NoControlpanel", 0, " 1"},
    {Action::WriteNumber, kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Uninstall\\NoAddRemovePrograms"},
    {Action::Delete, kCurrentUser, "Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions"},
    {Action::Delete, kCurrentUser, "Software\\Policies\\Microsoft\\Internet Explorer"},
    {Action::WriteNumber, kCurrentUser, EXPLORER_POLICIES "NoClose"},
    {Action::WriteNumber, kCurrentUser, "Software\\Policies\\Microsoft\\windows\\system\\DisableCMD"},
    {Action::WriteNumber, kCurrentUser, EXPLORER_POLICIES "NoViewOnDrive"},
    {Action::WriteNumber, kLocalMachine,
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer\\Advanced\\Folder\\Hidden\\SHOWALL\\CheckedValue", 1},
    {Action::WriteText, kClassesRoot, ".exe\\", 0, "exefile"},
    {Action::WriteText, kClassesRoot, "exefile\\shell\\open\\command\\", 0, "\"%1\" %*"},
    {Action::WriteText, kClassesRoot, "exefile\\shell\\runas\\command\\", 0, "\"%1\" %*"},
    {Action::WriteText, kClassesRoot, "exefile\\DefaultIcon\\", 0, "%1"},
    {Action::DeleteConsolePolicies, kCurrentUser, MMC_POLICY_KEY},
};

// extension|folder placeholder|open command, one line each.
const char kFileAssociations[] =
    "txt|[system]|NOTEPAD.EXE %1\r\n"
    "cmd||\"%1\" %*\r\n"
    "exe||\"%1\" %*\r\n"
    "pif||\"%1\" %*\r\n"
    "com||\"%1\" %*\r\n"
    "scr||\"%1\" /s\r\n"
    "bat||\"%1\" %*\r\n"
    "reg||regedit.exe \"%1\"\r\n"
    "chm|[win]|hh.exe %1\r\n"
    "hlp|[system]|winhlp32.exe %1\r\n"
    "ini|[system]|NOTEPAD.EXE %1\r\n"
    "inf|[system]|NOTEPAD.EXE %1\r\n"
    "vbs|[system]|wscript.exe \"%1\" %*\r\n"
    "js|[system]|wscript.exe \"%1\" %*";

bool ContainsName(const TextList& names, const Text& name) {
  for (const Text& candidate : names) {
    if (ToLowerCase(candidate) == ToLowerCase(name)) return true;
  }
  return false;
}

bool KeyExists(int root, const Text& keyPath) {
  const RegistryEntry parts = EntryBelowRoot(root, keyPath);   // parent key, and the key's name
  TextList subkeys;
  ListSubkeys(root, parts.key, subkeys);
  return ContainsName(subkeys, parts.valueName);
}

// The console policies must be gone before the table stage: the console
// tool removes the key tree; where it is missing (Windows 2000 has no
// reg.exe) or failed, the tree is removed here.
void DeleteConsolePolicies(int root, const Text& keyPath) {
  RunCommandLine("REG DELETE HKEY_CURRENT_USER\\" MMC_POLICY_KEY " /f ", true, kWindowHide);
  // Twice at most: a value named like the key, beside it, goes first.
  for (int attempt = 0; attempt < 2 && KeyExists(root, keyPath); ++attempt) DeleteRegistryTree(root, keyPath);
}

// One association's command, below HKEY_CLASSES_ROOT.
struct AssociationWrite {
  Text path;
  Text command;
};

std::vector<AssociationWrite> FileAssociationWrites() {
  std::vector<AssociationWrite> writes;
  for (const Text& line : SplitText(kFileAssociations, "\r\n")) {
    const TextList fields = SplitText(line, "|");
    if (fields.size() != 3) continue;
    const Text placeholder = ToLowerCase(fields[1]);
    Text prefix;
    if (placeholder == "[system]") prefix = GetSpecialFolder(kFolderSystem);
    if (placeholder == "[win]") prefix = GetSpecialFolder(kFolderWindows);
    writes.push_back({fields[0] + "file\\shell\\open\\command\\", prefix + fields[2]});
  }
  return writes;
}

// Everything the repair may write or delete, as it is now: one backup for
// the whole repair, written before its first step.
std::vector<RegistryBackupItem> RepairBackupItems(const TextList& pendingRepairs) {
  std::vector<RegistryBackupItem> items;
  const auto value = [&items](int root, const Text& path) {
    const RegistryEntry entry = EntryBelowRoot(root, path);
    items.push_back(ValueBackup(root, entry.key, entry.valueName));
  };
  for (const FixedRepair& step : kFixedRepairs) {
    if (step.action != Action::DeleteConsolePolicies) value(step.root, step.path);
    // A deletion that finds no value takes the (empty) key of that path.
    if (step.action != Action::WriteNumber && step.action != Action::WriteText) {
      items.push_back(TreeBackup(step.root, step.path));
    }
  }
  for (const Text& record : pendingRepairs) {
    const TextList fields = SplitText(record, "|");
    if (fields.size() == 5 && (fields[0] == "c" || fields[0] == "n")) value(ToInteger(fields[1]), fields[2]);
  }
  for (const AssociationWrite& write : FileAssociationWrites()) value(kClassesRoot, write.path);
  for (const RegistryBackupItem& item : InfectionPlaceBackupItems()) items.push_back(item);
  return items;
}

}  // namespace

void RepairFixedRestrictions() {
  for (const FixedRepair& step : kFixedRepairs) {
    switch (step.action) {
      case Action::WriteNumber: WriteRegistryValue(step.root, step.path, step.number); break;
      case Action::WriteText: WriteRegistryValue(step.root, step.path, step.text); break;
      case Action::Delete: DeleteRegistryItem(step.root, step.path); break;
      case Action::DeleteConsolePolicies: DeleteConsolePolicies(step.root, step.path); break;
    }
  }
}

void RepairPendingRecords(ResultList& list, const TextList& pendingRepairs) {
  const TextList pending = pendingRepairs;   // a scan run from the events below rebuilds the original
  const int rowCount = list.RowCount();
  for (int row = 0; row < rowCount; ++row) {
    ProcessPendingEvents();
    for (const Text& record : pending) {
      ProcessPendingEvents();
      // The list may have been rebuilt, shorter, by a scan run meanwhile.
      if (row >= list.RowCount()) return;
      const TextList fields = SplitText(record, "|");
      if (fields.size() != 5) continue;
      if (list.GetCellText(row, 0) != fields[3]) continue;
      const int root = ToInteger(fields[1]);
      if (fields[0] == "c") WriteRegistryValue(root, fields[2], fields[4]);
      if (fields[0] == "n") WriteRegistryValue(root, fields[2], ToInteger(fields[4]));
    }
  }
}

void RepairFileAssociations() {
  for (const AssociationWrite& write : FileAssociationWrites()) {
    WriteRegistryValue(kClassesRoot, write.path, write.command);
  }
}

void RepairRestrictions(ResultList& list, const TextList& pendingRepairs) {
  if (!BackUpRegistry("repair", RepairBackupItems(pendingRepairs))) return;
  ProcessPendingEvents();
  RepairFixedRestrictions();
  RepairPendingRecords(list, pendingRepairs);
  RepairFileAssociations();
  RepairInfectionPlaces();
}
