// Removal of listed entries: each list row holds, in a hidden cell, the
// absolute registry path of its entry. The user is asked about each path;
// only Yes deletes it.
#pragma once

#include "ui/controls.h"
#include "base/text_ops.h"

enum class RemovalRoute {
  RegistryThenTool,  // the registry layer; the console tool if that fails
  RegistryOnly,
  ToolOnly,          // the console tool only (removes a key with everything below it)
};

struct RemovalPlan {
  int pathColumn;
  RemovalRoute route;
  // Rebuilds the list afterwards; without one the row goes once its entry is gone.
  void (*rescan)(ResultList&);
  // Removes what the path names instead of the route (true when it is gone),
  // its own backup included.
  bool (*remove)(const Text& absolutePath);
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

// Deletes what an absolute path names by the given route; true when the entry
// is gone afterwards (a value and no key of that path, or a missing default
// value for a path ending in a backslash).
bool DeleteRegistryEntry(const Text& absolutePath, RemovalRoute route);
bool RegistryEntryPresent(const Text& absolutePath);
// Backs up whatever a removal of the path may delete: the value it names
// and, unless it names a value of a key whose entries are values, the key
// of that path with everything below it. false when the removal must not go
// on (no backup, and the user chose to stop).
bool BackUpRemoval(const char* what, const Text& absolutePath);
// "REG DELETE \"path\" /f", or "" for a path the tool must not be given.
Text ConsoleDeleteCommand(const Text& absolutePath);
