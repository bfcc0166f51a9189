// Removal of listed entries: each list row holds, in a hidden cell, the
// absolute registry path of its entry. The user is asked about each path;
// only Yes deletes it.
#pragma once

#include "ui/controls.h"
#include "base/text_ops.h"
#include "host/registry_entry.h"

enum class RemovalRoute {
  RegistryThenTool,  // the registry layer; the console tool if that fails
  RegistryOnly,
  ToolOnly,          // the console tool only (removes a key with everything below it)
};

// What a row's hidden cell names, split once where the cell is read.
struct ListedEntry {
  RegistryEntry entry;
  // false for a text that names nothing ("HKEY_USERS", ""): nothing is
  // deleted and the entry never counts as gone.
  bool named = false;
  // A value of a key whose entries are values (the Run family, the hook
  // and add-on value lists): entry.key is that key and entry.valueName the
  // rest, backslashes and all. Only that value is ever deleted, never a key.
  bool listedValue = false;
};
ListedEntry ParseListedEntry(const Text& hiddenCell);

struct RemovalPlan {
  int pathColumn;
  RemovalRoute route;
  // Rebuilds the list afterwards; without one the row goes once its entry is gone.
  void (*rescan)(ResultList&);
  // Removes the entry instead of the route (true when it is gone), its own
  // backup included.
  bool (*remove)(const ListedEntry& listed);
  const char* backupName;   // what the backup of a removal is called
};

extern const RemovalPlan kBrowserAddonRemoval;
extern const RemovalPlan kShellHookRemoval;
extern const RemovalPlan kImageHijackRemoval;
extern const RemovalPlan kWinsockRemoval;

// The startup list: every selected row, asked about once, in list order.
void RemoveSelectedStartupEntries(ResultList& list);
// The other lists: the current (first selected) row.
void RemoveCurrentEntry(ResultList& list, const RemovalPlan& plan);

// Deletes the entry by the given route; true when it is gone afterwards (a
// value and no key of that path, or a missing default value for a path
// ending in a backslash). A key tree the console tool should have removed
// but did not (the tool is missing, as on Windows 2000, or failed) goes in
// this process.
bool DeleteRegistryEntry(const ListedEntry& listed, RemovalRoute route);
bool RegistryEntryPresent(const ListedEntry& listed);
// Backs up whatever a removal of the entry may delete: the value it names
// and, unless it is a listed value, the key of that path with everything
// below it. false when the removal must not go on (no backup, and the user
// chose to stop).
bool BackUpRemoval(const char* what, const ListedEntry& listed);
// "REG DELETE \"path\" /f", or "" for a path the tool must not be given.
Text ConsoleDeleteCommand(const Text& absolutePath);
