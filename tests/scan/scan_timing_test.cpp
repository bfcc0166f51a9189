// How long the five scanners take on a prefix seeded with a few hundred
// entries of each kind; every seeded entry must show up.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "scan/browser_addons.h"
#include "scan/image_hijacks.h"
#include "scan/shell_hooks.h"
#include "scan/startup_entries.h"
#include "scan/winsock_providers.h"
#include "scan_fixtures.h"
#include "support/test_window.h"

namespace {

constexpr int kEntriesPerLocation = 60;

Text Numbered(const char* stem, int i) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s%03d", stem, i);
  return buffer;
}

Text ClassId(int i) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "{7E1A5C00-0000-4000-8000-0000000F%04d}", i);
  return buffer;
}

TEST(ScanTimingTest, FiveScannersOverSeveralHundredEntries) {
  const KnownFile file = DescribedFile();
  RegistryScratch scratch;
  const Text run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  const Text notify = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Notify\\";
  const Text setup = "SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\";
  const Text handlers = "SOFTWARE\\Classes\\PROTOCOLS\\Handler\\";
  const Text approved = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
  const Text options = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\";
  const Text helpers = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\";
  const Text catalog = "SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9\\VeltroTiming";
  scratch.Key(HKEY_LOCAL_MACHINE, catalog);
  ByteString item(file.path.begin(), file.path.end());
  item.resize(item.size() + 200, 0);
  for (int i = 0; i < kEntriesPerLocation; ++i) {
    const Text classId = ClassId(i);
    const Text classKey = "SOFTWARE\\Classes\\CLSID\\" + classId;
    scratch.Key(HKEY_LOCAL_MACHINE, classKey);
    scratch.String(HKEY_LOCAL_MACHINE, classKey, "", "Veltro timing class");
    scratch.String(HKEY_LOCAL_MACHINE, classKey + "\\InProcServer32", "", file.path);
    scratch.String(HKEY_CURRENT_USER, run, Numbered("VeltroTiming", i), file.path);
    scratch.Key(HKEY_LOCAL_MACHINE, notify + Numbered("VeltroTiming", i));
    RegistryScratch::Put(HKEY_LOCAL_MACHINE, notify + Numbered("VeltroTiming", i), "DllName", REG_SZ,
                         ByteString(file.path.c_str(), file.path.c_str() + file.path.size() + 1));
    scratch.Key(HKEY_LOCAL_MACHINE, setup + Numbered("VeltroTiming", i));
    RegistryScratch::Put(HKEY_LOCAL_MACHINE, setup + Numbered("VeltroTiming", i), "StubPath", REG_SZ,
                         ByteString(file.path.c_str(), file.path.c_str() + file.path.size() + 1));
    scratch.Key(HKEY_LOCAL_MACHINE, handlers + Numbered("veltro-timing", i));
    RegistryScratch::Put(HKEY_LOCAL_MACHINE, handlers + Numbered("veltro-timing", i), "CLSID", REG_SZ,
                         ByteString(classId.c_str(), classId.c_str() + classId.size() + 1));
    scratch.String(HKEY_LOCAL_MACHINE, approved, classId, "Veltro timing");
    scratch.Key(HKEY_LOCAL_MACHINE, options + Numbered("veltro-timing", i) + ".exe");
    RegistryScratch::Put(HKEY_LOCAL_MACHINE, options + Numbered("veltro-timing", i) + ".exe", "Debugger", REG_SZ,
                         ByteString(file.path.c_str(), file.path.c_str() + file.path.size() + 1));
    scratch.Key(HKEY_LOCAL_MACHINE, helpers + classId);
    RegistryScratch::Put(HKEY_LOCAL_MACHINE, catalog + "\\" + Numbered("000000000", i), "PackedCatalogItem",
                         REG_BINARY, item);
  }

  struct Scanner {
    const char* name;
    void (*scan)(ResultList&);
    std::vector<int> columns;
    int seeded;   // rows of our own each scan must show at least
  };
  const Scanner scanners[] = {
      {"ScanStartupEntries", ScanStartupEntries, {100, 100, 0}, 3 * kEntriesPerLocation},
      {"ScanShellHooks", ScanShellHooks, {100, 100, 100, 0}, 2 * kEntriesPerLocation},
      {"ScanImageHijacks", ScanImageHijacks, {100, 100, 100, 0}, kEntriesPerLocation},
      {"ScanBrowserAddons", ScanBrowserAddons, {100, 100, 100, 0}, kEntriesPerLocation},
      {"ScanWinsockProviders", ScanWinsockProviders, {100, 100, 100, 0}, kEntriesPerLocation},
  };
  for (const Scanner& scanner : scanners) {
    TestListHost host(scanner.columns);
    const auto start = std::chrono::steady_clock::now();
    scanner.scan(host.List());
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-22s %4d rows  %6lld ms\n", scanner.name, host.List().RowCount(),
                static_cast<long long>(elapsed));
    ::testing::Test::RecordProperty(scanner.name, static_cast<int>(elapsed));
    EXPECT_GE(host.List().RowCount(), scanner.seeded) << scanner.name;
  }
}

}  // namespace
