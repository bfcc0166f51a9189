#include "scan/startup_entries.h"

#include "host/files.h"
#include "host/registry.h"
#include "ui/row_sink.h"

namespace {

enum class StartupKind {
  RunValues,       // every value; its data is what starts
  SingleValue,     // one named value; the row names it, not its data
  ClassByName,     // every value; its NAME is a class identifier
  ClassByData,     // every value; its DATA is a class identifier
  PackageSubkeys,  // every subkey; the row is the subkey, its `entryValue` what starts
  ComponentValue,  // every subkey with a non-empty `entryValue`; the row is that value
  NamedValue,      // one named value that is not empty; its data is what starts
  Switch,          // one named number that, when not 0, makes Windows start others
  DriveCommands,   // every drive subkey's Shell\<verb>\command; the row is the drive's Shell key
};

struct StartupLocation {
  int root;
  const char* key;
  StartupKind kind;
  const char* entryValue;   // SingleValue, PackageSubkeys, ComponentValue, NamedValue
  // NamedValue: the text (compared lower-cased) a clean Windows holds there,
  // which is no entry of its own.
  const char* cleanText = nullptr;
  // NamedValue: what removal writes instead of deleting, for a value
  // Windows cannot do without; nullptr: removal deletes.
  const char* resetText = nullptr;
  // NamedValue: listed whatever its type (its data as text), for a value
  // Windows runs whatever type it has; otherwise strings only.
  bool anyType = false;
};

#define WINLOGON_KEY "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon"
#define WINDOWS_KEY "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows"
#define POLICY_RUN_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run"

// Key texts as written, capitals included. "WindowsNT" has no space on
// purpose: that key is not the "Windows NT" key, and a value there is suspect.
const StartupLocation kStartupLocations[] = {
    {kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", StartupKind::RunValues, nullptr},
    {kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", StartupKind::RunValues, nullptr},
    {kCurrentUser, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce", StartupKind::RunValues, nullptr},
    {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce", StartupKind::RunValues, nullptr},
    {kCurrentUser, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx", StartupKind::RunValues, nullptr},
    {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx", StartupKind::RunValues, nullptr},
    {kCurrentUser, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices", StartupKind::RunValues, nullptr},
    {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices", StartupKind::RunValues,
     nullptr},
    {kCurrentUser, "Software\\Microsoft\\WindowsNT\\CurrentVersion", StartupKind::SingleValue, "Windowsload"},
    {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellExecuteHooks",
     StartupKind::ClassByName, nullptr},
    {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad",
     StartupKind::ClassByData, nullptr},
    {kLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Notify",
     StartupKind::PackageSubkeys, "DllName"},
    {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SharedTaskScheduler",
     StartupKind::ClassByName, nullptr},
    {kLocalMachine, "SOFTWARE\\Microsoft\\Active Setup\\Installed Components", StartupKind::ComponentValue,
     "StubPath"},
    // Places malware uses beyond the Run family: the shell Winlogon starts
    // (a user's own overrides the machine's), the task manager it starts,
    // the libraries every GUI process loads, win.ini's run= and load= lines
    // as the registry keeps them, and the policy Run keys.
    {kCurrentUser, WINLOGON_KEY, StartupKind::NamedValue, "Shell"},
    {kLocalMachine, WINLOGON_KEY, StartupKind::NamedValue, "Shell", "explorer.exe", "Explorer.exe"},
    {kCurrentUser, WINLOGON_KEY, StartupKind::NamedValue, "Taskman", nullptr, nullptr, true},
    {kLocalMachine, WINLOGON_KEY, StartupKind::NamedValue, "Taskman", nullptr, nullptr, true},
    {kLocalMachine, WINDOWS_KEY, StartupKind::NamedValue, "AppInit_DLLs", nullptr, ""},
    {kCurrentUser, WINDOWS_KEY, StartupKind::NamedValue, "run"},
    {kLocalMachine, WINDOWS_KEY, StartupKind::NamedValue, "run"},
    {kCurrentUser, WINDOWS_KEY, StartupKind::NamedValue, "load"},
    {kLocalMachine, WINDOWS_KEY, StartupKind::NamedValue, "load"},
    {kCurrentUser, POLICY_RUN_KEY, StartupKind::RunValues, nullptr},
    {kLocalMachine, POLICY_RUN_KEY, StartupKind::RunValues, nullptr},
    // Windows 7 loads AppInit_DLLs only while this is set (a clean one holds
    // 0); Windows before Vista have no such value and always load them.
    {kLocalMachine, WINDOWS_KEY, StartupKind::Switch, "LoadAppInit_DLLs"},
    // Explorer's record of each drive's autorun commands: the USB worms put
    // theirs there, and opening the drive runs it.
    {kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MountPoints2", StartupKind::DriveCommands,
     nullptr},
};

// The row: the stored text, the description of the file it runs, the
// hidden path; the row keeps that file for its colour and hint.
void AddStartupRow(RowSink& rows, RegistryView view, const Text& shown, const Text& command, const Text& path) {
  const FileId file = NoteCommandFile(view, command);
  rows.Add({shown, DescriptionShown(file), path}, file);
}

// One location in one view: the key its rows name, and the class view its
// class identifiers belong to.
struct ScannedKey {
  const StartupLocation& location;
  Text key;
  RegistryView view;
  Text Prefix() const { return RootName(location.root) + "\\" + key + "\\"; }
};

void ScanValues(RowSink& rows, const ScannedKey& scanned) {
  const StartupLocation& location = scanned.location;
  const Text prefix = scanned.Prefix();
  TextList names, data;
  ListValues(location.root, scanned.key, names, data);
  for (std::size_t i = 0; i < names.size() && i < data.size(); ++i) {
    rows.LetEventsThrough();
    switch (location.kind) {
      case StartupKind::RunValues:
        AddStartupRow(rows, scanned.view, data[i], data[i], prefix + names[i]);
        break;
      case StartupKind::ClassByName:
      case StartupKind::ClassByData: {
        const Text server = ResolveClsidServer(
            location.kind == StartupKind::ClassByName ? names[i] : data[i], scanned.view);
        AddStartupRow(rows, scanned.view, server, server, prefix + names[i]);
        break;
      }
      default:
        break;
    }
  }
}

void ScanSubkeys(RowSink& rows, const ScannedKey& scanned) {
  const StartupLocation& location = scanned.location;
  const Text prefix = scanned.Prefix();
  TextList names;
  ListPresentSubkeys(location.root, scanned.key, names);
  for (const Text& name : names) {
    rows.LetEventsThrough();
    const Text packagePath = prefix + name;
    const Text valuePath = packagePath + "\\" + location.entryValue;
    const Text text = ReadValueByFullPath(valuePath);
    // A package key with no library is suspect in itself: it is listed,
    // with nothing to show for what it starts.
    if (text.empty() && location.kind != StartupKind::PackageSubkeys) continue;
    AddStartupRow(rows, scanned.view, text, text,
                  location.kind == StartupKind::PackageSubkeys ? packagePath : valuePath);
  }
}

void ScanSingleValue(RowSink& rows, const ScannedKey& scanned) {
  const StartupLocation& location = scanned.location;
  const Text text = ReadRegistryText(location.root, scanned.key + "\\" + location.entryValue);
  if (text.empty()) return;
  rows.LetEventsThrough();
  AddStartupRow(rows, scanned.view, "windowsload", text, scanned.Prefix() + location.entryValue);
}

void ScanNamedValue(RowSink& rows, const ScannedKey& scanned) {
  const StartupLocation& location = scanned.location;
  const Text valuePath = scanned.key + "\\" + location.entryValue;
  const Text text = location.anyType ? ReadRegistryDataAsText(location.root, valuePath)
                                     : ReadRegistryText(location.root, valuePath);
  if (text.empty() || (location.cleanText != nullptr && ToLowerCase(text) == location.cleanText)) return;
  rows.LetEventsThrough();
  // Each of these values names several files: the shell and what it opens,
  // win.ini's programs, the libraries every program loads.
  const FileId file = NoteListedFiles(scanned.view, text);
  rows.Add({text, DescriptionShown(file), scanned.Prefix() + location.entryValue}, file);
}

void ScanSwitch(RowSink& rows, const ScannedKey& scanned) {
  const StartupLocation& location = scanned.location;
  if (ReadRegistryNumber(location.root, scanned.key + "\\" + location.entryValue) == 0) return;
  rows.LetEventsThrough();
  rows.Add({location.entryValue, "加载AppInit_DLLs中的程序库", scanned.Prefix() + location.entryValue});
}

// One row per verb command of each drive; removing any of them takes the
// drive's whole Shell key, which is what Explorer reads.
void ScanDriveCommands(RowSink& rows, const ScannedKey& scanned) {
  const Text prefix = scanned.Prefix();
  TextList drives;
  ListPresentSubkeys(scanned.location.root, scanned.key, drives);
  for (const Text& drive : drives) {
    const Text shellKey = scanned.key + "\\" + drive + "\\Shell";
    TextList verbs;
    ListPresentSubkeys(scanned.location.root, shellKey, verbs);
    for (const Text& verb : verbs) {
      rows.LetEventsThrough();
      const Text command = ReadRegistryText(scanned.location.root, shellKey + "\\" + verb + "\\command\\");
      if (command.empty()) continue;
      AddStartupRow(rows, scanned.view, command, command, prefix + drive + "\\Shell");
    }
  }
}

// The keys whose every value is an entry (a named value's key holds others).
bool ListsValues(StartupKind kind) {
  return kind == StartupKind::RunValues || kind == StartupKind::ClassByName || kind == StartupKind::ClassByData;
}

}  // namespace

void ScanStartupEntries(ResultList& list) {
  RowSink rows(list);
  if (!rows.Accepting()) return;
  for (const StartupLocation& location : kStartupLocations) {
    // The 32-bit copy's rows right after the native key's.
    for (const KeyInView& view : ViewsOfKey(location.root, location.key)) {
      const ScannedKey scanned{location, view.key, view.view};
      switch (location.kind) {
        case StartupKind::SingleValue:
          ScanSingleValue(rows, scanned);
          break;
        case StartupKind::NamedValue:
          ScanNamedValue(rows, scanned);
          break;
        case StartupKind::Switch:
          ScanSwitch(rows, scanned);
          break;
        case StartupKind::DriveCommands:
          ScanDriveCommands(rows, scanned);
          break;
        case StartupKind::PackageSubkeys:
        case StartupKind::ComponentValue:
          ScanSubkeys(rows, scanned);
          break;
        default:
          ScanValues(rows, scanned);
          break;
      }
    }
  }
}

std::vector<ValueListKey> StartupValueKeys() {
  std::vector<ValueListKey> keys;
  for (const StartupLocation& location : kStartupLocations) {
    if (!ListsValues(location.kind)) continue;
    for (const KeyInView& view : ViewsOfKey(location.root, location.key)) keys.push_back({location.root, view.key});
  }
  return keys;
}

namespace {

// The table's location of a value that removal puts back instead of deleting.
const StartupLocation* ResetLocationOf(const RegistryEntry& value) {
  for (const StartupLocation& location : kStartupLocations) {
    const bool resets = (location.kind == StartupKind::NamedValue && location.resetText != nullptr) ||
                        location.kind == StartupKind::Switch;
    if (!resets) continue;
    for (const KeyInView& view : ViewsOfKey(location.root, location.key)) {
      if (value.root == location.root && ToLowerCase(value.key) == ToLowerCase(view.key) &&
          ToLowerCase(value.valueName) == ToLowerCase(location.entryValue)) {
        return &location;
      }
    }
  }
  return nullptr;
}

}  // namespace

bool StartupValueResetOnRemoval(const RegistryEntry& value) { return ResetLocationOf(value) != nullptr; }

bool ResetStartupValue(const RegistryEntry& value) {
  const StartupLocation* location = ResetLocationOf(value);
  if (location == nullptr) return false;
  const Text valuePath = value.Path();
  if (location->kind == StartupKind::Switch) {
    WriteRegistryValue(value.root, valuePath, 0);
    return RegistryItemExists(value.root, valuePath) && ReadRegistryNumber(value.root, valuePath, 1) == 0;
  }
  const Text resetText = location->resetText;
  WriteRegistryValue(value.root, valuePath, resetText);
  return RegistryItemExists(value.root, valuePath) && ReadRegistryText(value.root, valuePath) == resetText;
}
