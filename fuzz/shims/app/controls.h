// Stand-in for the window's list control in native fuzzing builds: rows of
// cells in memory, with the same out-of-range rules as the real list.
#pragma once

#include <vector>

#include "base/text_ops.h"

class ResultList {
 public:
  int InsertRow() {
    rows_.emplace_back(kColumns);
    return static_cast<int>(rows_.size()) - 1;
  }
  void SetCellText(int row, int column, const Text& text) {
    if (row < 0 || row >= RowCount() || column < 0 || column >= kColumns) return;
    rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
  }
  Text GetCellText(int row, int column) const {
    if (row < 0 || row >= RowCount() || column < 0 || column >= kColumns) return Text();
    return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
  }
  int RowCount() const { return static_cast<int>(rows_.size()); }
  void ClearRows() { rows_.clear(); }

 private:
  static constexpr int kColumns = 3;
  std::vector<std::vector<Text>> rows_;
};
