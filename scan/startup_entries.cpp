#include "scan/startup_entries.h"

#include "host/files.h"
#include "host/registry.h"
#include "host/version_info.h"
#include "ui/row_sink.h"

namespace {

enum class StartupKind {
  RunValues,       // every value; its data is what starts
  SingleValue,     // one named value; the row names it, not its data
  ClassByName,     // every value; its NAME is a class identifier
  ClassByData,     // every value; its DATA is a class identifier
  PackageSubkeys,  // every subkey with a non-empty `entryValue`; the row is the subkey
  ComponentValue,  // every subkey with a non-empty `entryValue`; the row is that value
};

struct StartupLocation {
  int root;
  const char* key;
  StartupKind kind;
  const char* entryValue;   // SingleValue, PackageSubkeys, ComponentValue
};

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
};

// A command line with quotes or arguments is not a file: the user sees "未知"
// rather than the description of whatever the first word might be.
Text DescribeIfFile(const Text& text) {
  return FileExists(text) ? GetFileDescription(text) : Text("未知");
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
        rows.Add({data[i], DescribeIfFile(data[i]), prefix + names[i]});
        break;
      case StartupKind::ClassByName:
      case StartupKind::ClassByData: {
        const Text server = ResolveClsidServer(
            location.kind == StartupKind::ClassByName ? names[i] : data[i], scanned.view);
        rows.Add({server, GetFileDescription(server), prefix + names[i]});
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
    if (text.empty()) continue;
    rows.Add({text, GetFileDescription(text), location.kind == StartupKind::PackageSubkeys ? packagePath : valuePath});
  }
}

void ScanSingleValue(RowSink& rows, const ScannedKey& scanned) {
  const StartupLocation& location = scanned.location;
  const Text text = ReadRegistryText(location.root, scanned.key + "\\" + location.entryValue);
  if (text.empty()) return;
  rows.LetEventsThrough();
  rows.Add({"windowsload", DescribeIfFile(text), scanned.Prefix() + location.entryValue});
}

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
