// The places documented infections use beyond the Run family: listed on
// the startup page and removed (or put back) as a repair tool must, flagged
// and repaired by the restriction scan, the library behind svchost shown on
// the services page; a clean prefix gives none of it.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/native_view.h"
#include "host/registry.h"
#include "registry_scratch.h"
#include "repair/association_hijacks.h"
#include "repair/restriction_scan.h"
#include "scan/entry_removal.h"
#include "scan/services.h"
#include "scan/shell_hooks.h"
#include "scan/startup_entries.h"
#include "support/dialog_answerer.h"
#include "support/hostile_seed.h"

namespace {

const Text kWinlogon = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const Text kWindows = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
const Text kPolicyRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run";
const Text kCu = "HKEY_CURRENT_USER\\", kLm = "HKEY_LOCAL_MACHINE\\";
const Text kWindows32 = "Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
const Text kSystemPolicies = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const Text kIeMain = "SOFTWARE\\Microsoft\\Internet Explorer\\Main";
const Text kIeMain32 = "SOFTWARE\\Wow6432Node\\Microsoft\\Internet Explorer\\Main";
const Text kMountPoints = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MountPoints2";
const Text kBrowsers = "SOFTWARE\\Clients\\StartMenuInternet";
const Text kBrowsers32 = "SOFTWARE\\Wow6432Node\\Clients\\StartMenuInternet";
const Text kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
const Text kAppPaths32 = "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths";

// A 32-bit Windows keeps no second view: its Wow6432Node keys are nobody's.
bool ViewMissing(const Text& path) {
  return !OnSixtyFourBitWindows() && ToLowerCase(path).find("wow6432node") != Text::npos;
}

ByteString Terminated(const Text& text) { return ByteString(text.c_str(), text.c_str() + text.size() + 1); }

// What a clean Windows 7 holds in the places checked beyond the Parts'.
void SeedCleanPlaces(hostile::Seed& seed) {
  seed.Override(HKEY_LOCAL_MACHINE, kWinlogon, "Shell", REG_SZ, Terminated("Explorer.exe"));
  seed.Override(HKEY_LOCAL_MACHINE, kSystemPolicies, "EnableLUA", REG_DWORD, hostile::Dword(1));
  for (const Text& key : {kWindows, kWindows32}) {
    seed.Override(HKEY_LOCAL_MACHINE, key, "AppInit_DLLs", REG_SZ, Terminated(""));
    seed.Override(HKEY_LOCAL_MACHINE, key, "LoadAppInit_DLLs", REG_DWORD, hostile::Dword(0));
  }
  for (const Text& key : {kIeMain, kIeMain32}) {
    seed.Override(HKEY_LOCAL_MACHINE, key, "Start Page", REG_SZ, Terminated("about:blank"));
  }
  // Windows writes "/S"; the repair of the file types writes "/s".
  seed.Override(HKEY_CLASSES_ROOT, "scrfile\\shell\\open\\command", "", REG_SZ, Terminated("\"%1\" /s"));
  // Browsers as their installers register them: Internet Explorer's key is
  // named for its program, another browser's program is its icon's; the
  // commands carry arguments, and an unquoted path has spaces.
  for (const Text& key : {kBrowsers, kBrowsers32}) {
    seed.Override(HKEY_LOCAL_MACHINE, key + "\\IEXPLORE.EXE\\shell\\open\\command", "", REG_SZ,
                  Terminated("C:\\Program Files\\Internet Explorer\\iexplore.exe"));
    seed.String(HKEY_LOCAL_MACHINE, key + "\\Veltro Browser\\DefaultIcon", "", "\"C:\\Veltro\\vbrowser.exe\",0");
    seed.String(HKEY_LOCAL_MACHINE, key + "\\Veltro Browser\\shell\\open\\command", "",
                "\"C:\\Veltro\\vbrowser.exe\"");
    seed.String(HKEY_LOCAL_MACHINE, key + "\\Veltro Browser\\shell\\safemode\\command", "",
                "C:\\Veltro\\VBROWSER.EXE -safe-mode");
  }
  for (const Text& key : {kAppPaths, kAppPaths32}) {
    seed.String(HKEY_LOCAL_MACHINE, key + "\\vbrowser.exe", "", "C:\\Veltro\\vbrowser.exe");
  }
}

struct StartupPlace {
  HKEY root;
  Text rootName, key, name;
  const char* afterRemoval;   // nullptr: the value is deleted
};

const StartupPlace kPlaces[] = {
    {HKEY_CURRENT_USER, kCu, kWinlogon, "Shell", nullptr},
    {HKEY_LOCAL_MACHINE, kLm, kWinlogon, "Shell", "Explorer.exe"},   // Windows needs a shell
    {HKEY_LOCAL_MACHINE, kLm, "Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", "Shell",
     "Explorer.exe"},
    {HKEY_CURRENT_USER, kCu, kWinlogon, "Taskman", nullptr},
    {HKEY_LOCAL_MACHINE, kLm, kWinlogon, "Taskman", nullptr},
    {HKEY_LOCAL_MACHINE, kLm, kWindows, "AppInit_DLLs", ""},   // emptied, not deleted
    {HKEY_CURRENT_USER, kCu, kWindows, "run", nullptr},
    {HKEY_LOCAL_MACHINE, kLm, kWindows, "run", nullptr},
    {HKEY_CURRENT_USER, kCu, kWindows, "load", nullptr},
    {HKEY_LOCAL_MACHINE, kLm, kWindows, "load", nullptr},
    {HKEY_CURRENT_USER, kCu, kPolicyRun, "VeltroPolicy", nullptr},
    {HKEY_LOCAL_MACHINE, kLm, kPolicyRun, "VeltroPolicy", nullptr},
};

Text PathOf(const StartupPlace& place) { return place.rootName + place.key + "\\" + place.name; }

// 32-bit Windows keeps no Wow6432Node copy to list.
std::vector<StartupPlace> PlacesOfThisWindows() {
  std::vector<StartupPlace> places;
  for (const StartupPlace& place : kPlaces) {
    if (OnSixtyFourBitWindows() || place.key.find("Wow6432Node") == Text::npos) places.push_back(place);
  }
  return places;
}

TEST(InfectionPlacesTest, StartupPlacesAreListedAfterThePartsAndRemovedSafely) {
  const std::vector<StartupPlace> places = PlacesOfThisWindows();
  hostile::Seed seed;
  RegistryScratch scratch;
  scratch.String(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "VeltroFirst", "c:\\first.exe");
  for (const StartupPlace& place : places) {
    ASSERT_TRUE(seed.Override(place.root, place.key, place.name, REG_SZ,
                              Terminated("Explorer.exe c:\\veltro\\" + place.name + ".exe")));
  }
  TestListHost host({200, 200, 0}, true);
  ScanStartupEntries(host.List());
  std::vector<std::pair<Text, std::vector<Text>>> expected{
      {kCu + "Software\\Microsoft\\Windows\\CurrentVersion\\Run\\VeltroFirst", {"c:\\first.exe", "未知"}}};
  // Judged by the stranger's file beside Explorer, which is missing.
  for (const StartupPlace& place : places) {
    expected.push_back({PathOf(place), {"Explorer.exe c:\\veltro\\" + place.name + ".exe", "未知"}});
  }
  ExpectRowsInOrder(host.Rows(), expected, 2);

  for (const StartupPlace& place : places) {
    SCOPED_TRACE(PathOf(place));
    const int row = FindRow(host.Rows(), 2, PathOf(place));
    ASSERT_GE(row, 0);
    for (int other = 0; other < host.List().RowCount(); ++other) host.List().SelectRow(other, other == row);
    DialogAnswerer answerer({{IDYES, ""}});
    RemoveSelectedStartupEntries(host.List());
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].message, "是否删除\r\n" + PathOf(place));
    if (place.afterRemoval == nullptr) {
      EXPECT_FALSE(RegistryScratch::ValueExists(place.root, place.key, place.name));
    } else {
      const int root = place.root == HKEY_CURRENT_USER ? kCurrentUser : kLocalMachine;
      EXPECT_TRUE(RegistryScratch::ValueExists(place.root, place.key, place.name));
      EXPECT_EQ(ReadRegistryText(root, place.key + "\\" + place.name), place.afterRemoval);
    }
    EXPECT_LT(FindRow(host.Rows(), 2, PathOf(place)), 0) << "the row goes";
  }
}

