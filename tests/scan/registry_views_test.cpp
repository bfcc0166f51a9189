// Both registry views of 64-bit Windows: every location that WOW64 keeps a
// 32-bit copy of is listed twice, the copy's rows after the native ones and
// under their real Wow6432Node paths, and removal takes the entry the row
// shows, never its namesake in the other view.
#include <gtest/gtest.h>

#include "host/native_view.h"
#include "host/registry.h"
#include "host/registry_views.h"
#include "registry_scratch.h"
#include "scan/browser_addons.h"
#include "scan/entry_removal.h"
#include "scan/shell_hooks.h"
#include "scan/startup_entries.h"
#include "support/dialog_answerer.h"

namespace {

const Text kLm = "HKEY_LOCAL_MACHINE\\";
const Text kClass = "{7E1A5C00-0000-4000-8000-00000000E001}";

// The 32-bit copy of a key below HKEY_LOCAL_MACHINE\SOFTWARE, spelled out.
Text CopyOf(const Text& key) { return key.substr(0, 8) + "\\Wow6432Node" + key.substr(8); }

// Each view's class registration of kClass, under HKEY_LOCAL_MACHINE.
Text ClassKey(bool copy) {
  return Text("SOFTWARE\\Classes\\") + (copy ? "Wow6432Node\\" : "") + "CLSID\\" + kClass;
}

enum class Seed {
  Value,         // the value "VeltroView" holds the marker
  SubkeyValue,   // the subkey "VeltroView" has `value` holding the marker
  ClassValue,    // the value named kClass; the class's server (in that view) is the marker
  ClassSubkey,   // the subkey kClass; the class's server (in that view) is the marker
};

struct ViewCase {
  const char* list;
  void (*scan)(ResultList&);
  const RemovalPlan* plan;   // nullptr: the startup list's own removal
  int shownColumn;           // where the marker shows
  Text key;                  // the native location, below HKEY_LOCAL_MACHINE, spelled as rows spell it
  Seed seed;
  Text value;                // SubkeyValue's value
};

// The path tail the row of the seeded entry has.
Text EntryOf(const ViewCase& c) {
  switch (c.seed) {
    case Seed::Value: return "VeltroView";
    case Seed::SubkeyValue: return "VeltroView\\" + c.value;
    default: return kClass;
  }
}

void SeedEntry(RegistryScratch& s, const ViewCase& c, bool copy, const Text& marker) {
  const Text key = copy ? CopyOf(c.key) : c.key;
  switch (c.seed) {
    case Seed::Value:
      s.String(HKEY_LOCAL_MACHINE, key, "VeltroView", marker);
      break;
    case Seed::SubkeyValue:
      s.Key(HKEY_LOCAL_MACHINE, key + "\\VeltroView");
      s.String(HKEY_LOCAL_MACHINE, key + "\\VeltroView", c.value, marker);
      break;
    case Seed::ClassValue:
    case Seed::ClassSubkey:
      s.Key(HKEY_LOCAL_MACHINE, ClassKey(copy));
      s.String(HKEY_LOCAL_MACHINE, ClassKey(copy) + "\\InProcServer32", "", marker);
      if (c.seed == Seed::ClassValue) {
        s.String(HKEY_LOCAL_MACHINE, key, kClass, "Veltro");
      } else {
        s.Key(HKEY_LOCAL_MACHINE, key + "\\" + kClass);
      }
      break;
  }
}

const std::vector<int> kStartupColumns = {200, 200, 0}, kFourColumns = {100, 100, 100, 0};

const ViewCase kCases[] = {
    {"startup Run", ScanStartupEntries, nullptr, 0, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
     Seed::Value, ""},
    {"startup ShellExecuteHooks", ScanStartupEntries, nullptr, 0,
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellExecuteHooks", Seed::ClassValue, ""},
    {"startup Active Setup", ScanStartupEntries, nullptr, 0, "SOFTWARE\\Microsoft\\Active Setup\\Installed Components",
     Seed::SubkeyValue, "StubPath"},
    {"hooks Approved", ScanShellHooks, &kShellHookRemoval, 2,
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved", Seed::ClassValue, ""},
    {"hooks SharedTaskScheduler", ScanShellHooks, &kShellHookRemoval, 2,
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SharedTaskScheduler", Seed::ClassValue, ""},
    {"browser helper objects", ScanBrowserAddons, &kBrowserAddonRemoval, 2,
     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects", Seed::ClassSubkey, ""},
};

std::vector<std::vector<Text>> Rows(const ViewCase& c) {
  return ScanRows(c.scan, c.plan == nullptr ? kStartupColumns : kFourColumns);
}

TEST(RegistryViewsTest, BothViewsListedInOrderAndRemovedOneByOne) {
  for (const ViewCase& c : kCases) {
    SCOPED_TRACE(c.list);
    RegistryScratch s;
    SeedEntry(s, c, false, "c:\\veltro\\native.dll");
    SeedEntry(s, c, true, "c:\\veltro\\wow64.dll");
    const Text native = kLm + c.key + "\\" + EntryOf(c), copy = kLm + CopyOf(c.key) + "\\" + EntryOf(c);
    const std::size_t pathColumn = c.plan == nullptr ? 2 : 3;

    TestListHost host(c.plan == nullptr ? kStartupColumns : kFourColumns, c.plan == nullptr);
    c.scan(host.List());
    const auto rows = host.Rows();
    const int nativeRow = FindRow(rows, pathColumn, native), copyRow = FindRow(rows, pathColumn, copy);
    ASSERT_GE(nativeRow, 0);
    if (!OnSixtyFourBitWindows()) {
      // 32-bit Windows keeps no copy: a key of that name is one Windows never reads.
      EXPECT_LT(copyRow, 0);
      continue;
    }
    ASSERT_GT(copyRow, nativeRow) << "the copy's rows come after the native key's";
    // Each row shows its own view's entry, its class resolved in its own class view.
    EXPECT_EQ(rows[nativeRow][c.shownColumn], "c:\\veltro\\native.dll");
    EXPECT_EQ(rows[copyRow][c.shownColumn], "c:\\veltro\\wow64.dll");

    // The copy's row goes first: its entry, not the native one of the same name.
    host.List().SelectRow(copyRow);
    DialogAnswerer answerer({{IDYES, ""}});
    if (c.plan == nullptr) {
      RemoveSelectedStartupEntries(host.List());
    } else {
      RemoveCurrentEntry(host.List(), *c.plan);
    }
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].message, "是否删除\r\n" + copy);
    EXPECT_FALSE(RegistryEntryPresent(ParseListedEntry(copy)));
    EXPECT_TRUE(RegistryEntryPresent(ParseListedEntry(native)));
    EXPECT_LT(FindRow(host.Rows(), pathColumn, copy), 0);
    EXPECT_GE(FindRow(Rows(c), pathColumn, native), 0) << "a rescan still shows the native entry";
  }
}

// A 32-bit copy's row that names the System folder describes the file a
// 32-bit program gets there: SysWOW64's, not the 64-bit namesake.
TEST(RegistryViewsTest, ACopysSystemFolderFileIsTheThirtyTwoBitOne) {
  if (!OnSixtyFourBitWindows()) GTEST_SKIP() << "32-bit Windows has no SysWOW64";
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  const Text native = Text(windows) + "\\system32\\veltro_view.exe", wow = Text(windows) + "\\syswow64\\veltro_view.exe";
  {
    NativeFileView realFolders;  // a 32-bit test's system32 would be SysWOW64
    ASSERT_TRUE(CopyFileA(fixture::kEnglishDll.c_str(), native.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(fixture::kComponentExe.c_str(), wow.c_str(), FALSE));
  }
  const Text run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  RegistryScratch s;
  s.String(HKEY_LOCAL_MACHINE, run, "VeltroView", native);
  s.String(HKEY_LOCAL_MACHINE, CopyOf(run), "VeltroView", native);
  ExpectRowsInOrder(ScanRows(ScanStartupEntries, kStartupColumns),
                    {{kLm + run + "\\VeltroView", {native, fixture::kEnglishDescription}},
                     {kLm + CopyOf(run) + "\\VeltroView", {native, fixture::kComponentDescription}}},
                    2);
  NativeFileView realFolders;
  DeleteFileA(native.c_str());
  DeleteFileA(wow.c_str());
}

// A location both views share shows once: its Wow6432Node path would show
// the same entries again (Windows 7 links it to the shared key).
TEST(RegistryViewsTest, SharedLocationsHaveOneView) {
  RegistryScratch s;
  const Text handlers = "SOFTWARE\\Classes\\PROTOCOLS\\Handler";
  s.Key(HKEY_LOCAL_MACHINE, handlers + "\\veltro-view");
  s.Key(HKEY_LOCAL_MACHINE, CopyOf(handlers) + "\\veltro-view");
  const auto rows = ScanRows(ScanShellHooks, kFourColumns);
  EXPECT_GE(FindRow(rows, 3, kLm + handlers + "\\veltro-view"), 0);
  EXPECT_LT(FindRow(rows, 3, kLm + CopyOf(handlers) + "\\veltro-view"), 0);

  struct Expected {
    int root;
    Text key;
    Text copy;   // "" for one view only
  };
  const Expected cases[] = {
      {kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
       "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run"},
      {kLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
       "SOFTWARE\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon"},
      {kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", ""},
      {kLocalMachine, "SOFTWARE\\Classes\\Folder\\shellex\\ColumnHandlers", ""},
      {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run", ""},
      {kLocalMachine, "SOFTWARE\\Policies\\Microsoft", ""},
      // Shared from Windows 7 on, which is what Wine reports.
      {kLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options", ""},
      {kLocalMachine, "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run", ""},
      {kLocalMachine, "SOFTWARE", ""},
      {kLocalMachine, "SOFTWAREX\\Microsoft", ""},
      {kLocalMachine, "SYSTEM\\CurrentControlSet\\Services", ""},
  };
  for (const Expected& e : cases) {
    const std::vector<KeyInView> views = ViewsOfKey(e.root, e.key);
    ASSERT_FALSE(views.empty());
    EXPECT_EQ(views[0].key, e.key);
    EXPECT_EQ(views.size(), e.copy.empty() || !OnSixtyFourBitWindows() ? 1u : 2u) << e.key;
    if (views.size() == 2) {
      EXPECT_EQ(views[1].key, e.copy);
      EXPECT_EQ(views[1].view, RegistryView::ThirtyTwoBit);
    }
  }
}

}  // namespace
