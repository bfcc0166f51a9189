// The startup scan against the real registry of the test prefix: the test's
// own entries in the real locations, found by their hidden path.
#include <gtest/gtest.h>

#include "scan/registry_lookups.h"
#include "scan/startup_entries.h"
#include "scan_fixtures.h"
#include "support/test_window.h"

namespace {

const char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunServices[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices";
const char kWindowsNt[] = "Software\\Microsoft\\WindowsNT\\CurrentVersion";
const char kExecuteHooks[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellExecuteHooks";
const char kDelayLoad[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad";
const char kTaskScheduler[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SharedTaskScheduler";
const char kNotify[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Notify";
const char kActiveSetup[] = "SOFTWARE\\Microsoft\\Active Setup\\Installed Components";

const char kHkcu[] = "HKEY_CURRENT_USER\\";
const char kHklm[] = "HKEY_LOCAL_MACHINE\\";

constexpr std::size_t kFile = 0, kDescription = 1, kPath = 2;

std::vector<std::vector<Text>> Scan() {
  TestListHost host({200, 200, 0});
  ScanStartupEntries(host.List());
  return host.Rows();
}

TEST(StartupEntriesTest, RunValuesShowDataAndDescribeOnlyBareExistingFiles) {
  const KnownFile file = DescribedFile();
  RegistryScratch scratch;
  struct Case {
    HKEY root;
    const char* key;
    const char* name;
    Text data;
    DWORD type;
    Text expectedDescription;
    Text expectedPath;
  };
  const Case cases[] = {
      {HKEY_CURRENT_USER, kRun, "VeltroBare", file.path, REG_SZ, file.description,
       Text(kHkcu) + kRun + "\\VeltroBare"},
      {HKEY_CURRENT_USER, kRun, "VeltroQuoted", "\"" + file.path + "\"", REG_SZ, "未知",
       Text(kHkcu) + kRun + "\\VeltroQuoted"},
      {HKEY_CURRENT_USER, kRun, "VeltroArgs", file.path + " /autorun", REG_SZ, "未知",
       Text(kHkcu) + kRun + "\\VeltroArgs"},
      // An existing file without a version resource: described as nothing, not unknown.
      {HKEY_CURRENT_USER, kRun, "VeltroNoVersion", fixture::kNoVersionDll, REG_SZ, "",
       Text(kHkcu) + kRun + "\\VeltroNoVersion"},
      {HKEY_CURRENT_USER, kRun, "VeltroExpand", "%SystemRoot%\\notepad.exe", REG_EXPAND_SZ, "未知",
       Text(kHkcu) + kRun + "\\VeltroExpand"},
      // The unnamed value: its path ends in the key and a backslash.
      {HKEY_CURRENT_USER, kRun, "", "c:\\veltro-missing.exe", REG_SZ, "未知", Text(kHkcu) + kRun + "\\"},
      {HKEY_LOCAL_MACHINE, kRunServices, "VeltroService", file.path, REG_SZ, file.description,
       Text(kHklm) + kRunServices + "\\VeltroService"},
  };
  for (const Case& c : cases) scratch.String(c.root, c.key, c.name, c.data, c.type);

  const auto rows = Scan();
  for (const Case& c : cases) {
    const int row = FindRow(rows, kPath, c.expectedPath);
    ASSERT_GE(row, 0) << c.expectedPath;
    EXPECT_EQ(rows[row][kFile], c.data) << c.expectedPath;
    EXPECT_EQ(rows[row][kDescription], c.expectedDescription) << c.expectedPath;
  }
}

TEST(StartupEntriesTest, WindowsloadGivesOneRowAfterRunServicesOnlyWhenNotEmpty) {
  const Text path = Text(kHkcu) + kWindowsNt + "\\Windowsload";
  const KnownFile file = DescribedFile();
  EXPECT_EQ(FindRow(Scan(), kPath, path), -1) << "missing value";
  struct Case {
    Text text;
    bool listed;
    Text description;
  };
  const Case cases[] = {
      {"", false, ""}, {file.path, true, file.description}, {"c:\\veltro-missing.exe -x", true, "未知"}};
  for (const Case& c : cases) {
    RegistryScratch scratch;
    scratch.String(HKEY_CURRENT_USER, kWindowsNt, "Windowsload", c.text);
    scratch.String(HKEY_LOCAL_MACHINE, kRunServices, "VeltroBefore", "x");
    scratch.String(HKEY_LOCAL_MACHINE, kTaskScheduler, "{VELTRO-AFTER}", "x");
    const auto rows = Scan();
    const int row = FindRow(rows, kPath, path);
    if (!c.listed) {
      EXPECT_EQ(row, -1) << "empty value";
      continue;
    }
    ASSERT_GE(row, 0) << c.text;
    EXPECT_EQ(rows[row][kFile], "windowsload");
    EXPECT_EQ(rows[row][kDescription], c.description);
    EXPECT_LT(FindRow(rows, kPath, Text(kHklm) + kRunServices + "\\VeltroBefore"), row);
    EXPECT_GT(FindRow(rows, kPath, Text(kHklm) + kTaskScheduler + "\\{VELTRO-AFTER}"), row);
  }
}

TEST(StartupEntriesTest, ClassEntriesResolveTheirServerUnderTheirOwnKey) {
  const KnownFile file = DescribedFile();
  const Text registered = "{7E1A5C00-0000-4000-8000-00000000B001}";
  const Text unregistered = "{7E1A5C00-0000-4000-8000-00000000B0FF}";
  RegistryScratch scratch;
  scratch.Key(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\CLSID\\" + registered);
  scratch.String(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\CLSID\\" + registered + "\\InProcServer32", "", file.path);
  // Delay-load: the identifier is the data, the row is named by the value's name.
  scratch.String(HKEY_LOCAL_MACHINE, kDelayLoad, "VeltroObject", registered);
  scratch.String(HKEY_LOCAL_MACHINE, kExecuteHooks, registered, "");
  scratch.String(HKEY_LOCAL_MACHINE, kExecuteHooks, unregistered, "");
  scratch.String(HKEY_LOCAL_MACHINE, kTaskScheduler, registered, "Veltro task");

  EXPECT_EQ(ResolveClsidServer(registered), file.path);
  EXPECT_EQ(ResolveClsidServer(unregistered), "");
  const auto rows = Scan();
  struct Expected {
    Text path, file, description;
  };
  const Expected expected[] = {
      {Text(kHklm) + kDelayLoad + "\\VeltroObject", file.path, file.description},
      {Text(kHklm) + kExecuteHooks + "\\" + registered, file.path, file.description},
      {Text(kHklm) + kExecuteHooks + "\\" + unregistered, "", ""},
      {Text(kHklm) + kTaskScheduler + "\\" + registered, file.path, file.description},
  };
  for (const Expected& e : expected) {
    const int row = FindRow(rows, kPath, e.path);
    ASSERT_GE(row, 0) << e.path;
    EXPECT_EQ(rows[row][kFile], e.file) << e.path;
    EXPECT_EQ(rows[row][kDescription], e.description) << e.path;
  }
  EXPECT_EQ(FindRow(rows, kPath, Text(kHklm) + kDelayLoad + "\\" + registered), -1);
}

TEST(StartupEntriesTest, NotifyAndActiveSetupListOnlySubkeysWithTheirValue) {
  const KnownFile file = DescribedFile();
  RegistryScratch scratch;
  const Text notify = kNotify, setup = kActiveSetup;
  scratch.Key(HKEY_LOCAL_MACHINE, notify + "\\VeltroPackage");
  scratch.String(HKEY_LOCAL_MACHINE, notify + "\\VeltroPackage", "DllName", file.path);
  scratch.Key(HKEY_LOCAL_MACHINE, notify + "\\VeltroNoDll");
  scratch.String(HKEY_LOCAL_MACHINE, notify + "\\VeltroNoDll", "Startup", "x");
  scratch.Key(HKEY_LOCAL_MACHINE, notify + "\\VeltroEmptyDll");
  scratch.String(HKEY_LOCAL_MACHINE, notify + "\\VeltroEmptyDll", "DllName", "");
  scratch.Key(HKEY_LOCAL_MACHINE, setup + "\\VeltroComponent");
  scratch.String(HKEY_LOCAL_MACHINE, setup + "\\VeltroComponent", "StubPath", file.path + " /install");
  scratch.Key(HKEY_LOCAL_MACHINE, setup + "\\VeltroNoStub");
  scratch.String(HKEY_LOCAL_MACHINE, setup + "\\VeltroNoStub", "", "no stub");

  const auto rows = Scan();
  const int package = FindRow(rows, kPath, kHklm + notify + "\\VeltroPackage");
  ASSERT_GE(package, 0);
  EXPECT_EQ(rows[package][kFile], file.path);
  EXPECT_EQ(rows[package][kDescription], file.description);
  const int component = FindRow(rows, kPath, kHklm + setup + "\\VeltroComponent\\StubPath");
  ASSERT_GE(component, 0);
  EXPECT_EQ(rows[component][kFile], file.path + " /install");
  for (const char* absent : {"\\VeltroNoDll", "\\VeltroEmptyDll"}) {
    EXPECT_EQ(FindRow(rows, kPath, kHklm + notify + absent), -1) << absent;
  }
  EXPECT_EQ(FindRow(rows, kFile, "no stub"), -1);
  for (const auto& row : rows) EXPECT_EQ(row[kPath].find("VeltroNoStub"), Text::npos);
}

TEST(StartupEntriesTest, ScanningTwiceGivesTheSameList) {
  RegistryScratch scratch;
  scratch.String(HKEY_CURRENT_USER, kRun, "VeltroTwice", "c:\\twice.exe");
  const auto first = Scan();
  TestListHost host({200, 200, 0});
  ScanStartupEntries(host.List());
  ScanStartupEntries(host.List());
  EXPECT_EQ(host.Rows(), first);
  EXPECT_GE(FindRow(first, kPath, Text(kHkcu) + kRun + "\\VeltroTwice"), 0);
}

}  // namespace