// Explorer runs Taskman whatever its type: every type is listed, its data
// as text (expanded for REG_EXPAND_SZ, up to the first zero byte otherwise).
TEST(InfectionPlacesTest, TaskmanOfAnyTypeIsListed) {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  const struct {
    DWORD type;
    ByteString data;
    Text shown;
  } cases[] = {
      {REG_EXPAND_SZ, Terminated("%SystemRoot%\\veltro_tm.exe"), Text(windows) + "\\veltro_tm.exe"},
      {REG_BINARY, Terminated("c:\\veltro\\binary.exe"), "c:\\veltro\\binary.exe"},
      {REG_MULTI_SZ, Terminated(Text("c:\\veltro\\multi.exe") + '\0' + "second" + '\0'), "c:\\veltro\\multi.exe"},
      {REG_NONE, ByteString{'c', ':', '\\', 'n', '.', 'e', 'x', 'e'}, "c:\\n.exe"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    hostile::Seed seed;
    ASSERT_TRUE(seed.Override(HKEY_CURRENT_USER, kWinlogon, "Taskman", c.type, c.data));
    const auto rows = ScanRows(ScanStartupEntries, {200, 200, 0});
    const int row = FindRow(rows, 2, kCu + kWinlogon + "\\Taskman");
    ASSERT_GE(row, 0);
    EXPECT_EQ(rows[row][0], c.shown);
  }
}

TEST(InfectionPlacesTest, ACleanMachineShowsNoneOfThem) {
  hostile::Seed seed;
  SeedCleanPlaces(seed);
  const auto rows = ScanRows(ScanStartupEntries, {200, 200, 0});
  for (const StartupPlace& place : kPlaces) EXPECT_LT(FindRow(rows, 2, PathOf(place)), 0) << PathOf(place);
  for (const auto& row : rows) {
    EXPECT_EQ(row[2].find("LoadAppInit_DLLs"), Text::npos) << row[2];
    EXPECT_EQ(row[2].find("MountPoints2"), Text::npos) << row[2];
  }
  for (const auto& row : ScanRows(ScanShellHooks, {150, 150, 150, 0})) {
    EXPECT_NE(row[3].rfind(kCu, 0), 0u) << "a clean user has no classes of his own: " << row[3];
  }
  std::vector<RestrictionRow> found;
  CheckInfectionPlaces(found);
  for (const RestrictionRow& row : found) ADD_FAILURE() << row.explanation << " " << row.path;
}

TEST(InfectionPlacesTest, ShellAndAssociationHijacksAreFlaggedAndRepaired) {
  struct Check {
    const char* what;
    void (*seed)(hostile::Seed&);
    RestrictionRow row;
    bool (*repaired)();
  };
  const Check checks[] = {
      {"a second program after the shell",
       [](hostile::Seed& s) {
         s.Override(HKEY_LOCAL_MACHINE, kWinlogon, "Shell", REG_SZ, Terminated("Explorer.exe c:\\v.exe"));
       },
       {"外壳被修改成为:Explorer.exe c:\\v.exe", "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Shell"},
       [] { return ReadRegistryText(kLocalMachine, kWinlogon + "\\Shell") == "Explorer.exe"; }},
      {"a command under .exe itself",
       [](hostile::Seed& s) { s.String(HKEY_CLASSES_ROOT, ".exe\\shell\\open\\command", "", "c:\\v.exe \"%1\""); },
       {"EXE文件关联被劫持", ".exe\\shell"}, [] { return !hostile::KeyExists(HKEY_CLASSES_ROOT, ".exe\\shell"); }},
      {"a user's own exefile",
       [](hostile::Seed& s) {
         s.String(HKEY_CURRENT_USER, "Software\\Classes\\exefile\\shell\\open\\command", "", "c:\\v.exe \"%1\"");
       },
       {"当前用户的文件关联被修改 exefile", "Software\\Classes\\exefile"},
       [] { return !hostile::KeyExists(HKEY_CURRENT_USER, "Software\\Classes\\exefile"); }},
      {"a new extension run as a program",
       [](hostile::Seed& s) {
         s.String(HKEY_CLASSES_ROOT, ".veltro", "", "ExeFile");
         s.String(HKEY_CLASSES_ROOT, ".veltro", "Content Type", "text/plain");
       },
       {"被关联为程序的文件类型 .veltro", ".veltro"},
       [] {
         return !hostile::ValueExists(HKEY_CLASSES_ROOT, ".veltro", "") &&
                hostile::ValueExists(HKEY_CLASSES_ROOT, ".veltro", "Content Type");
       }},
      {"user account control switched off",
       [](hostile::Seed& s) { s.Override(HKEY_LOCAL_MACHINE, kSystemPolicies, "EnableLUA", REG_DWORD, hostile::Dword(0)); },
       {"用户账户控制(UAC)被关闭", kSystemPolicies + "\\EnableLUA"},
       [] {
         return ReadRegistryNumber(kLocalMachine, kSystemPolicies + "\\EnableLUA", -1) == 1;
       }},
      {"the machine's start page",
       [](hostile::Seed& s) {
         s.Override(HKEY_LOCAL_MACHINE, kIeMain, "Start Page", REG_SZ, Terminated("http://veltro.test/"));
       },
       {"IE被修改成为:http://veltro.test/", kIeMain + "\\Start Page"},
       [] { return ReadRegistryText(kLocalMachine, kIeMain + "\\Start Page") == "about:blank"; }},
      {"the 32-bit start page",
       [](hostile::Seed& s) {
         s.Override(HKEY_LOCAL_MACHINE, kIeMain32, "Start Page", REG_SZ, Terminated("http://veltro.test/32"));
       },
       {"IE被修改成为:http://veltro.test/32", kIeMain32 + "\\Start Page"},
       [] { return ReadRegistryText(kLocalMachine, kIeMain32 + "\\Start Page") == "about:blank"; }},
      {"a rogue wrapper around batch files",
       [](hostile::Seed& s) {
         s.String(HKEY_CLASSES_ROOT, "batfile\\shell\\open\\command", "", "\"c:\\ave.exe\" /START \"%1\" %*");
       },
       {"程序的打开命令被修改 batfile", "batfile\\shell\\open\\command"},
       [] { return ReadRegistryText(kClassesRoot, "batfile\\shell\\open\\command\\") == "\"%1\" %*"; }},
      {"a program class no Windows has",
       [](hostile::Seed& s) {
         s.String(HKEY_CLASSES_ROOT, "secfile\\shell\\open\\command", "", "\"c:\\ave.exe\" /START \"%1\" %*");
       },
       {"不属于Windows的程序类 secfile", "secfile"}, [] { return !hostile::KeyExists(HKEY_CLASSES_ROOT, "secfile"); }},
      {"a rogue wrapper around a browser of the Start menu",
       [](hostile::Seed& s) {
         s.Override(HKEY_LOCAL_MACHINE, kBrowsers + "\\Veltro Browser\\shell\\open\\command", "", REG_SZ,
                    Terminated("\"C:\\ave.exe\" /START \"C:\\Veltro\\vbrowser.exe\""));
       },
       {"浏览器的启动命令被修改 vbrowser.exe", kBrowsers + "\\Veltro Browser\\shell\\open\\command"},
       [] {
         return ReadRegistryText(kLocalMachine, kBrowsers + "\\Veltro Browser\\shell\\open\\command\\") ==
                "\"C:\\Veltro\\vbrowser.exe\"";
       }},
      {"the 32-bit Internet Explorer's command",
       [](hostile::Seed& s) {
         s.Override(HKEY_LOCAL_MACHINE, kBrowsers32 + "\\IEXPLORE.EXE\\shell\\open\\command", "", REG_SZ,
                    Terminated("C:\\ave.exe C:\\Program Files\\Internet Explorer\\iexplore.exe"));
         s.Override(HKEY_LOCAL_MACHINE, kAppPaths32 + "\\IEXPLORE.EXE", "", REG_SZ,
                    Terminated("C:\\Program Files (x86)\\Internet Explorer\\IEXPLORE.EXE"));
       },
       {"浏览器的启动命令被修改 iexplore.exe", kBrowsers32 + "\\IEXPLORE.EXE\\shell\\open\\command"},
       [] {
         return ReadRegistryText(kLocalMachine, kBrowsers32 + "\\IEXPLORE.EXE\\shell\\open\\command\\") ==
                "\"C:\\Program Files (x86)\\Internet Explorer\\IEXPLORE.EXE\"";
       }},
  };
  for (const Check& check : checks) {
    SCOPED_TRACE(check.what);
    if (ViewMissing(check.row.path)) continue;
    hostile::Seed clean, seed;
    SeedCleanPlaces(clean);
    check.seed(seed);
    std::vector<RestrictionRow> found;
    CheckInfectionPlaces(found);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].explanation, check.row.explanation);
    EXPECT_EQ(found[0].path, check.row.path);
    RepairInfectionPlaces();
    EXPECT_TRUE(check.repaired());
    found.clear();
    CheckInfectionPlaces(found);
    EXPECT_TRUE(found.empty());
  }
}

