// One removal per list through the real main window: refresh, select the
// test's own row, press "删除", answer the real prompt Yes.
#include <gtest/gtest.h>

#include <functional>

#include "app/control_ids.h"
#include "registry_scratch.h"
#include "support/dialog_answerer.h"
#include "support/main_window_fixture.h"

namespace {

const Text kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const Text kColumns = "SOFTWARE\\Classes\\Folder\\shellex\\ColumnHandlers";
const Text kOptions = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options";
const Text kToolbar = "SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar";
const Text kCatalog = "SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9";

TEST(ScanWindowTest, EachListRemovesAnEntryThroughItsDeleteButton) {
  RegistryScratch scratch;
  const Text toolbarClass = "{7E1A5C00-0000-4000-8000-00000000A001}";
  scratch.String(HKEY_CURRENT_USER, kRun, "VeltroWindow", "c:\\veltro-window.exe");
  scratch.String(HKEY_LOCAL_MACHINE, kToolbar, toolbarClass, "Veltro window bar");
  scratch.Key(HKEY_LOCAL_MACHINE, kColumns + "\\veltro-window");
  scratch.Key(HKEY_LOCAL_MACHINE, kOptions + "\\veltro-window.exe");
  scratch.String(HKEY_LOCAL_MACHINE, kOptions + "\\veltro-window.exe", "Debugger", "c:\\veltro\\evil.exe");
  scratch.Key(HKEY_LOCAL_MACHINE, kCatalog + "\\VeltroWindow");
  scratch.Value(HKEY_LOCAL_MACHINE, kCatalog + "\\VeltroWindow\\000000000001", "PackedCatalogItem",
                       REG_BINARY, ByteString{'x', 0, 1});

  struct Case {
    int refreshButton, deleteButton;
    ResultList MainControls::*list;
    int pathColumn;
    Text path;
    std::function<bool()> entryGone;
  };
  const Text hklm = "HKEY_LOCAL_MACHINE\\";
  const Case cases[] = {
      {14, 15, &MainControls::超级列表框6, 2, "HKEY_CURRENT_USER\\" + kRun + "\\VeltroWindow",
       [&] { return !RegistryScratch::ValueExists(HKEY_CURRENT_USER, kRun, "VeltroWindow"); }},
      {12, 13, &MainControls::超级列表框5, 3, hklm + kToolbar + "\\" + toolbarClass,
       [&] { return !RegistryScratch::ValueExists(HKEY_LOCAL_MACHINE, kToolbar, toolbarClass); }},
      {10, 11, &MainControls::超级列表框4, 3, hklm + kColumns + "\\veltro-window",
       [&] { return !RegistryScratch::KeyExists(HKEY_LOCAL_MACHINE, kColumns + "\\veltro-window"); }},
      {8, 9, &MainControls::超级列表框3, 3, hklm + kOptions + "\\veltro-window.exe\\Debugger",
       [&] {
         return !RegistryScratch::ValueExists(HKEY_LOCAL_MACHINE, kOptions + "\\veltro-window.exe", "Debugger") &&
                RegistryScratch::KeyExists(HKEY_LOCAL_MACHINE, kOptions + "\\veltro-window.exe");
       }},
      {6, 7, &MainControls::超级列表框2, 3, hklm + kCatalog + "\\VeltroWindow\\000000000001",
       [&] { return !RegistryScratch::KeyExists(HKEY_LOCAL_MACHINE, kCatalog + "\\VeltroWindow\\000000000001"); }},
  };

  MainWindowFixture window;
  for (const Case& c : cases) {
    ResultList& list = window.Controls().*c.list;
    window.Click(ButtonId(c.refreshButton));
    const int row = RowHolding(list, c.pathColumn, c.path);
    ASSERT_GE(row, 0) << c.path;
    window.FocusRow(list, row);
    DialogAnswerer answerer({{IDYES, ""}});
    window.Click(ButtonId(c.deleteButton));
    window.Pump();
    ASSERT_EQ(answerer.Seen().size(), 1u) << c.path;
    EXPECT_EQ(answerer.Seen()[0].message, "是否删除\r\n" + c.path);
    EXPECT_EQ(answerer.Seen()[0].caption, "Windows");
    EXPECT_TRUE(c.entryGone()) << c.path;
    EXPECT_EQ(RowHolding(list, c.pathColumn, c.path), -1) << c.path;
  }
}

}  // namespace
