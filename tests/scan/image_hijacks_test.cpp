// The image-execution hijack scan against the real registry of the prefix.
#include <gtest/gtest.h>

#include "scan/image_hijacks.h"
#include "scan_fixtures.h"
#include "support/test_window.h"

namespace {

const Text kOptions = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options";

constexpr std::size_t kName = 0, kDescription = 1, kDebugger = 2, kPath = 3;

TEST(ImageHijacksTest, SubkeysWithADebuggerOfAnyTypeAreListed) {
  const KnownFile file = DescribedFile();
  RegistryScratch scratch;
  struct Case {
    Text exe;
    DWORD type;            // 0: no Debugger value
    Text debugger;         // text values
    Text shownDebugger, description;
  };
  const Case cases[] = {
      {"veltro-bare.exe", REG_SZ, file.path, file.path, file.description},
      {"veltro-args.exe", REG_SZ, file.path + " -x", file.path + " -x", ""},
      {"veltro-empty.exe", REG_SZ, "", "", ""},
      {"veltro-number.exe", REG_DWORD, "", "7", ""},
      {"veltro-flags.exe", 0, "", "", ""},
  };
  for (const Case& c : cases) {
    const Text key = kOptions + "\\" + c.exe;
    scratch.Key(HKEY_LOCAL_MACHINE, key);
    scratch.Number(HKEY_LOCAL_MACHINE, key, "GlobalFlag", 2);
    if (c.type == REG_DWORD) scratch.Number(HKEY_LOCAL_MACHINE, key, "Debugger", 7);
    if (c.type == REG_SZ) scratch.String(HKEY_LOCAL_MACHINE, key, "Debugger", c.debugger);
  }

  TestListHost host({150, 150, 150, 0});
  ScanImageHijacks(host.List());
  const auto rows = host.Rows();
  for (const Case& c : cases) {
    const Text path = "HKEY_LOCAL_MACHINE\\" + kOptions + "\\" + c.exe + "\\Debugger";
    const int row = FindRow(rows, kPath, path);
    if (c.type == 0) {
      EXPECT_EQ(FindRow(rows, kName, c.exe), -1);
      continue;
    }
    ASSERT_GE(row, 0) << c.exe;
    EXPECT_EQ(rows[row][kName], c.exe);
    EXPECT_EQ(rows[row][kDebugger], c.shownDebugger) << c.exe;
    EXPECT_EQ(rows[row][kDescription], c.description) << c.exe;
  }
}

}  // namespace
