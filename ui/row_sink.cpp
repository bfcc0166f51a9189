#include "ui/row_sink.h"

RowSink::RowSink(ResultList& list) : list_(list) {
  if (ListFill::Filling(list)) return;
  fill_.emplace(list);
  list_.ClearRows();
}

void RowSink::Add(std::initializer_list<Text> cells) {
  if (!Accepting()) return;
  const int row = list_.InsertRow();
  int column = 0;
  for (const Text& cell : cells) list_.SetCellText(row, column++, cell);
}
