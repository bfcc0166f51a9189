#include "support/test_window.h"

#include <commctrl.h>

namespace {

HWND CreateHiddenHost() {
  return CreateWindowExA(0, "STATIC", "test host", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

TestListHost::TestListHost(const std::vector<int>& columnWidths, bool multipleSelection) {
  window_ = CreateHiddenHost();
  DWORD style = WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOSORTHEADER;
  if (!multipleSelection) style |= LVS_SINGLESEL;
  HWND handle = CreateWindowExA(0, WC_LISTVIEWA, "", style, 0, 0, 580, 380, window_, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  SendMessageA(handle, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  for (std::size_t i = 0; i < columnWidths.size(); ++i) {
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = columnWidths[i];
    column.pszText = const_cast<char*>("");
    SendMessageA(handle, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
  }
  list_ = ResultList(handle);
}

TestListHost::~TestListHost() { DestroyWindow(window_); }

std::vector<std::vector<Text>> TestListHost::Rows() const {
  std::vector<std::vector<Text>> rows;
  for (int row = 0; row < list_.RowCount(); ++row) {
    std::vector<Text> cells;
    for (int column = 0; column < list_.ColumnCount(); ++column) cells.push_back(list_.GetCellText(row, column));
    rows.push_back(cells);
  }
  return rows;
}

TestEditHost::TestEditHost(bool multiLine) {
  window_ = CreateHiddenHost();
  DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL;
  if (multiLine) style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | ES_WANTRETURN;
  HWND edit = CreateWindowExA(0, "EDIT", "", style, 0, 0, 400, 300, window_, nullptr, GetModuleHandleA(nullptr),
                              nullptr);
  SendMessageA(edit, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
  HWND label = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 310, 400, 20, window_, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  edit_ = EditBox(edit);
  label_ = Label(label);
}

TestEditHost::~TestEditHost() { DestroyWindow(window_); }