// A browser Windows keeps no program path for cannot be put back: its
// wrapped command stays, and so does its row.
TEST(InfectionPlacesTest, ABrowserWithoutARecordedProgramKeepsItsCommand) {
  hostile::Seed clean, seed;
  SeedCleanPlaces(clean);
  const Text command = kBrowsers + "\\VELTRONOPATH.EXE\\shell\\open\\command";
  seed.String(HKEY_LOCAL_MACHINE, command, "", "\"C:\\ave.exe\" \"C:\\Veltro\\veltronopath.exe\"");
  RepairInfectionPlaces();
  EXPECT_EQ(ReadRegistryText(kLocalMachine, command + "\\"), "\"C:\\ave.exe\" \"C:\\Veltro\\veltronopath.exe\"");
  std::vector<RestrictionRow> found;
  CheckInfectionPlaces(found);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].explanation, "浏览器的启动命令被修改 veltronopath.exe");
}

// Where XP has no user account control, the value is missing: no finding,
// and the repair writes nothing there.
TEST(InfectionPlacesTest, AMissingAccountControlSwitchIsNoFinding) {
  hostile::Seed clean;
  SeedCleanPlaces(clean);
  RegistryScratch scratch;
  scratch.Key(HKEY_LOCAL_MACHINE, kSystemPolicies);   // takes the seeded value away at the end
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSystemPolicies.c_str(), "EnableLUA");
  std::vector<RestrictionRow> found;
  CheckInfectionPlaces(found);
  EXPECT_TRUE(found.empty());
  RepairInfectionPlaces();
  EXPECT_FALSE(RegistryScratch::ValueExists(HKEY_LOCAL_MACHINE, kSystemPolicies, "EnableLUA"));
}

