// Removal of listed entries: real prompts answered like a user, real registry
// of the prefix, real console tool.
#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include "scan/browser_addons.h"
#include "scan/entry_removal.h"
#include "scan/image_hijacks.h"
#include "scan/shell_hooks.h"
#include "scan/startup_entries.h"
#include "scan/winsock_providers.h"
#include "scan_fixtures.h"
#include "support/dialog_answerer.h"
#include "support/test_window.h"

namespace {

const Text kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const Text kNotify = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Notify";
const Text kColumns = "SOFTWARE\\Classes\\Folder\\shellex\\ColumnHandlers";
const Text kOptions = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options";
const Text kToolbar = "SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar";
const Text kCatalog = "SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9";
const Text kHkcu = "HKEY_CURRENT_USER\\";
const Text kHklm = "HKEY_LOCAL_MACHINE\\";

constexpr int kStartupPath = 2, kPath = 3;

Text Prompt(const Text& path) { return "是否删除\r\n" + path; }

// Scans into a list of its own and selects the rows holding the given paths.
struct ScannedList {
  ScannedList(void (*scan)(ResultList&), int pathColumn, bool multiple = false)
      : host(pathColumn == kStartupPath ? std::vector<int>{150, 150, 0} : std::vector<int>{150, 150, 150, 0},
             multiple),
        column(pathColumn) {
    scan(host.List());
  }
  int Row(const Text& path) { return FindRow(host.Rows(), static_cast<std::size_t>(column), path); }
  void Select(const Text& path) { host.List().SelectRow(Row(path)); }
  TestListHost host;
  int column;
};

TEST(EntryRemovalTest, NothingSelectedAsksNothing) {
  DialogAnswerer answerer({{IDNO, ""}});
  ScannedList startup(ScanStartupEntries, kStartupPath, true);
  RemoveSelectedStartupEntries(startup.host.List());
  for (const RemovalPlan* plan : {&kBrowserAddonRemoval, &kShellHookRemoval, &kImageHijackRemoval, &kWinsockRemoval}) {
    TestListHost host({150, 150, 150, 0});
    host.List().SetCellText(host.List().InsertRow(), kPath, kHkcu + kRun + "\\VeltroUnselected");
    RemoveCurrentEntry(host.List(), *plan);
    EXPECT_EQ(host.List().RowCount(), 1);
  }
  EXPECT_TRUE(answerer.Seen().empty());
}

TEST(EntryRemovalTest, YesNoYesOverThreeSelectedStartupRows) {
  RegistryScratch scratch;
  for (const char* name : {"VeltroA", "VeltroB", "VeltroC", "VeltroKeep"}) {
    scratch.String(HKEY_CURRENT_USER, kRun, name, Text("c:\\") + name + ".exe");
  }
  ScannedList list(ScanStartupEntries, kStartupPath, true);
  const Text a = kHkcu + kRun + "\\VeltroA", b = kHkcu + kRun + "\\VeltroB", c = kHkcu + kRun + "\\VeltroC";
  for (const Text& path : {c, a, b}) list.Select(path);
  const int rowsBefore = list.host.List().RowCount();

  DialogAnswerer answerer({{IDYES, ""}, {IDNO, ""}, {IDYES, ""}});
  RemoveSelectedStartupEntries(list.host.List());

  const auto seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].message, Prompt(a));
  EXPECT_EQ(seen[1].message, Prompt(b));
  EXPECT_EQ(seen[2].message, Prompt(c));
  EXPECT_EQ(seen[0].caption, "Windows");
  EXPECT_TRUE(seen[0].hasYes && seen[0].hasNo && seen[0].hasIcon);
  EXPECT_FALSE(RegistryScratch::ValueExists(HKEY_CURRENT_USER, kRun, "VeltroA"));
  EXPECT_TRUE(RegistryScratch::ValueExists(HKEY_CURRENT_USER, kRun, "VeltroB"));
  EXPECT_FALSE(RegistryScratch::ValueExists(HKEY_CURRENT_USER, kRun, "VeltroC"));
  EXPECT_TRUE(RegistryScratch::ValueExists(HKEY_CURRENT_USER, kRun, "VeltroKeep"));
  EXPECT_EQ(list.host.List().RowCount(), rowsBefore - 2);
  EXPECT_EQ(list.Row(a), -1);
  EXPECT_GE(list.Row(b), 0);
  EXPECT_EQ(list.Row(c), -1);
}

