// The browser add-on scan against the real registry of the prefix.
#include <gtest/gtest.h>

#include "scan/browser_addons.h"
#include "scan_fixtures.h"
#include "support/test_window.h"

namespace {

const Text kExtensions = "SOFTWARE\\Microsoft\\Internet Explorer\\Extensions";
const Text kToolbar = "SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar";
const Text kHelpers = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
const Text kSearchHooks = "Software\\Microsoft\\Internet Explorer\\URLSearchHooks";

const Text kClass = "{7E1A5C00-0000-4000-8000-00000000D001}";
const Text kUnknownClass = "{7E1A5C00-0000-4000-8000-00000000D0FF}";

constexpr std::size_t kName = 0, kDescription = 1, kServer = 2, kPath = 3;

TEST(BrowserAddonsTest, EveryLocationFillsItsCells) {
  const KnownFile file = DescribedFile();
  RegistryScratch scratch;
  const Text classKey = "SOFTWARE\\Classes\\CLSID\\" + kClass;
  scratch.Key(HKEY_LOCAL_MACHINE, classKey);
  scratch.String(HKEY_LOCAL_MACHINE, classKey, "", "Veltro Helper");
  scratch.String(HKEY_LOCAL_MACHINE, classKey + "\\InprocServer32", "", file.path);
  scratch.Key(HKEY_LOCAL_MACHINE, kExtensions + "\\" + kClass);
  scratch.String(HKEY_LOCAL_MACHINE, kExtensions + "\\" + kClass, "ButtonText", "Veltro button");
  scratch.String(HKEY_LOCAL_MACHINE, kExtensions + "\\" + kClass, "Exec", "c:\\veltro\\button.exe");
  scratch.Key(HKEY_LOCAL_MACHINE, kExtensions + "\\" + kUnknownClass);
  scratch.String(HKEY_LOCAL_MACHINE, kToolbar, kClass, "Veltro bar");
  scratch.Key(HKEY_LOCAL_MACHINE, kHelpers + "\\" + kClass);
  scratch.Key(HKEY_LOCAL_MACHINE, kHelpers + "\\" + kUnknownClass);
  scratch.String(HKEY_CURRENT_USER, kSearchHooks, kClass, "");

  TestListHost host({150, 150, 150, 0});
  ScanBrowserAddons(host.List());
  const auto rows = host.Rows();
  struct Expected {
    Text path, name, description, server;
  };
  const Text hklm = "HKEY_LOCAL_MACHINE\\";
  const Expected expected[] = {
      {hklm + kExtensions + "\\" + kClass, "Veltro button", "c:\\veltro\\button.exe", ""},
      {hklm + kExtensions + "\\" + kUnknownClass, "", "", ""},
      // The toolbar's hidden path names its value, so removal deletes just that.
      {hklm + kToolbar + "\\" + kClass, "Veltro bar", file.description, file.path},
      {hklm + kHelpers + "\\" + kClass, "Veltro Helper", file.description, file.path},
      {hklm + kHelpers + "\\" + kUnknownClass, "", "", ""},
      {"HKEY_CURRENT_USER\\" + kSearchHooks + "\\" + kClass, "Veltro Helper", file.description, file.path},
  };
  int previous = -1;
  for (const Expected& e : expected) {
    const int row = FindRow(rows, kPath, e.path);
    ASSERT_GE(row, 0) << e.path;
    EXPECT_EQ(rows[row][kName], e.name) << e.path;
    EXPECT_EQ(rows[row][kDescription], e.description) << e.path;
    EXPECT_EQ(rows[row][kServer], e.server) << e.path;
    EXPECT_GT(row, previous) << "locations in order: " << e.path;
    previous = row;
  }
}

}  // namespace
