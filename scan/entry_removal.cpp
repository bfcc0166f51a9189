#include "scan/entry_removal.h"

#include <vector>

#include "ui/prompts.h"
#include "host/backup.h"
#include "host/files.h"
#include "host/registry.h"
#include "host/registry_presence.h"
#include "scan/browser_addons.h"
#include "scan/image_hijacks.h"
#include "scan/registry_lookups.h"
#include "scan/shell_hooks.h"
#include "scan/startup_entries.h"
#include "scan/winsock_catalogue.h"
#include "scan/winsock_providers.h"

const RemovalPlan kBrowserAddonRemoval = {3, RemovalRoute::RegistryThenTool, nullptr, nullptr, "addon-remove"};
const RemovalPlan kShellHookRemoval = {3, RemovalRoute::RegistryThenTool, nullptr, nullptr, "hook-remove"};
const RemovalPlan kImageHijackRemoval = {3, RemovalRoute::RegistryOnly, ScanImageHijacks, nullptr, "hijack-remove"};
const RemovalPlan kWinsockRemoval = {3, RemovalRoute::ToolOnly, ScanWinsockProviders, RemoveWinsockEntry,
                                     "winsock-remove"};

namespace {

constexpr int kStartupPathColumn = 2;

// Every key whose entries the lists show as values.
const std::vector<ValueListKey>& ListedValueKeys() {
  static const std::vector<ValueListKey> keys = [] {
    std::vector<ValueListKey> all;
    for (const auto& keysOf : {StartupValueKeys(), ShellHookValueKeys(), BrowserAddonValueKeys()}) {
      all.insert(all.end(), keysOf.begin(), keysOf.end());
    }
    return all;
  }();
  return keys;
}

// What the console tool may be given: nothing it could read as a switch
// (its parser strips the quotes, so a quoted "/f" is still a switch), no
// quote of its own, and no backslash as the last byte, whatever came before
// it: the tool reads the text in the system code page, where 0x80 is a
// character by itself and the backslash would escape the closing quote.
bool SafeToolArgument(const Text& text) {
  if (text.empty()) return true;
  return text[0] != '/' && text[0] != '-' && text.find('"') == Text::npos && text.back() != '\\';
}

// The console tool's form for one value: /ve for the unnamed one.
Text ConsoleDeleteValueCommand(const RegistryEntry& entry) {
  if (!SafeToolArgument(entry.valueName) || !SafeToolArgument(entry.key)) return Text();
  const Text target = "REG DELETE \"" + RootName(entry.root) + "\\" + entry.key + "\"";
  return entry.valueName.empty() ? target + " /ve /f" : target + " /v \"" + entry.valueName + "\" /f";
}

bool ConfirmDeletion(const Text& path) {
  return ShowMessageBox("是否删除\r\n" + path, kYesNoInformation, "Windows") == kResultYes;
}

// Drops the row holding the path: normally the expected row, but the list
// may have changed while the prompt was up.
void DropRowHolding(ResultList& list, int column, const Text& path, int expectedRow) {
  if (list.GetCellText(expectedRow, column) == path) {
    list.DeleteRow(expectedRow);
    return;
  }
  for (int row = 0; row < list.RowCount(); ++row) {
    if (list.GetCellText(row, column) == path) {
      list.DeleteRow(row);
      return;
    }
  }
}

void RunCommand(const Text& command) {
  if (!command.empty()) RunCommandLine(command, true, kWindowHide);
}

// The key tree by the console tool, and in this process whatever the tool
// left: a path the tool must not be given, no tool at all (Windows 2000 has
// no reg.exe), a tool that failed. A path ending in a backslash names a
// default value, never the tree: neither deletes it.
void RunConsoleDelete(const RegistryEntry& entry) {
  if (entry.valueName.empty()) return;
  RunCommand(ConsoleDeleteCommand(RootName(entry.root) + "\\" + entry.Path()));
  if (RegistryKeyPresent(entry.root, entry.Path())) DeleteRegistryTree(entry.root, entry.Path());
}

// A value of a key whose entries are values: addressed by key and name, so
// that a name holding backslashes never stands for a key below it.
bool DeleteValueEntry(const RegistryEntry& entry, RemovalRoute route) {
  const bool deleted = route != RemovalRoute::ToolOnly && DeleteRegistryValue(entry.root, entry.key, entry.valueName);
  if (!deleted && route != RemovalRoute::RegistryOnly) RunCommand(ConsoleDeleteValueCommand(entry));
  return !RegistryValuePresent(entry.root, entry.key, entry.valueName);
}

}  // namespace

