#include "ui/row_sink.h"

#include "ui/file_verdict_rows.h"

RowSink::RowSink(ResultList& list) : list_(list) {
  if (ListFill::Filling(list)) return;
  fill_.emplace(list);
  list_.ClearRows();
}

RowSink::~RowSink() {
  // After the fill ends, so that the idle checks find no scan running.
  fill_.reset();
  if (namedFiles_) ScheduleFileVerdicts(list_);
}

void RowSink::Add(std::initializer_list<Text> cells, FileId file) {
  if (!Accepting()) return;
  const int row = list_.InsertRow(file);
  int column = 0;
  for (const Text& cell : cells) list_.SetCellText(row, column++, cell);
  if (file != 0) namedFiles_ = true;
}