TEST(EntryRemovalTest, UnnamedRunValueGoesAloneAndNeverTakesItsKey) {
  RegistryScratch scratch;
  scratch.String(HKEY_CURRENT_USER, kRun, "", "c:\\veltro-default.exe");
  scratch.String(HKEY_CURRENT_USER, kRun, "VeltroSibling", "c:\\sibling.exe");
  const Text path = kHkcu + kRun + "\\";
  EXPECT_TRUE(DeleteRegistryEntry(path, RemovalRoute::RegistryThenTool));
  EXPECT_FALSE(RegistryScratch::ValueExists(HKEY_CURRENT_USER, kRun, ""));
  EXPECT_TRUE(RegistryScratch::ValueExists(HKEY_CURRENT_USER, kRun, "VeltroSibling"));
  // Asked again once the value is gone: the key and its values stay.
  EXPECT_TRUE(DeleteRegistryEntry(path, RemovalRoute::RegistryThenTool));
  EXPECT_TRUE(RegistryScratch::ValueExists(HKEY_CURRENT_USER, kRun, "VeltroSibling"));
}

TEST(EntryRemovalTest, NotifyPackageGoesWhole) {
  RegistryScratch scratch;
  const Text package = kNotify + "\\VeltroPackage";
  scratch.Key(HKEY_LOCAL_MACHINE, package);
  scratch.String(HKEY_LOCAL_MACHINE, package, "DllName", "c:\\veltro\\notify.dll");
  scratch.Number(HKEY_LOCAL_MACHINE, package, "Asynchronous", 1);
  ScannedList list(ScanStartupEntries, kStartupPath, true);
  list.Select(kHklm + package);
  DialogAnswerer answerer({{IDYES, ""}});
  RemoveSelectedStartupEntries(list.host.List());
  EXPECT_FALSE(RegistryScratch::KeyExists(HKEY_LOCAL_MACHINE, package));
  EXPECT_TRUE(RegistryScratch::KeyExists(HKEY_LOCAL_MACHINE, kNotify));
  EXPECT_EQ(list.Row(kHklm + package), -1);
}

TEST(EntryRemovalTest, HookKeyWithSubkeysGoesThroughTheConsoleTool) {
  RegistryScratch scratch;
  // "veltro /va" unquoted would make the tool empty the sibling key "veltro".
  const Text hook = kColumns + "\\veltro /va";
  scratch.Key(HKEY_LOCAL_MACHINE, hook + "\\Child");
  scratch.Key(HKEY_LOCAL_MACHINE, kColumns + "\\veltro");
  scratch.String(HKEY_LOCAL_MACHINE, kColumns + "\\veltro", "Kept", "yes");
  ScannedList list(ScanShellHooks, kPath);
  list.Select(kHklm + hook);
  {
    DialogAnswerer answerer({{IDNO, ""}});
    RemoveCurrentEntry(list.host.List(), kShellHookRemoval);
    EXPECT_EQ(answerer.Seen().size(), 1u);
  }
  EXPECT_TRUE(RegistryScratch::KeyExists(HKEY_LOCAL_MACHINE, hook));
  EXPECT_GE(list.Row(kHklm + hook), 0);
  {
    DialogAnswerer answerer({{IDYES, ""}});
    RemoveCurrentEntry(list.host.List(), kShellHookRemoval);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].message, Prompt(kHklm + hook));
  }
  EXPECT_FALSE(RegistryScratch::KeyExists(HKEY_LOCAL_MACHINE, hook));
  EXPECT_TRUE(RegistryScratch::ValueExists(HKEY_LOCAL_MACHINE, kColumns + "\\veltro", "Kept"));
  EXPECT_EQ(list.Row(kHklm + hook), -1);
}

// Grants read access only, so neither the registry layer nor the tool can
// delete the key; undone (and the key removed) at the end.
class LockedKey {
 public:
  explicit LockedKey(const Text& key) : key_(key) {
    HKEY handle = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, (key + "\\Child").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &handle, nullptr);
    RegCloseKey(handle);
    SetDacl("D:P(A;;KR;;;WD)(A;;RCWD;;;BA)");
  }
  ~LockedKey() {
    SetDacl("D:P(A;;KA;;;WD)");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, key_.c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, key_.c_str());
  }

 private:
  void SetDacl(const char* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr)) return;
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_.c_str(), 0, WRITE_DAC, &handle) == ERROR_SUCCESS) {
      RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, descriptor);
      RegCloseKey(handle);
    }
    LocalFree(descriptor);
  }
  Text key_;
};

TEST(EntryRemovalTest, FailedDeletionKeepsItsRow) {
  // One key the tool may not be given (a quote in its name), one the
  // registry refuses to delete.
  RegistryScratch scratch;
  const Text quoted = kColumns + "\\veltro\"quoted";
  scratch.Key(HKEY_LOCAL_MACHINE, quoted + "\\Child");
  const LockedKey locked(kColumns + "\\veltro-locked");
  for (const Text& hook : {quoted, kColumns + "\\veltro-locked"}) {
    ScannedList list(ScanShellHooks, kPath);
    list.Select(kHklm + hook);
    DialogAnswerer answerer({{IDYES, ""}});
    RemoveCurrentEntry(list.host.List(), kShellHookRemoval);
    EXPECT_EQ(answerer.Seen().size(), 1u);
    EXPECT_TRUE(RegistryScratch::KeyExists(HKEY_LOCAL_MACHINE, hook)) << hook;
    EXPECT_GE(list.Row(kHklm + hook), 0) << hook;
  }
}

