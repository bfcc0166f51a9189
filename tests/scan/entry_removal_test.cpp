// Removal: real prompts answered like a user, the prefix's registry, the
// real console tool.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/files.h"
#include "host/native_view.h"
#include "registry_scratch.h"
#include "scan/entry_removal.h"
#include "scan/shell_hooks.h"
#include "scan/startup_entries.h"
#include "scan/winsock_providers.h"
#include "support/dialog_answerer.h"

namespace {

const Text kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const Text kNotify = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Notify\\";
const Text kColumns = "SOFTWARE\\Classes\\Folder\\shellex\\ColumnHandlers\\";
const Text kCu = "HKEY_CURRENT_USER\\", kLm = "HKEY_LOCAL_MACHINE\\";

// Selects the rows holding the paths.
void SelectRows(TestListHost& host, int column, const std::vector<Text>& paths) {
  for (const Text& path : paths) {
    host.List().SelectRow(FindRow(host.Rows(), static_cast<std::size_t>(column), path));
  }
}

TEST(EntryRemovalTest, NothingSelectedAsksNothing) {
  DialogAnswerer answerer({{IDNO, ""}});
  TestListHost startup({100, 100, 0}, true);
  ScanStartupEntries(startup.List());
  RemoveSelectedStartupEntries(startup.List());
  for (const RemovalPlan* plan :
       {&kBrowserAddonRemoval, &kShellHookRemoval, &kImageHijackRemoval, &kWinsockRemoval}) {
    TestListHost host({100, 100, 100, 0});
    host.List().SetCellText(host.List().InsertRow(), 3, kCu + kRun + "\\VeltroUnselected");
    RemoveCurrentEntry(host.List(), *plan);
  }
  EXPECT_TRUE(answerer.Seen().empty());
}

TEST(EntryRemovalTest, YesNoYesOverThreeSelectedStartupRows) {
  RegistryScratch s;
  for (const char* name : {"VeltroA", "VeltroB", "VeltroKeep"}) {
    s.String(HKEY_CURRENT_USER, kRun, name, "c:\\x.exe");
  }
  s.Key(HKEY_LOCAL_MACHINE, kNotify + "VeltroPackage");
  s.String(HKEY_LOCAL_MACHINE, kNotify + "VeltroPackage", "DllName", "c:\\veltro\\notify.dll");
  s.Number(HKEY_LOCAL_MACHINE, kNotify + "VeltroPackage", "Asynchronous", 1);
  TestListHost host({100, 100, 0}, true);
  ScanStartupEntries(host.List());
  const Text a = kCu + kRun + "\\VeltroA", b = kCu + kRun + "\\VeltroB", package = kLm + kNotify + "VeltroPackage";
  SelectRows(host, 2, {package, b, a});   // selected out of order, asked in list order
  const std::size_t rowsBefore = host.Rows().size();

  DialogAnswerer answerer({{IDYES, ""}, {IDNO, ""}, {IDYES, ""}});
  RemoveSelectedStartupEntries(host.List());
  const auto seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].message, "是否删除\r\n" + a);
  EXPECT_EQ(seen[1].message, "是否删除\r\n" + b);
  EXPECT_EQ(seen[2].message, "是否删除\r\n" + package);
  EXPECT_TRUE(seen[0].caption == "Windows" && IsYesNoWithInformationIcon(seen[0]));
  // A Run value goes alone; a Notify package goes whole.
  EXPECT_FALSE(RegistryScratch::ValueExists(HKEY_CURRENT_USER, kRun, "VeltroA"));
  EXPECT_TRUE(RegistryScratch::ValueExists(HKEY_CURRENT_USER, kRun, "VeltroB"));
  EXPECT_TRUE(RegistryScratch::ValueExists(HKEY_CURRENT_USER, kRun, "VeltroKeep"));
  EXPECT_FALSE(RegistryScratch::KeyExists(HKEY_LOCAL_MACHINE, kNotify + "VeltroPackage"));
  const auto rows = host.Rows();
  EXPECT_EQ(rows.size(), rowsBefore - 2);
  EXPECT_EQ(FindRow(rows, 2, a), -1);
  EXPECT_GE(FindRow(rows, 2, b), 0);
  EXPECT_EQ(FindRow(rows, 2, package), -1);
}

