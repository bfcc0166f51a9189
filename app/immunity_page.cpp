#include "app/immunity_page.h"

#include <commctrl.h>

#include "app/window_definition.h"
#include "ui/row_hints.h"

void PrepareImmunityPage(ResultList& list) {
  for (const HintedRow& row : ImmunityInitialRows()) list.SetCellText(list.InsertRow(), 0, row.text);
  AttachRowHints(list, ImmunityHintAt);
}

Text ImmunityHintAt(const ResultList& list, POINT clientPoint) {
  LVHITTESTINFO hit{};
  hit.pt = clientPoint;
  const int row = static_cast<int>(SendMessageA(list.Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  const TableView<HintedRow> rows = ImmunityInitialRows();
  if (row < 0 || static_cast<std::size_t>(row) >= rows.size() || (hit.flags & LVHT_ONITEM) == 0) return Text();
  return rows.first[row].hint;
}
