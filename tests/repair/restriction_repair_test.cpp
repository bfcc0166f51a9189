// The restriction repair on the real registry of the test prefix; every
// place it writes is saved before and put back after each test.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "ui/controls.h"
#include "repair/restriction_repair.h"
#include "repair/restriction_scan.h"
#include "repair_fixture.h"
#include "support/test_window.h"

namespace {

#define EXPL TEST_EXPLORER_POLICIES
#define DESKTOP "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\ActiveDesktop\\"

bool KeyExists(HKEY root, const char* path) {
  HKEY key;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// Every catalogue check in its damaged state.
void DamageEverything() {
  for (const char* name : {"NoFind", "NoRun", "NoLogOff", "StartMenuLogOff", "NoClose", "NoFileMenu",
                           "NoNetConnectDisconnect", "NoWebView", "NoViewContextMenu", "NoTrayContextMenu",
                           "NoChangeStartMenu", "NoAddPrinter", "NoDeletePrinter", "NoPrinterTabs", "NoWinKeys",
                           "RestrictRun"}) {
    WriteRegistryValue(kCurrentUser, Text(EXPL) + name, 1);
  }
  WriteRegistryValue(kCurrentUser, EXPL "NoViewOnDrive", 0x3FFFFFF);
  for (const char* name : {"NoHTMLWallPaper", "NoChangingWallpaper", "NoAddingComponents", "NoDeletingComponents",
                           "NoCloseDragDropBands"}) {
    WriteRegistryValue(kCurrentUser, Text(DESKTOP) + name, 1);
  }
  WriteRegistryValue(kLocalMachine, kUserinitPath, GetSpecialFolder(kFolderSystem) + "userinit.exe,c:\\virus.exe");
  WriteRegistryValue(kLocalMachine, kCdromAutorunPath, 1);
  WriteRegistryValue(kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\SeparateProcess", 1);
  WriteRegistryValue(kCurrentUser,
                     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BrowseNewProcess\\BrowseNewProcess", "no");
  WriteRegistryValue(kCurrentUser, kStartPagePath, "http://hijack.example/");
  WriteRegistryValue(kLocalMachine, kMachineStartPagePaths[0], "http://hijack.example/");
  WriteRegistryValue(kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\EnableLUA", 0);
  WriteRegistryValue(kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\DisableRegistryTools", 1);
  WriteRegistryValue(kCurrentUser, "SYSTEM\\CurrentControlSet\\Control\\SecurePipeServers\\winreg\\RemoteRegAccess", 1);
  WriteRegistryValue(kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\system\\DisableTaskMgr", 1);
  WriteRegistryValue(kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\system\\DisableTaskMgr", 1);
  WriteRegistryValue(kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\NoControlpanel", 1);
  WriteRegistryValue(kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Uninstall\\NoAddRemovePrograms", 1);
  WriteRegistryValue(kCurrentUser, "Software\\Policies\\Microsoft\\windows\\system\\DisableCMD", 2);
  WriteRegistryValue(kLocalMachine, kCheckedValuePath, "1");   // REG_SZ: reads as 0
  WriteRegistryValue(kClassesRoot, ".exe\\", "virusfile");
  WriteRegistryValue(kClassesRoot, "exefile\\shell\\open\\command\\", "virus.exe \"%1\" %*");
  DeleteRegistryItem(kClassesRoot, "exefile\\shell\\runas\\command\\");
  WriteRegistryValue(kClassesRoot, "exefile\\DefaultIcon\\", "virus.ico");
  // Console and Internet Explorer policies, with subkeys.
  WriteRegistryValue(kCurrentUser, "Software\\Policies\\Microsoft\\mmc\\{8FC0B734-A0E1-11D1-A7D3-0000F87571E3}\\Restrict_Run", 1);
  WriteRegistryValue(kCurrentUser, "Software\\Policies\\Microsoft\\mmc\\RestrictToPermittedSnapins", 1);
  WriteRegistryValue(kCurrentUser, "Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions\\NoBrowserClose", 1);
}

TEST_F(RepairLocationsTest, RepairOfADamagedSystemLeavesNoFixedFinding) {
  DamageEverything();
  TestListHost host({200, 200, 50});
  TestEditHost label;
  TextList pending;
  ScanRestrictions(host.List(), label.Caption(), pending, host.Window());
  EXPECT_EQ(label.Caption().Caption(), "38条");

  RepairRestrictions(host.List(), pending);
  ScanRestrictions(host.List(), label.Caption(), pending, host.Window());
  EXPECT_EQ(FirstTwoColumns(host.List()), std::vector<Row>());
  EXPECT_EQ(label.Caption().Caption(), "0条");

  EXPECT_EQ(ReadRegistryText(kLocalMachine, kUserinitPath), "userinit.exe");
  EXPECT_EQ(ReadRegistryText(kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\NoControlpanel"),
            " 1");
  EXPECT_EQ(ReadRegistryText(kLocalMachine, kCheckedValuePath), "");   // a number again
  EXPECT_EQ(ReadRegistryNumber(kLocalMachine, kCheckedValuePath), 1);
  EXPECT_EQ(ReadRegistryText(kCurrentUser,
                             "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BrowseNewProcess\\BrowseNewProcess"),
            "yes");
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Policies\\Microsoft\\mmc"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Policies\\Microsoft\\Internet Explorer"));
}

TEST_F(RepairLocationsTest, FileAssociationsGetTheirFolders) {
  RepairFileAssociations();
  const Text system = GetSpecialFolder(kFolderSystem);
  const Text windows = GetSpecialFolder(kFolderWindows);
  ASSERT_FALSE(system.empty());
  ASSERT_FALSE(windows.empty());
  const std::pair<const char*, Text> associations[] = {
      {"txtfile", system + "NOTEPAD.EXE %1"},  {"cmdfile", "\"%1\" %*"},
      {"scrfile", "\"%1\" /s"},                {"regfile", "regedit.exe \"%1\""},
      {"chmfile", windows + "hh.exe %1"},      {"hlpfile", system + "winhlp32.exe %1"},
      {"inffile", system + "NOTEPAD.EXE %1"},  {"jsfile", system + "wscript.exe \"%1\" %*"},
  };
  for (const auto& a : associations) {
    EXPECT_EQ(ReadRegistryText(kClassesRoot, Text(a.first) + "\\shell\\open\\command\\"), a.second) << a.first;
  }
}

TEST_F(RepairLocationsTest, InternetExplorerPoliciesStayWhileOtherSubkeysRemain) {
  WriteRegistryValue(kCurrentUser, "Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions\\NoBrowserOptions", 1);
  WriteRegistryValue(kCurrentUser, "Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel\\HomePage", 1);
  RepairFixedRestrictions();
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel"));
}

// Runs a hook whenever the list is asked for a cell's text, inside the call.
class CellReadHook {
 public:
  CellReadHook(ResultList& list, std::function<void(int row)> hook) : list_(list), hook_(std::move(hook)) {
    SetWindowSubclass(list_.Handle(), &CellReadHook::Proc, 1, reinterpret_cast<DWORD_PTR>(this));
  }
  ~CellReadHook() { RemoveWindowSubclass(list_.Handle(), &CellReadHook::Proc, 1); }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    if (message == LVM_GETITEMTEXTA) reinterpret_cast<CellReadHook*>(data)->hook_(static_cast<int>(wParam));
    return DefSubclassProc(window, message, wParam, lParam);
  }
  ResultList& list_;
  std::function<void(int)> hook_;
};

constexpr char kPendingKey[] = "Software\\VeltroRepairTest";

class PendingRepairTest : public ::testing::Test {
 protected:
  void SetUp() override {
    snapshot_.AddKey(HKEY_CURRENT_USER, kPendingKey);
    for (const char* text : {"描述", "其他", "描述"}) list().SetCellText(list().InsertRow(), 0, text);
  }
  ResultList& list() { return host_.List(); }
  Text Path(const char* name) { return Text(kPendingKey) + "\\X\\" + name; }
  RegistrySnapshot snapshot_;
  TestListHost host_{{200, 200, 50}};
};

TEST_F(PendingRepairTest, RecordsOfMatchingDescriptionsAreWritten) {
  const TextList pending = {
      "n|3|" + Path("Number") + "|描述|5",
      "c|3|" + Path("Text") + "|描述|文本",
      "n|3|" + Path("Other") + "|其他|-2",
      "n|3|" + Path("NotListed") + "|不在列表|1",
      "n|3|" + Path("Four") + "|描述",
      "n|3|" + Path("Six") + "|描述|1|2",
      "N|3|" + Path("Kind") + "|描述|1",
  };
  RepairPendingRecords(list(), pending);
  EXPECT_EQ(ReadRegistryNumber(kCurrentUser, Path("Number"), 99), 5);
  EXPECT_EQ(ReadRegistryText(kCurrentUser, Path("Text")), "文本");
  EXPECT_EQ(ReadRegistryNumber(kCurrentUser, Path("Other"), 99), -2);
  for (const char* name : {"NotListed", "Four", "Six", "Kind"}) {
    EXPECT_FALSE(RegistryItemExists(kCurrentUser, Path(name))) << name;
  }
}

TEST_F(PendingRepairTest, ARecordIsWrittenAgainForEveryMatchingRow) {
  // The value is removed while the third row is read: only a second write
  // for that row can bring it back.
  CellReadHook hook(list(), [&](int row) {
    if (row == 2) DeleteRegistryItem(kCurrentUser, Path("Number"));
  });
  RepairPendingRecords(list(), {"n|3|" + Path("Number") + "|描述|5"});
  EXPECT_EQ(ReadRegistryNumber(kCurrentUser, Path("Number"), 99), 5);
}

TEST_F(PendingRepairTest, ARescanInTheMiddleDoesNotDisturbIt) {
  TextList pending = {"n|3|" + Path("First") + "|描述|1", "n|3|" + Path("Second") + "|描述|2"};
  bool rescanned = false;
  // While the first row is read, a scan rebuilds the pending list and leaves
  // a shorter list.
  CellReadHook hook(list(), [&](int row) {
    if (row != 0 || rescanned) return;
    rescanned = true;
    pending.assign({"n|3|" + Path("Rescan") + "|描述|3", "n|3|" + Path("Rescan") + "|描述|4"});
    list().ClearRows();
    list().SetCellText(list().InsertRow(), 0, "描述");
  });
  RepairPendingRecords(list(), pending);
  EXPECT_TRUE(rescanned);
  // The records of the copy taken at the start, against the rows as they are.
  EXPECT_EQ(ReadRegistryNumber(kCurrentUser, Path("First"), 99), 1);
  EXPECT_EQ(ReadRegistryNumber(kCurrentUser, Path("Second"), 99), 2);
  EXPECT_FALSE(RegistryItemExists(kCurrentUser, Path("Rescan")));
}

}  // namespace