ListedEntry ParseListedEntry(const Text& hiddenCell) {
  ListedEntry listed;
  for (const ValueListKey& key : ListedValueKeys()) {
    if (ParseValueOfKey(hiddenCell, key.root, key.key, listed.entry)) {
      listed.named = listed.listedValue = true;
      return listed;
    }
  }
  // A root name no scanner writes would otherwise stand for HKEY_CURRENT_USER.
  listed.named = ParseAbsoluteEntry(hiddenCell, listed.entry) && listed.entry.root != 0;
  return listed;
}

Text ConsoleDeleteCommand(const Text& absolutePath) {
  // The name comes from whoever wrote the key. Quoted, it stays one argument
  // (spaces included); a quote of its own could end that argument and smuggle
  // in switches. A trailing backslash names a default value, which the tool
  // cannot delete: it would take the whole key instead.
  if (absolutePath.empty() || !SafeToolArgument(absolutePath)) return Text();
  return "REG DELETE \"" + absolutePath + "\" /f";
}

bool RegistryEntryPresent(const ListedEntry& listed) {
  // A text that names nothing cannot be shown as deleted either.
  if (!listed.named) return true;
  const RegistryEntry& entry = listed.entry;
  if (RegistryValuePresent(entry.root, entry.key, entry.valueName)) return true;
  return !listed.listedValue && !entry.valueName.empty() && RegistryKeyPresent(entry.root, entry.Path());
}

bool BackUpRemoval(const char* what, const ListedEntry& listed) {
  if (!listed.named) return true;
  const RegistryEntry& entry = listed.entry;
  std::vector<RegistryBackupItem> items{ValueBackup(entry.root, entry.key, entry.valueName)};
  // A listed value never takes a key, and a default value's path never its key.
  if (!listed.listedValue && !entry.valueName.empty()) items.push_back(TreeBackup(entry.root, entry.Path()));
  return BackUpRegistry(what, items);
}

bool DeleteRegistryEntry(const ListedEntry& listed, RemovalRoute route) {
  if (!listed.named) return false;
  const RegistryEntry& entry = listed.entry;
  if (listed.listedValue) return DeleteValueEntry(entry, route);
  if (route != RemovalRoute::ToolOnly) {
    // A path ending in a backslash is a default value. When that is already
    // gone the registry layer would delete the key itself, siblings and all.
    const bool nothingToDelete = entry.valueName.empty() && !RegistryEntryPresent(listed);
    if (!nothingToDelete && !DeleteRegistryItem(entry.root, entry.Path()) &&
        route == RemovalRoute::RegistryThenTool) {
      RunConsoleDelete(entry);
    }
  } else {
    RunConsoleDelete(entry);
  }
  return !RegistryEntryPresent(listed);
}

void RemoveCurrentEntry(ResultList& list, const RemovalPlan& plan) {
  const int row = list.CurrentRow();
  const Text path = list.GetCellText(row, plan.pathColumn);
  if (path.empty() || !ConfirmDeletion(path)) return;
  // Delete what the user was asked about, whatever the selection is now.
  const ListedEntry listed = ParseListedEntry(path);
  bool gone = false;
  if (plan.remove != nullptr) {
    gone = plan.remove(listed);
  } else {
    gone = BackUpRemoval(plan.backupName, listed) && DeleteRegistryEntry(listed, plan.route);
  }
  if (plan.rescan) {
    plan.rescan(list);
  } else if (gone) {
    DropRowHolding(list, plan.pathColumn, path, row);
  }
}

namespace {

// A startup entry goes, or is put back to the text a clean Windows holds
// when Windows cannot do without the value; true when the entry is gone.
bool RemoveStartupEntry(const ListedEntry& listed) {
  if (!listed.named || !StartupValueResetOnRemoval(listed.entry)) {
    return DeleteRegistryEntry(listed, RemovalRoute::RegistryThenTool);
  }
  return ResetStartupValue(listed.entry);
}

}  // namespace

void RemoveSelectedStartupEntries(ResultList& list) {
  if (list.GetCellText(list.CurrentRow(), kStartupPathColumn).empty()) return;
  // Taken before the first prompt: removing rows renumbers the ones below.
  struct Selected {
    int row;
    Text path;
  };
  std::vector<Selected> selected;
  const int rowCount = list.RowCount();
  for (int row = 0; row < rowCount; ++row) {
    if (list.IsRowSelected(row)) selected.push_back({row, list.GetCellText(row, kStartupPathColumn)});
  }
  int removedAbove = 0;
  for (const Selected& entry : selected) {
    if (entry.path.empty() || !ConfirmDeletion(entry.path)) continue;
    const ListedEntry listed = ParseListedEntry(entry.path);
    if (BackUpRemoval("startup-remove", listed) && RemoveStartupEntry(listed)) {
      DropRowHolding(list, kStartupPathColumn, entry.path, entry.row - removedAbove);
      ++removedAbove;
    }
  }
}