TEST(EntryRemovalTest, UnnamedRunValueGoesAloneAndNeverTakesItsKey) {
  RegistryScratch s;
  s.String(HKEY_CURRENT_USER, kRun, "", "c:\\veltro-default.exe");
  s.String(HKEY_CURRENT_USER, kRun, "VeltroSibling", "c:\\sibling.exe");
  for (int attempt = 0; attempt < 2; ++attempt) {   // the second finds the value gone already
    EXPECT_TRUE(DeleteRegistryEntry(ParseListedEntry(kCu + kRun + "\\"), RemovalRoute::RegistryThenTool));
    EXPECT_FALSE(RegistryScratch::ValueExists(HKEY_CURRENT_USER, kRun, ""));
    EXPECT_TRUE(RegistryScratch::ValueExists(HKEY_CURRENT_USER, kRun, "VeltroSibling"));
  }
}

TEST(EntryRemovalTest, ConsoleToolGetsTheKeyAsOneQuotedArgument) {
  RegistryScratch s;
  // Unquoted, "veltro /va" would make the tool empty the sibling key "veltro".
  s.Key(HKEY_LOCAL_MACHINE, kColumns + "veltro /va\\Child");
  s.Key(HKEY_LOCAL_MACHINE, kColumns + "veltro /va");
  s.String(HKEY_LOCAL_MACHINE, kColumns + "veltro", "Kept", "yes");
  s.Key(HKEY_LOCAL_MACHINE, kColumns + "veltro");
  TestListHost host({100, 100, 100, 0});
  ScanShellHooks(host.List());
  const Text hook = kLm + kColumns + "veltro /va";
  SelectRows(host, 3, {hook});
  for (int answer : {IDNO, IDYES}) {
    DialogAnswerer answerer({{answer, ""}});
    RemoveCurrentEntry(host.List(), kShellHookRemoval);
    EXPECT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(RegistryScratch::KeyExists(HKEY_LOCAL_MACHINE, kColumns + "veltro /va"), answer == IDNO);
    EXPECT_EQ(FindRow(host.Rows(), 3, hook) >= 0, answer == IDNO);
  }
  EXPECT_TRUE(RegistryScratch::ValueExists(HKEY_LOCAL_MACHINE, kColumns + "veltro", "Kept"));
}

// A key tree whose name the console tool must not be given (a quote, a
// leading switch character) goes in this process instead.
TEST(EntryRemovalTest, NamesTheToolMustNotSeeAreDeletedInProcess) {
  RegistryScratch s;
  for (const Text& name : {Text("veltro\"quoted"), Text("-veltro"), Text("/veltro")}) {
    const Text key = kColumns + name;
    s.Key(HKEY_LOCAL_MACHINE, key + "\\Child");
    TestListHost host({100, 100, 100, 0});
    ScanShellHooks(host.List());
    SelectRows(host, 3, {kLm + key});
    DialogAnswerer answerer({{IDYES, ""}});
    RemoveCurrentEntry(host.List(), kShellHookRemoval);
    EXPECT_EQ(answerer.Seen().size(), 1u);
    EXPECT_FALSE(RegistryScratch::KeyExists(HKEY_LOCAL_MACHINE, key)) << key;
    EXPECT_LT(FindRow(host.Rows(), 3, kLm + key), 0) << key;
  }
  // In code page 936 the tool reads 0x80 as a character of its own: the
  // backslash after it would escape the closing quote.
  EXPECT_EQ(ConsoleDeleteCommand(kCu + "Software\\x\x80\\"), "");
  EXPECT_EQ(ConsoleDeleteCommand(kCu + "Software\\x"), "REG DELETE \"" + kCu + "Software\\x\" /f");
}

