// The startup scan over the test's own entries in the real locations.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "registry_scratch.h"
#include "scan/registry_lookups.h"
#include "scan/startup_entries.h"
#include "ui/event_pacer.h"

namespace {

const Text kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const Text kRunServices = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices";
const Text kWindowsNt = "Software\\Microsoft\\WindowsNT\\CurrentVersion";
const Text kExecuteHooks = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellExecuteHooks";
const Text kDelayLoad = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad";
const Text kNotify = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Notify";
const Text kTasks = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SharedTaskScheduler";
const Text kSetup = "SOFTWARE\\Microsoft\\Active Setup\\Installed Components";
const Text kCu = "HKEY_CURRENT_USER\\", kLm = "HKEY_LOCAL_MACHINE\\";
const Text kClass = "{7E1A5C00-0000-4000-8000-00000000B001}";
const Text kNoClass = "{7E1A5C00-0000-4000-8000-00000000B0FF}";

std::vector<std::vector<Text>> Scan() { return ScanRows(ScanStartupEntries, {200, 200, 0}); }

TEST(StartupEntriesTest, EveryLocationInOrderWithItsCells) {
  const Text exe = fixture::kComponentExe, described = fixture::kComponentDescription;
  RegistryScratch s;
  s.String(HKEY_CURRENT_USER, kRun, "", "c:\\veltro-missing.exe");
  s.String(HKEY_CURRENT_USER, kRun, "VeltroArgs", exe + " /autorun");
  s.String(HKEY_CURRENT_USER, kRun, "VeltroBare", exe);
  s.String(HKEY_CURRENT_USER, kRun, "VeltroExpand", "%SystemRoot%\\notepad.exe", REG_EXPAND_SZ);
  s.String(HKEY_CURRENT_USER, kRun, "VeltroNoVersion", fixture::kNoVersionDll);
  s.String(HKEY_CURRENT_USER, kRun, "VeltroQuoted", "\"" + exe + "\"");
  s.String(HKEY_LOCAL_MACHINE, kRunServices, "VeltroService", exe);
  s.String(HKEY_CURRENT_USER, kWindowsNt, "Windowsload", "c:\\veltro-load.exe");
  s.String(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\CLSID\\" + kClass + "\\InProcServer32", "", exe);
  s.Key(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\CLSID\\" + kClass);
  s.String(HKEY_LOCAL_MACHINE, kExecuteHooks, kClass, "");
  s.String(HKEY_LOCAL_MACHINE, kExecuteHooks, kNoClass, "");
  s.String(HKEY_LOCAL_MACHINE, kDelayLoad, "VeltroObject", kClass);   // data names the class
  for (const char* package : {"VeltroEmptyDll", "VeltroNoDll", "VeltroPackage"}) {
    s.Key(HKEY_LOCAL_MACHINE, kNotify + "\\" + package);
  }
  s.String(HKEY_LOCAL_MACHINE, kNotify + "\\VeltroEmptyDll", "DllName", "");
  s.String(HKEY_LOCAL_MACHINE, kNotify + "\\VeltroNoDll", "Startup", "x");
  s.String(HKEY_LOCAL_MACHINE, kNotify + "\\VeltroPackage", "DllName", exe);
  s.String(HKEY_LOCAL_MACHINE, kTasks, kClass, "Veltro task");
  for (const char* component : {"VeltroComponent", "VeltroNoStub"}) {
    s.Key(HKEY_LOCAL_MACHINE, kSetup + "\\" + component);
  }
  s.String(HKEY_LOCAL_MACHINE, kSetup + "\\VeltroComponent", "StubPath", exe + " /install");
  s.String(HKEY_LOCAL_MACHINE, kSetup + "\\VeltroNoStub", "", "x");

  EXPECT_EQ(ResolveClsidServer(kClass), exe);
  const auto rows = Scan();
  ExpectRowsInOrder(rows, {
      // The file a command line runs is described; "未知" when there is none.
      {kCu + kRun + "\\", {"c:\\veltro-missing.exe", "未知"}},
      {kCu + kRun + "\\VeltroArgs", {exe + " /autorun", described}},
      {kCu + kRun + "\\VeltroBare", {exe, described}},
      {kCu + kRun + "\\VeltroExpand", {"%SystemRoot%\\notepad.exe", ""}},
      {kCu + kRun + "\\VeltroNoVersion", {fixture::kNoVersionDll, ""}},
      {kCu + kRun + "\\VeltroQuoted", {"\"" + exe + "\"", described}},
      {kLm + kRunServices + "\\VeltroService", {exe, described}},
      {kCu + kWindowsNt + "\\Windowsload", {"windowsload", "未知"}},
      {kLm + kExecuteHooks + "\\" + kClass, {exe, described}},
      {kLm + kExecuteHooks + "\\" + kNoClass, {"", ""}},
      {kLm + kDelayLoad + "\\VeltroObject", {exe, described}},
      // A package with no library is listed, with nothing to show.
      {kLm + kNotify + "\\VeltroEmptyDll", {"", ""}},
      {kLm + kNotify + "\\VeltroNoDll", {"", ""}},
      {kLm + kNotify + "\\VeltroPackage", {exe, described}},
      {kLm + kTasks + "\\" + kClass, {exe, described}},
      {kLm + kSetup + "\\VeltroComponent\\StubPath", {exe + " /install", described}},
      {kLm + kSetup + "\\VeltroNoStub\\StubPath", {}},
  }, 2);
  EXPECT_EQ(Scan(), rows) << "a second scan rebuilds, it does not append";
}

TEST(StartupEntriesTest, WindowsloadRowOnlyWhenNotEmpty) {
  const Text path = kCu + kWindowsNt + "\\Windowsload";
  EXPECT_EQ(FindRow(Scan(), 2, path), -1) << "missing";
  for (const Text& text : {Text(), fixture::kComponentExe}) {
    RegistryScratch s;
    s.String(HKEY_CURRENT_USER, kWindowsNt, "Windowsload", text);
    const auto rows = Scan();
    const int row = FindRow(rows, 2, path);
    if (text.empty()) {
      EXPECT_EQ(row, -1) << "empty";
    } else {
      ASSERT_GE(row, 0);
      EXPECT_EQ(rows[row][1], fixture::kComponentDescription);
    }
  }
}


// Rows vanish under the scan, as when a removal runs nested in it: after
// a row is appended below two others, the next pending-message pass deletes
// the first row. Each insertion takes longer than the scan waits between
// passes, so that a pass follows every row.
HWND gList = nullptr;
WNDPROC gStaticProc = nullptr;
int gDeletions = 0;
LRESULT CALLBACK DeletingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == LVN_INSERTITEM && gDeletions < 5 &&
      ListView_GetItemCount(gList) > 2) {
    Sleep(EventPacer::kInterval + 5);
    PostMessageA(window, WM_APP, 0, 0);
  } else if (message == WM_APP && ListView_GetItemCount(gList) > 0) {
    ListView_DeleteItem(gList, 0);
    ++gDeletions;
    return 0;
  }
  return CallWindowProcA(gStaticProc, window, message, wParam, lParam);
}

TEST(StartupEntriesTest, RowsDeletedDuringTheScanLeaveTheOthersWhole) {
  RegistryScratch s;
  for (int i = 0; i < 12; ++i) {
    s.String(HKEY_CURRENT_USER, kRun, "VeltroRace" + ToText(i), "c:\\race" + ToText(i) + ".exe");
  }
  TestListHost host({200, 200, 0});
  gList = host.List().Handle();
  gStaticProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(host.Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DeletingProc)));
  ScanStartupEntries(host.List());
  SetWindowLongPtrA(host.Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gStaticProc));
  EXPECT_EQ(gDeletions, 5);
  for (const auto& row : host.Rows()) {
    EXPECT_FALSE(row[2].empty()) << row[0];
    const std::size_t race = row[2].find("\\VeltroRace");
    if (race != Text::npos) {
      EXPECT_EQ(row[0], "c:\\race" + row[2].substr(race + 11) + ".exe");
    }
  }
}

}  // namespace
