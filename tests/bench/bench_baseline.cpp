// The floor of the full scan: the same registry reads, existence tests,
// version-information reads and file reads as the fourteen steps (and the
// account list before them), through the same host layer, with no window:
// no list, no edit box, no message processing.
//
//   bench_baseline.exe [RESULT_FILE]
//
// Writes "key=value" lines: the time of each step and the total, in ms. The
// calls follow the scanners step by step; a scanner that changes what it
// reads should change its mirror here.
#include <windows.h>

#include <cstdio>

#include "host/files.h"
#include "host/folder_files.h"
#include "host/registry.h"
#include "host/registry_presence.h"
#include "host/registry_security.h"
#include "host/registry_views.h"
#include "host/version_info.h"
#include "protect/accounts.h"
#include "repair/repair_table.h"
#include "repair/restriction_scan.h"
#include "sysfiles/block_file_reader.h"

namespace {

// What a row would hold: kept so that the reads cannot be optimised away.
std::size_t sink = 0;
void Keep(const Text& text) { sink += text.size(); }

const char kLocalMachinePrefix[] = "HKEY_LOCAL_MACHINE\\";

Text RootPrefix(int root) { return root == kLocalMachine ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\"; }

void ListPresent(int root, const Text& key, TextList& names) {
  if (RegistryKeyPresent(root, key)) ListSubkeys(root, key, names);
}

Text ClassName(const Text& id) { return ReadRegistryText(kClassesRoot, "CLSID\\" + id + "\\"); }
Text ClassServer(const Text& id) { return ReadRegistryText(kClassesRoot, "CLSID\\" + id + "\\InProcServer32\\"); }
Text MachineClassServer(const Text& id) {
  return ReadRegistryText(kLocalMachine, "SOFTWARE\\Classes\\CLSID\\" + id + "\\InProcServer32\\");
}

// Each SAM key's list kept, the key opened, the names read, every list put back.
void Accounts() {
  if (!RegistryKeyPresent(kLocalMachine, kAccountNamesKey)) return;
  std::vector<std::pair<Text, ByteString>> kept;
  Text key = kLocalMachinePrefix;
  for (const char* part : {"SAM", "\\SAM", "\\Domains", "\\Account", "\\Users", "\\Names"}) {
    key += part;
    ByteString descriptor;
    if (!ReadKeyAccessDescriptor(key, descriptor)) continue;
    kept.emplace_back(key, descriptor);
    ReplaceKeyAccessList(key, {{KeyTrustee::Administrators, kKeyAccessFullControl, true},
                               {KeyTrustee::LocalSystem, kKeyAccessFullControl, true}});
  }
  TextList names;
  ListSubkeys(kLocalMachine, kAccountNamesKey, names);
  for (const Text& name : names) Keep(name);
  for (auto it = kept.rbegin(); it != kept.rend(); ++it) WriteKeyAccessDescriptor(it->first, it->second);
}

// The restriction checks read a fixed catalogue and the repair table; their
// rows go nowhere.
void Restrictions() {
  std::vector<RestrictionRow> nowhere;
  TextList pending;
  CheckRestrictionCatalogue(nowhere);
  CheckRepairTable(nowhere, pending);
  CheckInfectionPlaces(nowhere);
}

void StartupEntries() {
  struct Location {
    int root;
    const char* key;
    char kind;   // r Run values, n class by name, d class by data, s subkeys with a value, v one value
    const char* value;
  };
  const Location locations[] = {
      {kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 'r', nullptr},
      {kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 'r', nullptr},
      {kCurrentUser, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce", 'r', nullptr},
      {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce", 'r', nullptr},
      {kCurrentUser, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx", 'r', nullptr},
      {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx", 'r', nullptr},
      {kCurrentUser, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices", 'r', nullptr},
      {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices", 'r', nullptr},
      {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellExecuteHooks", 'n', nullptr},
      {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad", 'd', nullptr},
      {kLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Notify", 's', "DllName"},
      {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SharedTaskScheduler", 'n', nullptr},
      {kLocalMachine, "SOFTWARE\\Microsoft\\Active Setup\\Installed Components", 's', "StubPath"},
      {kCurrentUser, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", 'v', "Shell"},
      {kLocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", 'v', "Shell"},
      {kCurrentUser, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", 'v', "Taskman"},
      {kLocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", 'v', "Taskman"},
      {kLocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", 'v', "AppInit_DLLs"},
      {kCurrentUser, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", 'v', "run"},
      {kLocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", 'v', "run"},
      {kCurrentUser, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", 'v', "load"},
      {kLocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", 'v', "load"},
      {kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run", 'r', nullptr},
      {kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run", 'r', nullptr},
  };
  for (const Location& l : locations) {
    for (const KeyInView& view : ViewsOfKey(l.root, l.key)) {
      const Text prefix = RootPrefix(l.root) + view.key + "\\";
      if (l.kind == 'v') {
        const Text text = ReadRegistryText(l.root, view.key + "\\" + l.value);
        if (!text.empty()) Keep(FileExists(text) ? GetFileDescription(text) : Text("未知"));
        continue;
      }
      if (l.kind == 's') {
        TextList names;
        ListPresent(l.root, view.key, names);
        for (const Text& name : names) {
          const Text text = ReadValueByFullPath(prefix + name + "\\" + l.value);
          if (!text.empty()) Keep(GetFileDescription(text));
        }
        continue;
      }
      TextList names, data;
      ListValues(l.root, view.key, names, data);
      for (std::size_t i = 0; i < names.size() && i < data.size(); ++i) {
        if (l.kind == 'r') {
          Keep(FileExists(data[i]) ? GetFileDescription(data[i]) : Text("未知"));
        } else {
          const Text server = MachineClassServer(l.kind == 'n' ? names[i] : data[i]);
          Keep(GetFileDescription(server));
        }
        Keep(prefix + names[i]);
      }
    }
  }
  const Text load = ReadRegistryText(kCurrentUser, "Software\\Microsoft\\WindowsNT\\CurrentVersion\\Windowsload");
  if (!load.empty() && FileExists(load)) Keep(GetFileDescription(load));
}

void StartupFolder() {
  const Text folder = GetSpecialFolder(kFolderStartup);
  if (folder.empty()) return;
  TextList names;
  ListFolderFiles(folder + "*.*", names);
  for (const Text& name : names) Keep(GetFileDescription(folder + name));
}

// A text page without its box: the file in 1 KB blocks, each made text.
Text ReadTextFile(const Text& path, BlockFileReader& reader) {
  Text text;
  const int32_t blocks = reader.Open(path, 1024);
  for (int32_t i = 1; i <= blocks; ++i) text += ToText(reader.ReadBlock(i));
  if (blocks > 0) reader.Close();
  return text;
}

Text DriveRoot() { return LeftBytes(GetSpecialFolder(kFolderWindows), 3); }

void TextPage(const Text& path) {
  BlockFileReader reader;
  Keep(ReadTextFile(path, reader));
}

void WinIni() { TextPage(GetSpecialFolder(kFolderWindows) + "win.ini"); }
void SystemIni() { TextPage(GetSpecialFolder(kFolderWindows) + "system.ini"); }
void AutoexecBat() { TextPage(DriveRoot() + "AUTOEXEC.BAT"); }
void ConfigSys() { TextPage(GetSpecialFolder(kFolderWindows) + "Config.sys"); }
void BootIni() {
  const Text path = DriveRoot() + "boot.ini";
  TextPage(path);
  Keep(ReadProfileText(path, "boot loader", "timeout"));
}
void Hosts() { TextPage(GetSpecialFolder(kFolderSystem) + "drivers\\etc\\hosts"); }

void Services() {
  const Text key = "SYSTEM\\CurrentControlSet\\Services";
  TextList services;
  ListSubkeys(kLocalMachine, key, services);
  for (const Text& s : services) {
    const Text p = key + "\\" + s + "\\";
    if (!RegistryItemExists(kLocalMachine, p + "ImagePath")) continue;
    Keep(ReadRegistryText(kLocalMachine, p + "DisplayName"));
    Keep(ReadRegistryText(kLocalMachine, p + "Description"));
    Keep(ReadRegistryText(kLocalMachine, p + "ImagePath"));
    Keep(ReadRegistryText(kLocalMachine, p + "Parameters\\ServiceDll"));
    Keep(ToText(ReadRegistryNumber(kLocalMachine, p + "Start", 5)));
  }
}

void BrowserAddons() {
  TextList names, data;
  for (const KeyInView& extensions : ViewsOfKey(kLocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer\\Extensions")) {
    names.clear();
    ListPresent(kLocalMachine, extensions.key, names);
    for (const Text& n : names) {
      Keep(ReadRegistryText(kLocalMachine, extensions.key + "\\" + n + "\\ButtonText"));
      Keep(ReadRegistryText(kLocalMachine, extensions.key + "\\" + n + "\\Exec"));
    }
  }
  auto classRows = [](const TextList& ids, bool named) {
    for (const Text& id : ids) {
      if (named) Keep(ClassName(id));
      Keep(GetFileDescription(ClassServer(id)));
    }
  };
  for (const KeyInView& toolbar : ViewsOfKey(kLocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar")) {
    names.clear();
    ListValues(kLocalMachine, toolbar.key, names, data);
    classRows(names, false);
  }
  for (const KeyInView& helpers :
       ViewsOfKey(kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects")) {
    names.clear();
    ListPresent(kLocalMachine, helpers.key, names);
    classRows(names, true);
  }
  names.clear();
  ListValues(kCurrentUser, "Software\\Microsoft\\Internet Explorer\\URLSearchHooks", names, data);
  classRows(names, true);
}

void WinsockProviders() {
  const Text catalog = "SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9";
  TextList catalogs;
  ListPresent(kLocalMachine, catalog, catalogs);
  for (const Text& c : catalogs) {
    TextList entries;
    ListPresent(kLocalMachine, catalog + "\\" + c, entries);
    for (const Text& e : entries) {
      const ByteString item = ReadRegistryBytes(kLocalMachine, catalog + "\\" + c + "\\" + e + "\\PackedCatalogItem");
      Text path;
      for (unsigned char b : item) {
        if (b == 0) break;
        path += static_cast<char>(b);
      }
      if (!FileExists(path) && !FileExists(GetSpecialFolder(kFolderSystem) + path) &&
          ToLowerCase(LeftBytes(path, 12)) == "%systemroot%") {
        path = GetSpecialFolder(kFolderWindows) + path.substr(path.size() > 12 && path[12] == '\\' ? 13 : 12);
      }
      Keep(GetFileDescription(path));
    }
  }
}

void ImageHijacks() {
  for (const KeyInView& view :
       ViewsOfKey(kLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options")) {
    const Text options = view.key + "\\";
    TextList names;
    ListPresent(kLocalMachine, options, names);
    for (const Text& n : names) {
      if (!RegistryItemExists(kLocalMachine, options + n + "\\Debugger")) continue;
      Keep(GetFileDescription(ReadValueByFullPath(kLocalMachinePrefix + options + n + "\\Debugger")));
    }
  }
}

void ShellHooks() {
  const Text machine = "SOFTWARE\\";
  for (const char* key : {"SOFTWARE\\Classes\\Protocols\\Handler", "SOFTWARE\\Classes\\PROTOCOLS\\Filter"}) {
    TextList names;
    ListPresent(kLocalMachine, key, names);
    for (const Text& n : names) {
      const Text id = ReadRegistryText(kLocalMachine, Text(key) + "\\" + n + "\\CLSID");
      if (RemoveAllSpaces(id).empty()) continue;
      Keep(ClassName(id));
      Keep(ClassServer(id));
    }
  }
  struct ValueLocation {
    const char* key;
    char kind;   // t task scheduler, d delay load, e execute hooks, a approved
  };
  const ValueLocation values[] = {
      {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SharedTaskScheduler", 't'},
      {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad", 'd'},
      {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellExecuteHooks", 'e'},
      {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved", 'a'},
  };
  for (const ValueLocation& l : values) {
    for (const KeyInView& view : ViewsOfKey(kLocalMachine, l.key)) {
      TextList names, data;
      ListValues(kLocalMachine, view.key, names, data);
      for (std::size_t i = 0; i < names.size() && i < data.size(); ++i) {
        const Text& id = l.kind == 'd' ? data[i] : names[i];
        if (l.kind == 'a' && RemoveAllSpaces(id).empty()) continue;
        if (l.kind != 'a') Keep(ClassName(id));
        Keep(ClassServer(id));
      }
    }
  }
  TextList handlers;
  ListPresent(kLocalMachine, "SOFTWARE\\Classes\\Folder\\shellex\\ColumnHandlers", handlers);
  for (const Text& n : handlers) {
    if (!RemoveAllSpaces(n).empty()) Keep(ClassServer(n));
  }
}

struct Step {
  const char* key;
  void (*run)();
};

const Step kSteps[] = {
    {"step1_ms", Restrictions},   {"step2_ms", StartupEntries}, {"step3_ms", StartupFolder},
    {"step4_ms", WinIni},         {"step5_ms", SystemIni},      {"step6_ms", AutoexecBat},
    {"step7_ms", ConfigSys},      {"step8_ms", BootIni},        {"step9_ms", Services},
    {"step10_ms", Hosts},         {"step11_ms", BrowserAddons}, {"step12_ms", WinsockProviders},
    {"step13_ms", ImageHijacks},  {"step14_ms", ShellHooks},
};

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  std::FILE* out = argc > 1 ? std::fopen(argv[1], "wb") : stdout;
  if (out == nullptr) return 1;
  double start = NowMs();
  Accounts();
  std::fprintf(out, "accounts_ms=%.1f\n", NowMs() - start);
  const double stepsStart = NowMs();
  for (const Step& step : kSteps) {
    start = NowMs();
    step.run();
    std::fprintf(out, "%s=%.1f\n", step.key, NowMs() - start);
  }
  std::fprintf(out, "steps_ms=%.1f\n", NowMs() - stepsStart);
  std::fprintf(out, "sink=%zu\n", sink);
  if (out != stdout) std::fclose(out);
  return 0;
}
