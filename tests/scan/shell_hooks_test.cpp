// The shell and protocol hook scan over the test's own entries.
#include <gtest/gtest.h>

#include "registry_scratch.h"
#include "scan/shell_hooks.h"

namespace {

const Text kLm = "HKEY_LOCAL_MACHINE\\";
const Text kHandler = "SOFTWARE\\Classes\\PROTOCOLS\\Handler";
const Text kFilter = "SOFTWARE\\Classes\\PROTOCOLS\\Filter";
const Text kTasks = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SharedTaskScheduler";
const Text kDelayLoad = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad";
const Text kExecuteHooks = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellExecuteHooks";
const Text kApproved = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
const Text kColumns = "SOFTWARE\\Classes\\Folder\\shellex\\ColumnHandlers";
const Text kClass = "{7E1A5C00-0000-4000-8000-00000000C001}";
const Text kSpacedClass = " {7E1A5C00-0000-4000-8000-00000000C002}";   // stored with a leading space
const Text kNoClass = "{7E1A5C00-0000-4000-8000-00000000C0FF}";

TEST(ShellHooksTest, EveryLocationInOrderWithItsCells) {
  const Text dll = "c:\\veltro\\hook.dll";
  RegistryScratch s;
  for (const Text& id : {kClass, kSpacedClass}) {
    s.Key(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\CLSID\\" + id);
    s.String(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\CLSID\\" + id, "", "Veltro" + id);
    s.String(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\CLSID\\" + id + "\\InProcServer32", "", dll + id);
  }
  for (const char* scheme : {"veltro", "veltro-blank", "veltro-noclsid"}) {
    s.Key(HKEY_LOCAL_MACHINE, kHandler + "\\" + scheme);
  }
  s.String(HKEY_LOCAL_MACHINE, kHandler + "\\veltro", "CLSID", kClass);
  s.String(HKEY_LOCAL_MACHINE, kHandler + "\\veltro-blank", "CLSID", "  ");
  s.Key(HKEY_LOCAL_MACHINE, kFilter + "\\text/veltro");
  s.String(HKEY_LOCAL_MACHINE, kFilter + "\\text/veltro", "CLSID", kSpacedClass);
  s.String(HKEY_LOCAL_MACHINE, kTasks, kClass, "Veltro task text");
  s.String(HKEY_LOCAL_MACHINE, kDelayLoad, "VeltroDelay", kClass);
  s.String(HKEY_LOCAL_MACHINE, kExecuteHooks, kClass, "");
  s.String(HKEY_LOCAL_MACHINE, kApproved, "", "Veltro unnamed");
  s.String(HKEY_LOCAL_MACHINE, kApproved, "   ", "Veltro blank name");
  s.String(HKEY_LOCAL_MACHINE, kApproved, kClass, "Veltro approved");
  s.String(HKEY_LOCAL_MACHINE, kApproved, kNoClass, "Veltro unknown");
  s.Key(HKEY_LOCAL_MACHINE, kColumns + "\\" + kClass);

  const auto rows = ScanRows(ScanShellHooks, {150, 150, 150, 0});
  ExpectRowsInOrder(rows, {
      {kLm + kHandler + "\\veltro", {"veltro", "Veltro" + kClass, dll + kClass}},
      {kLm + kHandler + "\\veltro-blank", {"veltro-blank", "", ""}},
      {kLm + kHandler + "\\veltro-noclsid", {"veltro-noclsid", "", ""}},
      // Tested without its spaces, looked up with them.
      {kLm + kFilter + "\\text/veltro", {"text/veltro", "Veltro" + kSpacedClass, dll + kSpacedClass}},
      {kLm + kTasks + "\\" + kClass, {"Veltro task text", "Veltro" + kClass, dll + kClass}},
      {kLm + kDelayLoad + "\\VeltroDelay", {"VeltroDelay", "Veltro" + kClass, dll + kClass}},
      {kLm + kExecuteHooks + "\\" + kClass, {"Veltro" + kClass, "", dll + kClass}},
      {kLm + kApproved + "\\", {}},
      {kLm + kApproved + "\\   ", {}},
      {kLm + kApproved + "\\" + kClass, {kClass, "Veltro approved", dll + kClass}},
      {kLm + kApproved + "\\" + kNoClass, {kNoClass, "Veltro unknown", ""}},
      {kLm + kColumns + "\\" + kClass, {kClass, "Windows Shell Common Dll", dll + kClass}},
  }, 3);
  EXPECT_EQ(ScanRows(ScanShellHooks, {150, 150, 150, 0}), rows);
}

}  // namespace