TEST(EntryRemovalTest, FailedDeletionKeepsItsRow) {
  RegistryScratch s;
  const Text locked = kColumns + "veltro-locked";
  for (const Text& key : {locked}) s.Key(HKEY_LOCAL_MACHINE, key + "\\Child");
  // Its values may be read, its subkeys not listed: neither the registry
  // layer, nor the tool, nor a deletion of the tree in this process can
  // take it (Wine lets anybody delete a key that has no subkeys left).
  RegistryScratch::SetAccess(HKEY_LOCAL_MACHINE, locked, "D:P(A;;0x20001;;;WD)(A;;RCWD;;;BA)");
  for (const Text& key : {locked}) {
    TestListHost host({100, 100, 100, 0});
    ScanShellHooks(host.List());
    SelectRows(host, 3, {kLm + key});
    DialogAnswerer answerer({{IDYES, ""}});
    RemoveCurrentEntry(host.List(), kShellHookRemoval);
    EXPECT_EQ(answerer.Seen().size(), 1u);
    EXPECT_GE(FindRow(host.Rows(), 3, kLm + key), 0) << key;
  }
  RegistryScratch::SetAccess(HKEY_LOCAL_MACHINE, locked, "D:P(A;;KA;;;WD)");
  EXPECT_TRUE(RegistryScratch::KeyExists(HKEY_LOCAL_MACHINE, locked + "\\Child"));
}

// The System folder's console tool made unusable for as long as it lives,
// as on Windows 2000, which has none: a file of that name that is no program.
// The real System folder's, which the product starts its tools from (a
// 32-bit test on 64-bit Windows would otherwise change SysWOW64's).
class ConsoleToolMissing {
 public:
  ConsoleToolMissing() {
    NativeFileView realFolder;
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    tool_ = Text(folder) + "\\reg.exe";
    aside_ = tool_ + ".veltro-aside";
    moved_ = MoveFileExA(tool_.c_str(), aside_.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    const HANDLE file = CreateFileA(tool_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, "no program", 10, &written, nullptr);
    CloseHandle(file);
  }
  ~ConsoleToolMissing() {
    NativeFileView realFolder;
    if (moved_) MoveFileExA(aside_.c_str(), tool_.c_str(), MOVEFILE_REPLACE_EXISTING);
  }

 private:
  Text tool_, aside_;
  bool moved_ = false;
};

TEST(EntryRemovalTest, AKeyTreeGoesWhenTheConsoleToolCannotStart) {
  const Text winsock = "SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9\\Veltro";
  struct Case {
    void (*scan)(ResultList&);
    const RemovalPlan* plan;
    Text key;   // below HKEY_LOCAL_MACHINE, with a subkey of its own
  };
  const Case cases[] = {
      {ScanShellHooks, &kShellHookRemoval, kColumns + "veltro-no-tool"},   // the registry layer first
      {ScanWinsockProviders, &kWinsockRemoval, winsock + "\\entry"},       // the tool only
  };
  RegistryScratch s;
  s.Key(HKEY_LOCAL_MACHINE, winsock);
  const ConsoleToolMissing missing;
  ASSERT_FALSE(RunCommandLine("REG QUERY HKCU", true, kWindowHide)) << "the console tool still starts";
  for (const Case& c : cases) {
    s.Key(HKEY_LOCAL_MACHINE, c.key + "\\Child");
    TestListHost host({100, 100, 100, 0});
    c.scan(host.List());
    SelectRows(host, 3, {kLm + c.key});
    DialogAnswerer answerer({{IDYES, ""}});
    RemoveCurrentEntry(host.List(), *c.plan);
    EXPECT_EQ(answerer.Seen().size(), 1u);
    EXPECT_FALSE(RegistryScratch::KeyExists(HKEY_LOCAL_MACHINE, c.key)) << c.key;
    EXPECT_LT(FindRow(host.Rows(), 3, kLm + c.key), 0) << c.key;
  }
}

}  // namespace
