#include "ui/list_copy.h"

#include <commctrl.h>

#include <cstring>

namespace {

RowCellsSource gRowCellsSource = ListRowCells;

enum MenuCommand : UINT { kCommandCopy = 1, kCommandCopyAll, kCommandSaveReport };

// The clipboard belongs to whoever opened it last: a short, bounded retry
// when another program holds it right now.
bool OpenClipboardFor(HWND owner) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (OpenClipboard(owner)) return true;
    Sleep(20);
  }
  return false;
}

}  // namespace

TextList ListRowCells(const ResultList& list, int row) { return list.RowTexts(row); }

void SetRowCellsSource(RowCellsSource source) { gRowCellsSource = source ? source : ListRowCells; }

TextList RowCells(const ResultList& list, int row) { return gRowCellsSource(list, row); }

Text OneLineCell(const Text& cell) {
  Text line = cell;
  // Below 0x20 a byte is always a character of its own in code page 936.
  for (char& c : line) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  return line;
}

Text RowsAsText(const ResultList& list, bool selectedOnly) {
  Text text;
  const int rows = list.RowCount();
  for (int row = 0; row < rows; ++row) {
    if (selectedOnly && !list.IsRowSelected(row)) continue;
    const TextList cells = RowCells(list, row);
    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (i > 0) text += '\t';
      text += OneLineCell(cells[i]);
    }
    text += "\r\n";
  }
  return text;
}

void SelectAllRows(ResultList& list) {
  if (GetWindowLongPtrA(list.Handle(), GWL_STYLE) & LVS_SINGLESEL) return;
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED;
  item.state = LVIS_SELECTED;
  SendMessageA(list.Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

bool PutOnClipboard(HWND owner, const Text& text) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (memory == nullptr) return false;
  if (void* target = GlobalLock(memory)) {
    std::memcpy(target, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
  } else {
    GlobalFree(memory);
    return false;
  }
  if (!OpenClipboardFor(owner)) {
    GlobalFree(memory);
    return false;
  }
  EmptyClipboard();
  // Once the clipboard takes the memory it owns it; until then it is ours.
  const bool taken = SetClipboardData(CF_TEXT, memory) != nullptr;
  CloseClipboard();
  if (!taken) GlobalFree(memory);
  return taken;
}

ListMenuChoice ShowListMenu(const ResultList& list, POINT screenPoint, bool offerReport) {
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return ListMenuChoice::None;
  const bool anySelected = list.CurrentRow() >= 0;
  AppendMenuA(menu, MF_STRING | (anySelected ? 0u : MF_GRAYED), kCommandCopy, "复制");
  AppendMenuA(menu, MF_STRING | (list.RowCount() > 0 ? 0u : MF_GRAYED), kCommandCopyAll, "全部复制");
  if (offerReport) {
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, kCommandSaveReport, "保存报告...");
  }
  const UINT command = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                        screenPoint.x, screenPoint.y, 0, list.Handle(), nullptr));
  DestroyMenu(menu);
  switch (command) {
    case kCommandCopy: return ListMenuChoice::Copy;
    case kCommandCopyAll: return ListMenuChoice::CopyAll;
    case kCommandSaveReport: return ListMenuChoice::SaveReport;
    default: return ListMenuChoice::None;
  }
}

bool CopyRows(const ResultList& list, ListMenuChoice choice) {
  if (choice != ListMenuChoice::Copy && choice != ListMenuChoice::CopyAll) return false;
  const Text text = RowsAsText(list, choice == ListMenuChoice::Copy);
  return !text.empty() && PutOnClipboard(list.Handle(), text);
}