// The AppInit switch and a USB worm's drive commands: listed after everything
// else, and removed as Windows needs (the switch set to 0, the drive's whole
// Shell key deleted, the drive's other settings kept).
TEST(InfectionPlacesTest, AppInitSwitchAndDriveCommandsAreListedAndRemoved) {
  hostile::Seed clean;
  SeedCleanPlaces(clean);
  struct Place {
    const char* what;
    void (*seed)(hostile::Seed&);
    Text path;
    std::vector<Text> cells;
    bool (*removed)();
  };
  const Place places[] = {
      {"the AppInit switch",
       [](hostile::Seed& s) {
         s.Override(HKEY_LOCAL_MACHINE, kWindows, "LoadAppInit_DLLs", REG_DWORD, hostile::Dword(1));
       },
       kLm + kWindows + "\\LoadAppInit_DLLs", {"LoadAppInit_DLLs", "加载AppInit_DLLs中的程序库"},
       [] { return ReadRegistryNumber(kLocalMachine, kWindows + "\\LoadAppInit_DLLs", -1) == 0; }},
      {"the 32-bit AppInit switch",
       [](hostile::Seed& s) {
         s.Override(HKEY_LOCAL_MACHINE, kWindows32, "LoadAppInit_DLLs", REG_DWORD, hostile::Dword(1));
       },
       kLm + kWindows32 + "\\LoadAppInit_DLLs", {"LoadAppInit_DLLs", "加载AppInit_DLLs中的程序库"},
       [] { return ReadRegistryNumber(kLocalMachine, kWindows32 + "\\LoadAppInit_DLLs", -1) == 0; }},
      {"a worm's drive",
       [](hostile::Seed& s) {
         s.String(HKEY_CURRENT_USER, kMountPoints + "\\V", "BaseClass", "Drive");
         s.String(HKEY_CURRENT_USER, kMountPoints + "\\V\\Shell\\AutoRun\\command", "", "V:\\veltro.exe");
         s.String(HKEY_CURRENT_USER, kMountPoints + "\\V\\Shell", "", "AutoRun");
       },
       kCu + kMountPoints + "\\V\\Shell", {"V:\\veltro.exe", "未知"},
       [] {
         return !hostile::KeyExists(HKEY_CURRENT_USER, kMountPoints + "\\V\\Shell") &&
                hostile::ValueExists(HKEY_CURRENT_USER, kMountPoints + "\\V", "BaseClass");
       }},
  };
  for (const Place& place : places) {
    SCOPED_TRACE(place.what);
    if (ViewMissing(place.path)) continue;
    hostile::Seed seed;
    RegistryScratch scratch;
    scratch.String(HKEY_CURRENT_USER, kPolicyRun, "VeltroLast", "c:\\last.exe");
    place.seed(seed);
    TestListHost host({200, 200, 0}, true);
    ScanStartupEntries(host.List());
    ExpectRowsInOrder(host.Rows(), {{kCu + kPolicyRun + "\\VeltroLast", {"c:\\last.exe", "未知"}}, {place.path, place.cells}},
                      2);
    const int row = FindRow(host.Rows(), 2, place.path);
    ASSERT_GE(row, 0);
    for (int other = 0; other < host.List().RowCount(); ++other) host.List().SelectRow(other, other == row);
    DialogAnswerer answerer({{IDYES, ""}});
    RemoveSelectedStartupEntries(host.List());
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].message, "是否删除\r\n" + place.path);
    EXPECT_TRUE(place.removed());
    EXPECT_LT(FindRow(host.Rows(), 2, place.path), 0) << "the row goes";
  }
}

