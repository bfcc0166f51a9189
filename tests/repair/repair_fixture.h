// Shared by the repair suites: every registry place the restriction scan
// reads and the repair writes, saved before a test and put back after it,
// and a clean state in which the catalogue finds nothing.
#pragma once

#include "repair/repair_table.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/text_ops.h"
#include "host/files.h"
#include "host/registry.h"
#include "registry_snapshot.h"

#define TEST_EXPLORER_POLICIES "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\"

constexpr char kUserinitPath[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Userinit";
constexpr char kStartPagePath[] = "Software\\Microsoft\\Internet Explorer\\Main\\Start Page";
// The machine's start page in both views 64-bit Windows keeps of it.
constexpr const char* kMachineStartPagePaths[] = {
    "SOFTWARE\\Microsoft\\Internet Explorer\\Main\\Start Page",
    "SOFTWARE\\Wow6432Node\\Microsoft\\Internet Explorer\\Main\\Start Page"};
constexpr char kCheckedValuePath[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer\\Advanced\\Folder\\Hidden\\SHOWALL\\CheckedValue";
constexpr char kCdromAutorunPath[] = "SYSTEM\\CurrentControlSet\\Services\\Cdrom\\Autorun";

inline void SaveRepairLocations(RegistrySnapshot& snapshot) {
  struct Place {
    HKEY root;
    const char* path;
  };
  static const Place kKeys[] = {
      {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies"},
      {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced"},
      {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BrowseNewProcess"},
      {HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\Main"},
      {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer\\Main"},
      {HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node\\Microsoft\\Internet Explorer\\Main"},
      {HKEY_CURRENT_USER, "SYSTEM"},
      {HKEY_CURRENT_USER, "Software\\Policies"},
      {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon"},
      {HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\Cdrom"},
      {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies"},
      {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced"},
      {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Security Center"},
      {HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\wscsvc"},
      {HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\wuauserv"},
      {HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\MpsSvc"},
      {HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\WinDefend"},
      {HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\srservice"},
      {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SystemRestore"},
      {HKEY_LOCAL_MACHINE, "SOFTWARE\\Policies"},
      {HKEY_CLASSES_ROOT, ".exe"},
  };
  for (const Place& place : kKeys) snapshot.AddKey(place.root, place.path);
  for (const char* type : {"txt", "cmd", "exe", "pif", "com", "scr", "bat", "reg", "chm", "hlp", "ini",
                           "inf", "vbs", "js"}) {
    snapshot.AddKey(HKEY_CLASSES_ROOT, std::string(type) + "file");
  }
  snapshot.AddValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer",
                    "NoControlpanel");
}

// A system on which no catalogue check fires.
inline void WriteCleanRestrictions() {
  WriteRegistryValue(kLocalMachine, kUserinitPath, GetSpecialFolder(kFolderSystem) + "userinit.exe,");
  WriteRegistryValue(kCurrentUser, kStartPagePath, "about:blank");
  for (const char* path : kMachineStartPagePaths) WriteRegistryValue(kLocalMachine, path, "about:blank");
  // Windows 7's own; Wine's prefixes hold 0 (no account control there).
  WriteRegistryValue(kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\EnableLUA", 1);
  WriteRegistryValue(kLocalMachine, kCheckedValuePath, 1);
  WriteRegistryValue(kLocalMachine, kCdromAutorunPath, 0);
  WriteRegistryValue(kClassesRoot, ".exe\\", "exefile");
  WriteRegistryValue(kClassesRoot, "exefile\\shell\\open\\command\\", "\"%1\" %*");
  WriteRegistryValue(kClassesRoot, "exefile\\shell\\runas\\command\\", "\"%1\" %*");
  WriteRegistryValue(kClassesRoot, "exefile\\DefaultIcon\\", "%1");
}

class RepairLocationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SaveRepairLocations(snapshot_);
    WriteCleanRestrictions();
  }
  RegistrySnapshot snapshot_;
};

using Row = std::vector<Text>;

// The rows a check found, as the list shows their two columns.
inline std::vector<Row> FirstTwoColumns(const std::vector<RestrictionRow>& found) {
  std::vector<Row> rows;
  for (const RestrictionRow& row : found) rows.push_back({row.explanation, row.path});
  return rows;
}

// Columns 0 and 1 of every row.
inline std::vector<Row> FirstTwoColumns(const ResultList& list) {
  std::vector<Row> rows;
  for (int row = 0; row < list.RowCount(); ++row) {
    rows.push_back({list.GetCellText(row, 0), list.GetCellText(row, 1)});
  }
  return rows;
}
