// The browser add-on scan over the test's own entries.
#include <gtest/gtest.h>

#include "registry_scratch.h"
#include "scan/browser_addons.h"

namespace {

const Text kExtensions = "SOFTWARE\\Microsoft\\Internet Explorer\\Extensions\\";
const Text kToolbar = "SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar";
const Text kHelpers = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\";
const Text kSearchHooks = "Software\\Microsoft\\Internet Explorer\\URLSearchHooks";
const Text kClass = "{7E1A5C00-0000-4000-8000-00000000D001}";
const Text kNoClass = "{7E1A5C00-0000-4000-8000-00000000D0FF}";

TEST(BrowserAddonsTest, EveryLocationInOrderWithItsCells) {
  const Text dll = fixture::kComponentDll, described = fixture::kComponentDescription;
  RegistryScratch s;
  s.Key(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\CLSID\\" + kClass);
  // Class names and button texts may be references to a string resource.
  const Text helper = "应用程序信息", button = "应用程序体验";
  s.String(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\CLSID\\" + kClass, "", "@" + fixture::kStringsDll + ",-100");
  s.String(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\CLSID\\" + kClass + "\\InprocServer32", "", dll);
  for (const Text& id : {kClass, kNoClass}) {
    s.Key(HKEY_LOCAL_MACHINE, kExtensions + id);
    s.Key(HKEY_LOCAL_MACHINE, kHelpers + id);
  }
  s.String(HKEY_LOCAL_MACHINE, kExtensions + kClass, "ButtonText", "@" + fixture::kStringsDll + ",-1");
  s.String(HKEY_LOCAL_MACHINE, kExtensions + kClass, "Exec", "c:\\veltro\\button.exe");
  s.String(HKEY_LOCAL_MACHINE, kToolbar, kClass, "Veltro bar");
  s.String(HKEY_CURRENT_USER, kSearchHooks, kClass, "");

  const Text lm = "HKEY_LOCAL_MACHINE\\";
  ExpectRowsInOrder(ScanRows(ScanBrowserAddons, {150, 150, 150, 0}), {
      {lm + kExtensions + kClass, {button, "c:\\veltro\\button.exe", ""}},
      {lm + kExtensions + kNoClass, {"", "", ""}},
      // The toolbar's hidden path names its value, so removal deletes just that.
      {lm + kToolbar + "\\" + kClass, {"Veltro bar", described, dll}},
      {lm + kHelpers + kClass, {helper, described, dll}},
      {lm + kHelpers + kNoClass, {"", "", ""}},
      {"HKEY_CURRENT_USER\\" + kSearchHooks + "\\" + kClass, {helper, described, dll}},
  }, 3);
}

}  // namespace
