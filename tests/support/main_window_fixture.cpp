#include "support/main_window_fixture.h"

#include <commctrl.h>

#include "app/main_window.h"
#include "support/time_limits.h"
#include "ui/prompts.h"

MainWindowFixture::MainWindowFixture(bool shown, StartUpScan scan) {
  MainWindowOptions options;
  options.showCommand = shown ? SW_SHOWNORMAL : SW_HIDE;
  options.quitOnClose = false;
  window_ = CreateMainWindow(program_, options);
  controls_ = MainControlsOf(window_);
  if (controls_ == nullptr) {
    static MainControls empty;   // keeps a failed creation from crashing the test
    controls_ = &empty;
    return;
  }
  if (scan == StartUpScan::Suppressed) controls_->时钟1.SetInterval(0);
}

MainWindowFixture::~MainWindowFixture() {
  if (window_ != nullptr) DestroyWindow(window_);
  Pump();
}

HWND MainWindowFixture::Control(int id) const { return FindControlById(window_, id); }

void MainWindowFixture::Pump() {
  // Handlers post further messages; go round until nothing is left.
  MSG message;
  for (int round = 0; round < 100 && PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE); ++round) {
    ProcessPendingEvents();
  }
}

bool MainWindowFixture::PumpUntil(const std::function<bool()>& done, int timeoutMilliseconds) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > TimeLimit(static_cast<DWORD>(timeoutMilliseconds))) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    Pump();
  }
  return true;
}

void MainWindowFixture::Click(int buttonId) {
  SendMessageA(Control(buttonId), BM_CLICK, 0, 0);
  Pump();
}

void MainWindowFixture::ChooseComboItem(int index) {
  HWND combo = Control(kComboId);
  // What the combo box sends when the user picks an item from its dropped list.
  SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(kComboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(kComboId, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
  SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
  Pump();
}

void MainWindowFixture::FocusRow(ResultList& list, int row) {
  list.SelectRow(row);
  Pump();
}

namespace {

LPARAM RowPoint(const ResultList& list, int row) {
  RECT rect{};
  rect.left = LVIR_LABEL;
  if (row < 0 || !SendMessageA(list.Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(row),
                               reinterpret_cast<LPARAM>(&rect))) {
    GetClientRect(list.Handle(), &rect);
    return MAKELPARAM(rect.right - 5, rect.bottom - 5);
  }
  return MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

}  // namespace

void MainWindowFixture::ActivateRow(ResultList& list, int row) {
  const LPARAM point = RowPoint(list, row);
  PostMessageA(list.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageA(list.Handle(), WM_LBUTTONUP, 0, point);
  PostMessageA(list.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, point);
  PostMessageA(list.Handle(), WM_LBUTTONUP, 0, point);
  Pump();
}

void MainWindowFixture::RightClick(ResultList& list, int row) {
  const LPARAM point = RowPoint(list, row);
  PostMessageA(list.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, point);
  PostMessageA(list.Handle(), WM_RBUTTONUP, 0, point);
  Pump();
}

void MainWindowFixture::ShowPage(int tabId, int page) {
  HWND tab = Control(tabId);
  SendMessageA(tab, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
  NMHDR header{tab, static_cast<UINT_PTR>(tabId), static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageA(GetParent(tab), WM_NOTIFY, static_cast<WPARAM>(tabId), reinterpret_cast<LPARAM>(&header));
  Pump();
}
