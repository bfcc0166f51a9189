#include "scan/browser_addons.h"

#include "host/display_text.h"
#include "host/registry.h"
#include "scan/entry_row.h"
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

// Name (or the caller's text), description and server of a class entry.
EntryRow ClassRow(const Text& name, const Text& classId, RegistryView view, const Text& path) {
  const Text server = ClassServerOf(classId, view);
  return FileEntryRow(name, view, server, path);
}

// One location in one view: the key as rows name it.
void ScanLocation(RowSink& rows, const AddonLocation& location, const KeyInView& view) {
  const Text& key = view.key;
  const Text prefix = RootName(location.root) + "\\" + key + "\\";
  TextList names, data;
  const bool bySubkey = location.kind == AddonKind::Extensions || location.kind == AddonKind::HelperObjects;
  if (bySubkey) {
    ListPresentSubkeys(location.root, key, names);
  } else {
    ListValues(location.root, key, names, data);
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    rows.LetEventsThrough();
    const Text& name = names[i];
    EntryRow cells;
    switch (location.kind) {
      case AddonKind::Extensions:
        // The button's program stands where others have a description.
        cells = {ReadRegistryDisplayText(location.root, key + "\\" + name + "\\ButtonText"),
                 ReadRegistryText(location.root, key + "\\" + name + "\\Exec"), Text(), prefix + name};
        cells.found = NoteCommandFile(view.view, cells.description);
        break;
      case AddonKind::Toolbars:
        cells = ClassRow(i < data.size() ? data[i] : Text(), name, view.view, prefix + name);
        break;
      case AddonKind::HelperObjects:
      case AddonKind::SearchHooks:
        cells = ClassRow(ClassNameOf(name, view.view), name, view.view, prefix + name);
        break;
    }
    AddEntryRow(rows, cells);
  }
}

}  // namespace

void ScanBrowserAddons(ResultList& list) {
  RowSink rows(list);
  if (!rows.Accepting()) return;
  for (const AddonLocation& location : kAddonLocations) {
    // The 32-bit browser's add-ons right after the native ones.
    for (const KeyInView& view : ViewsOfKey(location.root, location.key)) ScanLocation(rows, location, view);
  }
}

std::vector<ValueListKey> BrowserAddonValueKeys() {
  std::vector<ValueListKey> keys;
  for (const AddonLocation& location : kAddonLocations) {
    if (location.kind != AddonKind::Toolbars && location.kind != AddonKind::SearchHooks) continue;
    for (const KeyInView& view : ViewsOfKey(location.root, location.key)) keys.push_back({location.root, view.key});
  }
  return keys;
}