TEST(EntryRemovalTest, ImageHijackLosesItsDebuggerAndKeepsItsSubkey) {
  RegistryScratch scratch;
  const Text key = kOptions + "\\veltro-hijacked.exe";
  scratch.Key(HKEY_LOCAL_MACHINE, key);
  scratch.String(HKEY_LOCAL_MACHINE, key, "Debugger", "c:\\veltro\\evil.exe");
  scratch.Number(HKEY_LOCAL_MACHINE, key, "GlobalFlag", 2);
  ScannedList list(ScanImageHijacks, kPath);
  const Text path = kHklm + key + "\\Debugger";
  list.Select(path);
  DialogAnswerer answerer({{IDYES, ""}});
  RemoveCurrentEntry(list.host.List(), kImageHijackRemoval);
  EXPECT_EQ(answerer.Seen().size(), 1u);
  EXPECT_FALSE(RegistryScratch::ValueExists(HKEY_LOCAL_MACHINE, key, "Debugger"));
  EXPECT_TRUE(RegistryScratch::ValueExists(HKEY_LOCAL_MACHINE, key, "GlobalFlag"));
  EXPECT_EQ(list.Row(path), -1);
}

TEST(EntryRemovalTest, ToolbarValueAndWinsockEntryGoAlone) {
  RegistryScratch scratch;
  const Text toolbarClass = "{7E1A5C00-0000-4000-8000-00000000E001}";
  scratch.String(HKEY_LOCAL_MACHINE, kToolbar, toolbarClass, "Veltro bar");
  scratch.String(HKEY_LOCAL_MACHINE, kToolbar, "VeltroToolbarSibling", "stays");
  const Text catalog = kCatalog + "\\VeltroRemoval";
  scratch.Key(HKEY_LOCAL_MACHINE, catalog);
  for (const char* entry : {"000000000001", "000000000002"}) {
    RegistryScratch::Put(HKEY_LOCAL_MACHINE, catalog + "\\" + entry, "PackedCatalogItem", REG_BINARY,
                         ByteString{'c', ':', '\\', 'x', 0, 1, 2});
  }
  struct Case {
    void (*scan)(ResultList&);
    const RemovalPlan* plan;
    Text path;
  };
  const Case cases[] = {
      {ScanBrowserAddons, &kBrowserAddonRemoval, kHklm + kToolbar + "\\" + toolbarClass},
      {ScanWinsockProviders, &kWinsockRemoval, kHklm + catalog + "\\000000000001"},
  };
  for (const Case& c : cases) {
    ScannedList list(c.scan, kPath);
    list.Select(c.path);
    DialogAnswerer answerer({{IDYES, ""}});
    RemoveCurrentEntry(list.host.List(), *c.plan);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].message, Prompt(c.path));
    EXPECT_EQ(list.Row(c.path), -1) << c.path;
  }
  EXPECT_FALSE(RegistryScratch::ValueExists(HKEY_LOCAL_MACHINE, kToolbar, toolbarClass));
  EXPECT_TRUE(RegistryScratch::ValueExists(HKEY_LOCAL_MACHINE, kToolbar, "VeltroToolbarSibling"));
  EXPECT_FALSE(RegistryScratch::KeyExists(HKEY_LOCAL_MACHINE, catalog + "\\000000000001"));
  EXPECT_TRUE(RegistryScratch::KeyExists(HKEY_LOCAL_MACHINE, catalog + "\\000000000002"));
}

TEST(EntryRemovalTest, ConsoleCommandQuotesThePathOrRefusesIt) {
  const struct {
    Text path, command;
  } cases[] = {
      {"HKEY_LOCAL_MACHINE\\SOFTWARE\\a b", "REG DELETE \"HKEY_LOCAL_MACHINE\\SOFTWARE\\a b\" /f"},
      {"HKEY_LOCAL_MACHINE\\SOFTWARE\\x /va", "REG DELETE \"HKEY_LOCAL_MACHINE\\SOFTWARE\\x /va\" /f"},
      {"HKEY_LOCAL_MACHINE\\SOFTWARE\\x\" /va \"y", ""},
      {"HKEY_CURRENT_USER\\Software\\Run\\", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ConsoleDeleteCommand(c.path), c.command) << c.path;
}

}  // namespace
