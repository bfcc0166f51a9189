#include "scan/shell_hooks.h"

#include "host/native_view.h"
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
  UserClasses,       // subkey per class of the user's own with a server of its own
};

struct HookLocation {
  const char* enumeratedKey;   // the key listed, as written
  const char* entryKey;        // the key the rows' paths and CLSID reads use
  HookKind kind;
  int root = kLocalMachine;
  // The key as the 32-bit programs of 64-bit Windows see it, where they have
  // a copy of their own that ViewsOfKey does not know (the user's classes).
  const char* thirtyTwoBitKey = nullptr;
};

// Under HKEY_LOCAL_MACHINE unless said. The protocol keys are listed as "Protocols"
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
    // A user's own registration of a class outranks the machine's for that
    // user: COM hijacking needs no administrator. A clean Windows has next to
    // none. 64-bit Windows keeps the 32-bit programs' classes apart.
    {"Software\\Classes\\CLSID", "Software\\Classes\\CLSID", HookKind::UserClasses, kCurrentUser,
     "Software\\Classes\\Wow6432Node\\CLSID"},
};

// The server keys of a class, the in-process one first.
const char* const kServerKeys[] = {"InprocServer32", "LocalServer32"};

// One location in one view: the keys it is listed and addressed by.
struct ScannedKey {
  HookKind kind;
  int root;
  Text enumeratedKey;
  Text entryKey;
  RegistryView view;
  Text Prefix() const { return RootName(root) + "\\" + entryKey + "\\"; }
};

// The location in each view Windows keeps of it, native first. Its two
// spellings differ only in case, so they have the same views.
std::vector<ScannedKey> ViewsOf(const HookLocation& location) {
  const std::vector<KeyInView> enumerated = ViewsOfKey(location.root, location.enumeratedKey);
  const std::vector<KeyInView> entries = ViewsOfKey(location.root, location.entryKey);
  std::vector<ScannedKey> views;
  for (std::size_t i = 0; i < enumerated.size() && i < entries.size(); ++i) {
    views.push_back({location.kind, location.root, enumerated[i].key, entries[i].key, entries[i].view});
  }
  if (location.thirtyTwoBitKey != nullptr && OnSixtyFourBitWindows()) {
    views.push_back({location.kind, location.root, location.thirtyTwoBitKey, location.thirtyTwoBitKey,
                     RegistryView::ThirtyTwoBit});
  }
  return views;
}

bool ListsSubkeys(HookKind kind) {
  return kind == HookKind::ProtocolSubkeys || kind == HookKind::ColumnHandlers || kind == HookKind::UserClasses;
}

// An identifier of spaces only names no class; a real one is looked up as
// stored, spaces and all.
bool NamesSomething(const Text& identifier) { return !RemoveAllSpaces(identifier).empty(); }

// A class of the user's own that names a server: its name (the identifier
// when it has none), the server's description and the server, read from the
// user's key itself, never through the merged class view.
void ScanUserClasses(RowSink& rows, const ScannedKey& location) {
  TextList names;
  ListPresentSubkeys(location.root, location.enumeratedKey, names);
  for (const Text& name : names) {
    rows.LetEventsThrough();
    const Text classKey = location.enumeratedKey + "\\" + name;
    Text server;
    for (const char* serverKey : kServerKeys) {
      server = ReadRegistryText(location.root, classKey + "\\" + serverKey + "\\");
      if (!server.empty()) break;
    }
    if (server.empty()) continue;
    Text className = ReadRegistryText(location.root, classKey + "\\");
    if (className.empty()) className = name;
    AddEntryRow(rows, FileEntryRow(className, location.view, server, location.Prefix() + name));
  }
}

void ScanSubkeys(RowSink& rows, const ScannedKey& location) {
  if (location.kind == HookKind::UserClasses) {
    ScanUserClasses(rows, location);
    return;
  }
  const Text prefix = location.Prefix();
  const RegistryView view = location.view;
  TextList names;
  ListPresentSubkeys(location.root, location.enumeratedKey, names);
  for (const Text& name : names) {
    rows.LetEventsThrough();
    EntryRow cells{name, Text(), Text(), prefix + name};
    Text identifier = name;
    if (location.kind == HookKind::ProtocolSubkeys) {
      identifier = ReadRegistryText(location.root, location.entryKey + "\\" + name + "\\CLSID");
    }
    if (NamesSomething(identifier)) {
      cells.description = location.kind == HookKind::ColumnHandlers ? Text("Windows Shell Common Dll")
                                                                    : ClassNameOf(identifier, view);
      cells.file = ClassServerOf(identifier, view);
      cells.found = NoteCommandFile(view, cells.file);
    }
    AddEntryRow(rows, cells);
  }
}

void ScanValues(RowSink& rows, const ScannedKey& location) {
  const Text prefix = location.Prefix();
  const RegistryView view = location.view;
  TextList names, data;
  ListValues(location.root, location.enumeratedKey, names, data);
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
    cells.found = NoteCommandFile(view, cells.file);
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
    for (const ScannedKey& view : ViewsOf(location)) keys.push_back({location.root, view.entryKey});
  }
  return keys;
}