// Classes of the user's own with a server: listed with the hooks, after the
// machine's; removal takes the user's key and leaves the machine's class.
TEST(InfectionPlacesTest, AUsersOwnClassesAreListedAndRemovedAlone) {
  const Text classes = "Software\\Classes\\CLSID\\", machineClasses = "SOFTWARE\\Classes\\CLSID\\";
  struct UserClass {
    const char* id;
    const char* name;
    const char* serverKey;
    const char* server;
    std::vector<Text> cells;   // empty: not listed
  };
  const UserClass userClasses[] = {
      {"{7E1A5C00-0000-4000-8000-0000000022A1}", "Veltro hijack", "InprocServer32", "c:\\veltro\\hijack.dll",
       {"Veltro hijack", "未知", "c:\\veltro\\hijack.dll"}},
      {"{7E1A5C00-0000-4000-8000-0000000022A2}", "", "LocalServer32", "\"c:\\veltro\\server.exe\" -embedding",
       {"{7E1A5C00-0000-4000-8000-0000000022A2}", "未知", "\"c:\\veltro\\server.exe\" -embedding"}},
      {"{7E1A5C00-0000-4000-8000-0000000022A3}", "Veltro settings only", "Settings", "x", {}},
  };
  RegistryScratch scratch;
  for (const UserClass& c : userClasses) {
    scratch.Key(HKEY_CURRENT_USER, classes + c.id);
    scratch.String(HKEY_CURRENT_USER, classes + c.id, "", c.name);
    scratch.String(HKEY_CURRENT_USER, classes + c.id + "\\" + c.serverKey, "", c.server);
    scratch.Key(HKEY_LOCAL_MACHINE, machineClasses + c.id);
    scratch.String(HKEY_LOCAL_MACHINE, machineClasses + c.id + "\\InprocServer32", "", "c:\\machine.dll");
  }
  // A machine's hook before them.
  const Text machineOnly = "{7E1A5C00-0000-4000-8000-0000000022A0}";
  const Text columns = "SOFTWARE\\Classes\\Folder\\shellex\\ColumnHandlers\\" + machineOnly;
  scratch.Key(HKEY_LOCAL_MACHINE, columns);
  scratch.Key(HKEY_LOCAL_MACHINE, machineClasses + machineOnly);
  scratch.String(HKEY_LOCAL_MACHINE, machineClasses + machineOnly + "\\InprocServer32", "", "c:\\machine.dll");
  TestListHost host({150, 150, 150, 0});
  ScanShellHooks(host.List());
  std::vector<std::pair<Text, std::vector<Text>>> expected{
      {kLm + columns, {machineOnly, "Windows Shell Common Dll", "c:\\machine.dll"}}};
  for (const UserClass& c : userClasses) expected.push_back({kCu + classes + c.id, c.cells});
  ExpectRowsInOrder(host.Rows(), expected, 3);

  for (const UserClass& c : userClasses) {
    if (c.cells.empty()) continue;
    SCOPED_TRACE(c.id);
    const Text path = kCu + classes + c.id;
    host.List().SelectRow(FindRow(host.Rows(), 3, path));
    DialogAnswerer answerer({{IDYES, ""}});
    RemoveCurrentEntry(host.List(), kShellHookRemoval);
    EXPECT_EQ(answerer.Seen().size(), 1u);
    EXPECT_FALSE(hostile::KeyExists(HKEY_CURRENT_USER, classes + c.id));
    EXPECT_TRUE(hostile::KeyExists(HKEY_LOCAL_MACHINE, machineClasses + c.id + "\\InprocServer32"));
    EXPECT_LT(FindRow(host.Rows(), 3, path), 0);
  }
}

