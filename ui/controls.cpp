#include "ui/controls.h"

#include <commctrl.h>

#include <vector>

namespace {

// Read straight into the result: a box may hold megabytes, and a second copy
// would raise the program's peak memory by as much.
Text WindowText(HWND handle) {
  const int length = GetWindowTextLengthA(handle);
  if (length <= 0) return Text();
  Text text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(handle, &text[0], length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

}  // namespace

// --- ResultList ------------------------------------------------------------

int ResultList::InsertRow(LPARAM tag) {
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.lParam = tag;
  item.iItem = RowCount();
  item.pszText = const_cast<char*>("");
  return static_cast<int>(SendMessageA(handle_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

int ResultList::ColumnCount() const {
  HWND header = reinterpret_cast<HWND>(SendMessageA(handle_, LVM_GETHEADER, 0, 0));
  return header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

void ResultList::SetCellText(int row, int column, const Text& text) {
  if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount()) return;
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(handle_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

LPARAM ResultList::RowTag(int row) const {
  if (row < 0 || row >= RowCount()) return 0;
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  return SendMessageA(handle_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam : 0;
}

namespace {

// One cell of a row and column known to exist. The list reports only how
// much it copied: grow until the text fits.
Text ReadCell(HWND list, int row, int column) {
  for (std::size_t size = 512;; size *= 2) {
    // One byte more than the list is told of: a text that fills the buffer
    // exactly comes without a terminating zero, and this one ends it.
    std::vector<char> buffer(size + 1, '\0');
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(size);
    const LRESULT copied = SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                                        reinterpret_cast<LPARAM>(&item));
    if (copied < static_cast<LRESULT>(size) - 1 || size >= (1u << 26)) {
      return Text(buffer.data());
    }
  }
}

}  // namespace

Text ResultList::GetCellText(int row, int column) const {
  if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount()) return Text();
  return ReadCell(handle_, row, column);
}

TextList ResultList::RowTexts(int row) const {
  // A row that is not there reads as empty cells: a report of a thousand
  // rows asks no row count a thousand times.
  TextList cells;
  const int columns = ColumnCount();
  for (int column = 0; column < columns; ++column) cells.push_back(ReadCell(handle_, row, column));
  return cells;
}

int ResultList::RowCount() const {
  return static_cast<int>(SendMessageA(handle_, LVM_GETITEMCOUNT, 0, 0));
}

bool ResultList::IsRowSelected(int row) const {
  if (row < 0 || row >= RowCount()) return false;
  return (SendMessageA(handle_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) &
          LVIS_SELECTED) != 0;
}

void ResultList::DeleteRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  SendMessageA(handle_, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
}

void ResultList::ClearRows() { SendMessageA(handle_, LVM_DELETEALLITEMS, 0, 0); }

int ResultList::CurrentRow() const {
  return static_cast<int>(SendMessageA(handle_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ResultList::SelectRow(int row, bool selected) {
  if (row < 0 || row >= RowCount()) return;
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = selected ? (LVIS_SELECTED | LVIS_FOCUSED) : 0;
  SendMessageA(handle_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// --- Label, EditBox ----------------------------------------------------------

Text Label::Caption() const { return WindowText(handle_); }
void Label::SetCaption(const Text& caption) { SetWindowTextA(handle_, caption.c_str()); }

Text EditBox::Content() const { return WindowText(handle_); }

std::wstring EditBox::WideContent() const {
  const int length = GetWindowTextLengthW(handle_);
  if (length <= 0) return std::wstring();
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(handle_, &text[0], length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}
void EditBox::SetContent(const Text& content) { SetWindowTextA(handle_, content.c_str()); }

void AppendEditText(EditBox& edit, const Text& text) {
  HWND handle = edit.Handle();
  const LRESULT end = GetWindowTextLengthA(handle);
  SendMessageA(handle, EM_SETSEL, static_cast<WPARAM>(end), end);
  SendMessageA(handle, EM_SCROLLCARET, 0, 0);
  SendMessageA(handle, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

// --- ProgressBar, ComboBox, Timer -------------------------------------------

int ProgressBar::Position() const { return static_cast<int>(SendMessageA(handle_, PBM_GETPOS, 0, 0)); }
void ProgressBar::SetPosition(int position) { SendMessageA(handle_, PBM_SETPOS, static_cast<WPARAM>(position), 0); }

int ComboBox::CurrentItem() const { return static_cast<int>(SendMessageA(handle_, CB_GETCURSEL, 0, 0)); }
int ComboBox::ItemCount() const { return static_cast<int>(SendMessageA(handle_, CB_GETCOUNT, 0, 0)); }

void ComboBox::SetCurrentItem(int index) {
  const int count = ItemCount();
  if (index >= count) index = count - 1;
  SendMessageA(handle_, CB_SETCURSEL, static_cast<WPARAM>(index < 0 ? -1 : index), 0);
}

void Timer::SetInterval(int milliseconds) {
  if (milliseconds > 0) {
    SetTimer(owner_, id_, static_cast<UINT>(milliseconds), nullptr);
  } else {
    KillTimer(owner_, id_);
  }
}
