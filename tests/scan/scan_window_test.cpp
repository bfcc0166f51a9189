// One removal per list through the real main window: refresh, select the
// test's own row, press "删除", answer the real prompt Yes.
#include <gtest/gtest.h>

#include <functional>

#include <commctrl.h>

#include "app/control_ids.h"
#include "host/file_verdicts.h"
#include "ui/file_verdict_rows.h"
#include "support/trusted_roots.h"
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

// The colour a row is drawn in, asked of the real window the way the list
// asks it; kUnchanged when the list keeps its own.
constexpr COLORREF kUnchanged = RGB(1, 2, 3);
COLORREF RowColour(const ResultList& list, int row) {
  NMLVCUSTOMDRAW draw{};
  draw.nmcd.hdr.hwndFrom = list.Handle();
  draw.nmcd.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list.Handle()));
  draw.nmcd.hdr.code = NM_CUSTOMDRAW;
  draw.nmcd.dwDrawStage = CDDS_PREPAINT;
  HWND page = GetParent(list.Handle());
  if (SendMessageA(page, WM_NOTIFY, draw.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&draw)) != CDRF_NOTIFYITEMDRAW) {
    return 0;
  }
  draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
  draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
  draw.nmcd.lItemlParam = list.RowTag(row);
  draw.clrText = kUnchanged;
  SendMessageA(page, WM_NOTIFY, draw.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&draw));
  return draw.clrText;
}

TEST(ScanWindowTest, RowsTakeTheColourOfTheirFilesVerdict) {
  const TrustedTestRoots roots;
  RegistryScratch scratch;
  const Text windowsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
  scratch.String(HKEY_CURRENT_USER, kRun, "VeltroPublisher", "\"" + fixture::kSignedExe + "\" /x");
  scratch.String(HKEY_CURRENT_USER, kRun, "VeltroWindows", fixture::kMicrosoftSignedExe);
  scratch.String(HKEY_CURRENT_USER, kRun, "VeltroUnsigned", fixture::kComponentExe + " /autorun");
  scratch.String(HKEY_CURRENT_USER, kRun, "VeltroTampered", fixture::kTamperedExe);
  scratch.String(HKEY_CURRENT_USER, kRun, "VeltroMissing", "c:\\veltro-missing.exe");
  scratch.Number(HKEY_LOCAL_MACHINE, windowsKey, "LoadAppInit_DLLs", 1);   // a row without a file
  const COLORREF red = RGB(0xD0, 0, 0), grey = RGB(0x80, 0x80, 0x80);
  struct Expected {
    Text path;
    COLORREF colour;
  };
  const Expected expected[] = {
      {"HKEY_CURRENT_USER\\" + kRun + "\\VeltroPublisher", kUnchanged},
      {"HKEY_CURRENT_USER\\" + kRun + "\\VeltroWindows", grey},
      {"HKEY_CURRENT_USER\\" + kRun + "\\VeltroUnsigned", red},
      {"HKEY_CURRENT_USER\\" + kRun + "\\VeltroTampered", red},
      {"HKEY_CURRENT_USER\\" + kRun + "\\VeltroMissing", red},
      {"HKEY_LOCAL_MACHINE\\" + windowsKey + "\\LoadAppInit_DLLs", kUnchanged},
  };

  MainWindowFixture window;
  ResultList& list = window.Controls().超级列表框6;
  window.Click(ButtonId(14));
  ASSERT_TRUE(window.PumpUntil([] { return !SignaturesPending(); }, 20000)) << "verdicts come while idle";
  for (const Expected& e : expected) {
    const int row = RowHolding(list, 2, e.path);
    ASSERT_GE(row, 0) << e.path;
    EXPECT_EQ(RowColour(list, row), e.colour) << e.path;
  }
  // The hint: the whole stored text, the file, what it says of itself, who signed it.
  RECT bounds{LVIR_LABEL, 0, 0, 0};
  SendMessageA(list.Handle(), LVM_GETITEMRECT, RowHolding(list, 2, expected[0].path), reinterpret_cast<LPARAM>(&bounds));
  const Text hint = FileVerdictHintAt(list, {bounds.left + 2, (bounds.top + bounds.bottom) / 2});
  EXPECT_EQ(hint, "\"" + fixture::kSignedExe + "\" /x\r\n文件：" + fixture::kSignedExe + "\r\n描述：" +
                      fixture::kComponentDescription + "\r\n公司：Veltro 测试公司\r\n版本：1.2.3.4\r\n签名：" +
                      fixture::kSignedExePublisher);
  // Every list hands its rows' files on: a shell hook whose server is gone.
  const Text hookClass = "{7E1A5C00-0000-4000-8000-0000000033C1}";
  scratch.Key(HKEY_LOCAL_MACHINE, kColumns + "\\" + hookClass);
  scratch.Key(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\CLSID\\" + hookClass);
  scratch.String(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\CLSID\\" + hookClass + "\\InprocServer32", "",
                 "c:\\veltro-missing-hook.dll");
  ResultList& hooks = window.Controls().超级列表框4;
  window.Click(ButtonId(10));
  const int hookRow = RowHolding(hooks, 3, "HKEY_LOCAL_MACHINE\\" + kColumns + "\\" + hookClass);
  ASSERT_GE(hookRow, 0);
  EXPECT_EQ(RowColour(hooks, hookRow), red);
  // A refresh brings the same rows again, coloured at once: nothing is
  // checked twice.
  window.Click(ButtonId(14));
  EXPECT_FALSE(SignaturesPending());
  EXPECT_EQ(RowColour(list, RowHolding(list, 2, expected[1].path)), grey);
}

}  // namespace