// svchost is recognised by its file name, with or without ".exe", quoted or
// not, in any case; anything else shows its image alone.
TEST(InfectionPlacesTest, AServiceInSvchostShowsItsLibrary) {
  const Text services = "SYSTEM\\CurrentControlSet\\Services\\";
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  const Text library = Text(windows) + "\\veltro.dll";
  const struct {
    const char* service;
    Text image;         // as stored (REG_EXPAND_SZ)
    Text shownImage;    // expanded
    bool showsLibrary;
  } cases[] = {
      {"VeltroHosted", "%SystemRoot%\\System32\\SvcHost.exe -k netsvcs",
       Text(windows) + "\\System32\\SvcHost.exe -k netsvcs", true},
      {"VeltroHostedXP", "%SystemRoot%\\system32\\svchost -k DcomLaunch",
       Text(windows) + "\\system32\\svchost -k DcomLaunch", true},
      {"VeltroHostedQuoted", "\"C:\\WINDOWS\\System32\\SVCHOST\" -k rpcss", "\"C:\\WINDOWS\\System32\\SVCHOST\" -k rpcss",
       true},
      {"VeltroHostedBare", "svchost.exe -k LocalService", "svchost.exe -k LocalService", true},
      {"VeltroPlain", "c:\\plain.exe", "c:\\plain.exe", false},
      {"VeltroNoGroup", "c:\\windows\\system32\\svchost.exe", "c:\\windows\\system32\\svchost.exe", false},
      {"VeltroLookalike", "c:\\mysvchost.exe -k netsvcs", "c:\\mysvchost.exe -k netsvcs", false},
  };
  RegistryScratch scratch;
  for (const auto& c : cases) {
    scratch.Key(HKEY_LOCAL_MACHINE, services + c.service);
    scratch.String(HKEY_LOCAL_MACHINE, services + c.service, "ImagePath", c.image, REG_EXPAND_SZ);
    scratch.String(HKEY_LOCAL_MACHINE, services + c.service + "\\Parameters", "ServiceDll", "%SystemRoot%\\veltro.dll",
                   REG_EXPAND_SZ);
  }
  const auto rows = ScanRows(ScanServices, {100, 100, 100, 100, 100});
  for (const auto& c : cases) {
    const int row = FindRow(rows, kServiceKeyName, c.service);
    ASSERT_GE(row, 0) << c.service;
    EXPECT_EQ(rows[row][kServiceImagePath], c.showsLibrary ? c.shownImage + " | " + library : c.shownImage)
        << c.service;
  }
}

}  // namespace
