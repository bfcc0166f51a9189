// The shell and protocol hook scan against the real registry of the prefix.
#include <gtest/gtest.h>

#include "scan/shell_hooks.h"
#include "scan_fixtures.h"
#include "support/test_window.h"

namespace {

const Text kHklm = "HKEY_LOCAL_MACHINE\\";
const Text kHandler = "SOFTWARE\\Classes\\PROTOCOLS\\Handler";
const Text kFilter = "SOFTWARE\\Classes\\PROTOCOLS\\Filter";
const Text kTaskScheduler = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SharedTaskScheduler";
const Text kDelayLoad = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad";
const Text kExecuteHooks = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellExecuteHooks";
const Text kApproved = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
const Text kColumns = "SOFTWARE\\Classes\\Folder\\shellex\\ColumnHandlers";

const Text kClass = "{7E1A5C00-0000-4000-8000-00000000C001}";
const Text kLooseClass = " {7E1A5C00-0000-4000-8000-00000000C002}";   // stored with a leading space
const Text kUnknownClass = "{7E1A5C00-0000-4000-8000-00000000C0FF}";

constexpr std::size_t kName = 0, kDescription = 1, kServer = 2, kPath = 3;

void RegisterClass(RegistryScratch& scratch, const Text& classId, const Text& name, const Text& server) {
  const Text key = "SOFTWARE\\Classes\\CLSID\\" + classId;
  scratch.Key(HKEY_LOCAL_MACHINE, key);
  scratch.String(HKEY_LOCAL_MACHINE, key, "", name);
  scratch.String(HKEY_LOCAL_MACHINE, key + "\\InProcServer32", "", server);
}

TEST(ShellHooksTest, EveryLocationFillsItsCells) {
  const Text server = "c:\\veltro\\hook.dll";
  RegistryScratch scratch;
  RegisterClass(scratch, kClass, "Veltro Hook", server);
  RegisterClass(scratch, kLooseClass, "Veltro Loose", server + "2");
  scratch.Key(HKEY_LOCAL_MACHINE, kHandler + "\\veltro");
  scratch.String(HKEY_LOCAL_MACHINE, kHandler + "\\veltro", "CLSID", kClass);
  scratch.Key(HKEY_LOCAL_MACHINE, kHandler + "\\veltro-noclsid");
  scratch.Key(HKEY_LOCAL_MACHINE, kHandler + "\\veltro-blank");
  scratch.String(HKEY_LOCAL_MACHINE, kHandler + "\\veltro-blank", "CLSID", "  ");
  scratch.Key(HKEY_LOCAL_MACHINE, kFilter + "\\text/veltro");
  scratch.String(HKEY_LOCAL_MACHINE, kFilter + "\\text/veltro", "CLSID", kLooseClass);
  scratch.String(HKEY_LOCAL_MACHINE, kTaskScheduler, kClass, "Veltro task text");
  scratch.String(HKEY_LOCAL_MACHINE, kDelayLoad, "VeltroDelay", kClass);
  scratch.String(HKEY_LOCAL_MACHINE, kExecuteHooks, kClass, "");
  scratch.String(HKEY_LOCAL_MACHINE, kApproved, kClass, "Veltro approved");
  scratch.String(HKEY_LOCAL_MACHINE, kApproved, kUnknownClass, "Veltro unknown");
  scratch.Key(HKEY_LOCAL_MACHINE, kColumns + "\\" + kClass);

  TestListHost host({150, 150, 150, 0});
  ScanShellHooks(host.List());
  const auto rows = host.Rows();
  struct Expected {
    Text path, name, description, server;
  };
  const Expected expected[] = {
      {kHandler + "\\veltro", "veltro", "Veltro Hook", server},
      {kHandler + "\\veltro-blank", "veltro-blank", "", ""},
      {kHandler + "\\veltro-noclsid", "veltro-noclsid", "", ""},
      // Tested without its spaces, looked up with them.
      {kFilter + "\\text/veltro", "text/veltro", "Veltro Loose", server + "2"},
      {kTaskScheduler + "\\" + kClass, "Veltro task text", "Veltro Hook", server},
      {kDelayLoad + "\\VeltroDelay", "VeltroDelay", "Veltro Hook", server},
      {kExecuteHooks + "\\" + kClass, "Veltro Hook", "", server},
      {kApproved + "\\" + kClass, kClass, "Veltro approved", server},
      {kApproved + "\\" + kUnknownClass, kUnknownClass, "Veltro unknown", ""},
      {kColumns + "\\" + kClass, kClass, "Windows Shell Common Dll", server},
  };
  int previous = -1;
  for (const Expected& e : expected) {
    const int row = FindRow(rows, kPath, kHklm + e.path);
    ASSERT_GE(row, 0) << e.path;
    EXPECT_EQ(rows[row][kName], e.name) << e.path;
    EXPECT_EQ(rows[row][kDescription], e.description) << e.path;
    EXPECT_EQ(rows[row][kServer], e.server) << e.path;
    EXPECT_GT(row, previous) << "locations in order: " << e.path;
    previous = row;
  }
}

TEST(ShellHooksTest, UnnamedApprovedValueIsLeftOut) {
  RegistryScratch scratch;
  scratch.String(HKEY_LOCAL_MACHINE, kApproved, "", "Veltro unnamed approval");
  scratch.String(HKEY_LOCAL_MACHINE, kApproved, "   ", "Veltro blank approval");
  TestListHost host({150, 150, 150, 0});
  ScanShellHooks(host.List());
  const auto rows = host.Rows();
  EXPECT_EQ(FindRow(rows, kDescription, "Veltro unnamed approval"), -1);
  EXPECT_EQ(FindRow(rows, kDescription, "Veltro blank approval"), -1);
  EXPECT_EQ(FindRow(rows, kPath, kHklm + kApproved + "\\"), -1);
  // A second scan rebuilds rather than appends.
  ScanShellHooks(host.List());
  EXPECT_EQ(host.Rows(), rows);
}

}  // namespace
