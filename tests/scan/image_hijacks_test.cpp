// The image-execution hijack scan over the test's own subkeys.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "registry_scratch.h"
#include "scan/image_hijacks.h"

namespace {

const Text kOptions = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\";

TEST(ImageHijacksTest, SubkeysWithADebuggerOfAnyType) {
  const Text exe = fixture::kComponentExe;
  RegistryScratch s;
  for (const char* name :
       {"veltro-args.exe", "veltro-bare.exe", "veltro-empty.exe", "veltro-flags.exe", "veltro-number.exe"}) {
    s.Key(HKEY_LOCAL_MACHINE, kOptions + name);
    s.Number(HKEY_LOCAL_MACHINE, kOptions + name, "GlobalFlag", 2);
  }
  s.String(HKEY_LOCAL_MACHINE, kOptions + "veltro-args.exe", "Debugger", exe + " -x");
  s.String(HKEY_LOCAL_MACHINE, kOptions + "veltro-bare.exe", "Debugger", exe);
  s.String(HKEY_LOCAL_MACHINE, kOptions + "veltro-empty.exe", "Debugger", "");
  s.Number(HKEY_LOCAL_MACHINE, kOptions + "veltro-number.exe", "Debugger", 7);

  const Text lm = "HKEY_LOCAL_MACHINE\\" + kOptions;
  ExpectRowsInOrder(ScanRows(ScanImageHijacks, {150, 150, 150, 0}), {
      {lm + "veltro-args.exe\\Debugger", {"veltro-args.exe", fixture::kComponentDescription, exe + " -x"}},
      {lm + "veltro-bare.exe\\Debugger", {"veltro-bare.exe", fixture::kComponentDescription, exe}},
      {lm + "veltro-empty.exe\\Debugger", {"veltro-empty.exe", "", ""}},
      {lm + "veltro-flags.exe\\Debugger", {}},
      {lm + "veltro-number.exe\\Debugger", {"veltro-number.exe", "未知", "7"}}   // no such file,
  }, 3);
}

// A scan started while the list's own scan runs (the removal's rescan, run
// from inside the scan's message pump) leaves the list to the running scan:
// each entry is listed once, not twice.
LRESULT CALLBACK RescanOnFirstRow(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR reference) {
  auto* rescanned = reinterpret_cast<bool*>(reference);
  if (message == LVM_INSERTITEMA && !*rescanned) {
    *rescanned = true;
    ResultList nested(list);
    ScanImageHijacks(nested);
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

TEST(ImageHijacksTest, ARescanDuringTheScanDoesNotDoubleTheList) {
  RegistryScratch s;
  for (const char* name : {"veltro-one.exe", "veltro-two.exe"}) {
    s.Key(HKEY_LOCAL_MACHINE, kOptions + name);
    s.String(HKEY_LOCAL_MACHINE, kOptions + name, "Debugger", "x.exe");
  }
  TestListHost single({150, 150, 150, 0});
  ScanImageHijacks(single.List());
  TestListHost host({150, 150, 150, 0});
  bool rescanned = false;
  ASSERT_TRUE(SetWindowSubclass(host.List().Handle(), RescanOnFirstRow, 1, reinterpret_cast<DWORD_PTR>(&rescanned)));
  ScanImageHijacks(host.List());
  RemoveWindowSubclass(host.List().Handle(), RescanOnFirstRow, 1);
  EXPECT_TRUE(rescanned);
  EXPECT_EQ(host.Rows(), single.Rows());
}

}  // namespace
