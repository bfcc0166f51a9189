#include "scan/entry_removal.h"

#include <vector>

#include "ui/prompts.h"
#include "host/files.h"
#include "host/registry.h"
#include "host/registry_presence.h"
#include "scan/browser_addons.h"
#include "scan/image_hijacks.h"
#include "scan/registry_lookups.h"
#include "scan/shell_hooks.h"
#include "scan/winsock_providers.h"

const RemovalPlan kBrowserAddonRemoval = {3, RemovalRoute::RegistryThenTool, nullptr};
const RemovalPlan kShellHookRemoval = {3, RemovalRoute::RegistryThenTool, nullptr};
const RemovalPlan kImageHijackRemoval = {3, RemovalRoute::RegistryOnly, ScanImageHijacks};
const RemovalPlan kWinsockRemoval = {3, RemovalRoute::ToolOnly, ScanWinsockProviders};

namespace {

constexpr int kStartupPathColumn = 2;

// A real backslash at the end, not the second byte of a two-byte character.
bool EndsInBackslash(const Text& path) {
  bool backslash = false;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(path[i]))) {
      ++i;
      backslash = false;
    } else {
      backslash = path[i] == '\\';
    }
  }
  return backslash;
}

// The console tool's form for one value: /ve for the unnamed one. A quote or
// a final backslash in the name would end its argument early.
Text ConsoleDeleteValueCommand(int root, const Text& key, const Text& valueName) {
  if (valueName.find('"') != Text::npos || EndsInBackslash(valueName)) return Text();
  const Text target = "REG DELETE \"" + RootName(root) + "\\" + key + "\"";
  return valueName.empty() ? target + " /ve /f" : target + " /v \"" + valueName + "\" /f";
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

void RunConsoleDelete(const Text& path) { RunCommand(ConsoleDeleteCommand(path)); }

// A value of a key whose entries are values: addressed by key and name, so
// that a name holding backslashes never stands for a key below it.
bool DeleteValueEntry(int root, const Text& key, const Text& valueName, RemovalRoute route) {
  const bool deleted = route != RemovalRoute::ToolOnly && DeleteRegistryValue(root, key, valueName);
  if (!deleted && route != RemovalRoute::RegistryOnly) RunCommand(ConsoleDeleteValueCommand(root, key, valueName));
  return !RegistryValuePresent(root, key, valueName);
}

}  // namespace

Text ConsoleDeleteCommand(const Text& absolutePath) {
  // The name comes from whoever wrote the key. Quoted, it stays one argument
  // (spaces included); a quote of its own could end that argument and smuggle
  // in switches. A trailing backslash names a default value, which the tool
  // cannot delete: it would take the whole key instead.
  if (absolutePath.empty() || absolutePath.find('"') != Text::npos || EndsInBackslash(absolutePath)) {
    return Text();
  }
  return "REG DELETE \"" + absolutePath + "\" /f";
}

bool RegistryEntryPresent(const Text& absolutePath) {
  int root = 0;
  Text key, valueName;
  if (SplitValueEntry(absolutePath, root, key, valueName)) return RegistryValuePresent(root, key, valueName);
  Text rest;
  // A path that names nothing cannot be shown as deleted either.
  if (!SplitRowPath(absolutePath, root, rest)) return true;
  SplitValuePath(rest, key, valueName);
  if (RegistryValuePresent(root, key, valueName)) return true;
  return !EndsInBackslash(rest) && RegistryKeyPresent(root, rest);
}

bool DeleteRegistryEntry(const Text& absolutePath, RemovalRoute route) {
  int root = 0;
  Text key, valueName;
  if (SplitValueEntry(absolutePath, root, key, valueName)) return DeleteValueEntry(root, key, valueName, route);
  if (route != RemovalRoute::ToolOnly) {
    // A path ending in a backslash is a default value. When that is already
    // gone the registry layer would delete the key itself, siblings and all.
    const bool nothingToDelete = EndsInBackslash(absolutePath) && !RegistryEntryPresent(absolutePath);
    if (!nothingToDelete && !DeleteByFullPath(absolutePath) && route == RemovalRoute::RegistryThenTool) {
      RunConsoleDelete(absolutePath);
    }
  } else {
    RunConsoleDelete(absolutePath);
  }
  return !RegistryEntryPresent(absolutePath);
}

void RemoveCurrentEntry(ResultList& list, const RemovalPlan& plan) {
  const int row = list.CurrentRow();
  const Text path = list.GetCellText(row, plan.pathColumn);
  if (path.empty() || !ConfirmDeletion(path)) return;
  // Delete what the user was asked about, whatever the selection is now.
  const bool gone = DeleteRegistryEntry(path, plan.route);
  if (plan.rescan) {
    plan.rescan(list);
  } else if (gone) {
    DropRowHolding(list, plan.pathColumn, path, row);
  }
}

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
    if (DeleteRegistryEntry(entry.path, RemovalRoute::RegistryThenTool)) {
      DropRowHolding(list, kStartupPathColumn, entry.path, entry.row - removedAbove);
      ++removedAbove;
    }
  }
}
