#include "scan/browser_addons.h"

#include "ui/list_fill.h"
#include "ui/prompts.h"
#include "host/registry.h"
#include "host/version_info.h"
#include "scan/registry_lookups.h"

namespace {

enum class AddonKind {
  Extensions,   // subkeys; button text and the program the button runs
  Toolbars,     // values named by class; data is the toolbar's text
  HelperObjects,  // subkeys named by class
  SearchHooks,  // values named by class
};

struct AddonLocation {
  int root;
  const char* key;
  AddonKind kind;
};

const AddonLocation kAddonLocations[] = {
    {kLocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer\\Extensions", AddonKind::Extensions},
    {kLocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar", AddonKind::Toolbars},
    {kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects",
     AddonKind::HelperObjects},
    {kCurrentUser, "Software\\Microsoft\\Internet Explorer\\URLSearchHooks", AddonKind::SearchHooks},
};

struct AddonRow {
  Text name, description, server, path;
};

void AppendRow(ResultList& list, const AddonRow& cells) {
  const int row = list.InsertRow();
  list.SetCellText(row, 0, cells.name);
  list.SetCellText(row, 1, cells.description);
  list.SetCellText(row, 2, cells.server);
  list.SetCellText(row, 3, cells.path);
}

// Name (or the caller's text), description and server of a class entry.
AddonRow ClassRow(const Text& name, const Text& classId, const Text& path) {
  const Text server = ClassServerOf(classId);
  return {name, GetFileDescription(server), server, path};
}

void ScanLocation(ResultList& list, const AddonLocation& location) {
  const Text key = location.key;
  const Text prefix = RootName(location.root) + "\\" + key + "\\";
  TextList names, data;
  const bool bySubkey = location.kind == AddonKind::Extensions || location.kind == AddonKind::HelperObjects;
  if (bySubkey) {
    ListPresentSubkeys(location.root, key, names);
  } else {
    ListValues(location.root, key, names, data);
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    ProcessPendingEvents();
    const Text& name = names[i];
    AddonRow cells;
    switch (location.kind) {
      case AddonKind::Extensions:
        cells = {ReadRegistryText(location.root, key + "\\" + name + "\\ButtonText"),
                 ReadRegistryText(location.root, key + "\\" + name + "\\Exec"), Text(), prefix + name};
        break;
      case AddonKind::Toolbars:
        cells = ClassRow(i < data.size() ? data[i] : Text(), name, prefix + name);
        break;
      case AddonKind::HelperObjects:
      case AddonKind::SearchHooks:
        cells = ClassRow(ClassNameOf(name), name, prefix + name);
        break;
    }
    AppendRow(list, cells);
  }
}

}  // namespace

void ScanBrowserAddons(ResultList& list) {
  ListFill fill(list);   // drawn a few times a second, not for every row
  list.ClearRows();
  for (const AddonLocation& location : kAddonLocations) ScanLocation(list, location);
}
