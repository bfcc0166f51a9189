#include "scan/shell_hooks.h"

#include "host/registry.h"
#include "scan/entry_row.h"
#include "scan/registry_lookups.h"

namespace {

enum class HookKind {
  ProtocolSubkeys,   // subkey per scheme or type; identifier in its CLSID value
  TaskScheduler,     // value NAME is the identifier, data its display text
  DelayLoad,         // value DATA is the identifier, name its display text
  ExecuteHooks,      // value NAME is the identifier
  ApprovedValues,    // value NAME is the identifier, data the extension's name
  ColumnHandlers,    // subkey NAME is the identifier
};

struct HookLocation {
  const char* enumeratedKey;   // the key listed, as written
  const char* entryKey;        // the key the rows' paths and CLSID reads use
  HookKind kind;
};

// All under HKEY_LOCAL_MACHINE. The protocol keys are listed as "Protocols"
// and addressed as "PROTOCOLS": the registry ignores the case, the texts keep it.
const HookLocation kHookLocations[] = {
    {"SOFTWARE\\Classes\\Protocols\\Handler", "SOFTWARE\\Classes\\PROTOCOLS\\Handler", HookKind::ProtocolSubkeys},
    {"SOFTWARE\\Classes\\PROTOCOLS\\Filter", "SOFTWARE\\Classes\\PROTOCOLS\\Filter", HookKind::ProtocolSubkeys},
    {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SharedTaskScheduler",
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SharedTaskScheduler", HookKind::TaskScheduler},
    {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad",
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad", HookKind::DelayLoad},
    {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellExecuteHooks",
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellExecuteHooks", HookKind::ExecuteHooks},
    {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved",
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved", HookKind::ApprovedValues},
    {"SOFTWARE\\Classes\\Folder\\shellex\\ColumnHandlers", "SOFTWARE\\Classes\\Folder\\shellex\\ColumnHandlers",
     HookKind::ColumnHandlers},
};

// One location in one view: the keys it is listed and addressed by.
struct ScannedKey {
  HookKind kind;
  Text enumeratedKey;
  Text entryKey;
  RegistryView view;
  Text Prefix() const { return RootName(kLocalMachine) + "\\" + entryKey + "\\"; }
};

// The location in each view Windows keeps of it, native first. Its two
// spellings differ only in case, so they have the same views.
std::vector<ScannedKey> ViewsOf(const HookLocation& location) {
  const std::vector<KeyInView> enumerated = ViewsOfKey(kLocalMachine, location.enumeratedKey);
  const std::vector<KeyInView> entries = ViewsOfKey(kLocalMachine, location.entryKey);
  std::vector<ScannedKey> views;
  for (std::size_t i = 0; i < enumerated.size() && i < entries.size(); ++i) {
    views.push_back({location.kind, enumerated[i].key, entries[i].key, entries[i].view});
  }
  return views;
}

bool ListsSubkeys(HookKind kind) { return kind == HookKind::ProtocolSubkeys || kind == HookKind::ColumnHandlers; }

// An identifier of spaces only names no class; a real one is looked up as
// stored, spaces and all.
bool NamesSomething(const Text& identifier) { return !RemoveAllSpaces(identifier).empty(); }

void ScanSubkeys(RowSink& rows, const ScannedKey& location) {
  const Text prefix = location.Prefix();
  const RegistryView view = location.view;
  TextList names;
  ListPresentSubkeys(kLocalMachine, location.enumeratedKey, names);
  for (const Text& name : names) {
    rows.LetEventsThrough();
    EntryRow cells{name, Text(), Text(), prefix + name};
    Text identifier = name;
    if (location.kind == HookKind::ProtocolSubkeys) {
      identifier = ReadRegistryText(kLocalMachine, location.entryKey + "\\" + name + "\\CLSID");
    }
    if (NamesSomething(identifier)) {
      cells.description = location.kind == HookKind::ColumnHandlers ? Text("Windows Shell Common Dll")
                                                                    : ClassNameOf(identifier, view);
      cells.file = ClassServerOf(identifier, view);
    }
    AddEntryRow(rows, cells);
  }
}

void ScanValues(RowSink& rows, const ScannedKey& location) {
  const Text prefix = location.Prefix();
  const RegistryView view = location.view;
  TextList names, data;
  ListValues(kLocalMachine, location.enumeratedKey, names, data);
  for (std::size_t i = 0; i < names.size() && i < data.size(); ++i) {
    rows.LetEventsThrough();
    const Text& name = names[i];
    const Text& value = data[i];
    EntryRow cells;
    cells.path = prefix + name;
    switch (location.kind) {
      case HookKind::TaskScheduler:
        cells = {value, ClassNameOf(name, view), ClassServerOf(name, view), cells.path};
        break;
      case HookKind::DelayLoad:
        cells = {name, ClassNameOf(value, view), ClassServerOf(value, view), cells.path};
        break;
      case HookKind::ExecuteHooks:
        cells = {ClassNameOf(name, view), Text(), ClassServerOf(name, view), cells.path};
        break;
      case HookKind::ApprovedValues:
        // The unnamed value is not an approval of any class.
        if (!NamesSomething(name)) continue;
        cells = {name, value, ClassServerOf(name, view), cells.path};
        break;
      default:
        continue;
    }
    AddEntryRow(rows, cells);
  }
}

}  // namespace

void ScanShellHooks(ResultList& list) {
  RowSink rows(list);
  if (!rows.Accepting()) return;
  rows.LetEventsThrough();
  for (const HookLocation& location : kHookLocations) {
    for (const ScannedKey& view : ViewsOf(location)) {
      if (ListsSubkeys(location.kind)) {
        ScanSubkeys(rows, view);
      } else {
        ScanValues(rows, view);
      }
      rows.LetEventsThrough();
    }
  }
}

std::vector<ValueListKey> ShellHookValueKeys() {
  std::vector<ValueListKey> keys;
  for (const HookLocation& location : kHookLocations) {
    if (ListsSubkeys(location.kind)) continue;
    for (const ScannedKey& view : ViewsOf(location)) keys.push_back({kLocalMachine, view.entryKey});
  }
  return keys;
}
