// The one way a scan fills a list.
//
// A sink empties the list, keeps it from drawing for every row (ListFill),
// appends each row with all its cells at once (no pending message runs
// between adding a row and filling it) and lets pending messages through
// when the scan asks. A list that is already being filled further up the
// stack (a handler run from inside that list's own scan) is not touched: the
// sink takes nothing, and the scan that is running finishes the list.
#pragma once

#include <initializer_list>
#include <optional>

#include "host/file_verdicts.h"
#include "ui/controls.h"
#include "ui/event_pacer.h"
#include "ui/list_fill.h"

class RowSink {
 public:
  explicit RowSink(ResultList& list);
  ~RowSink();
  RowSink(const RowSink&) = delete;
  RowSink& operator=(const RowSink&) = delete;

  // false when the list belongs to a scan further up the stack.
  bool Accepting() const { return fill_.has_value(); }
  // Appends a row; cells from column 0 on. A row that names a file keeps
  // it, for its colour and hint (ui/file_verdict_rows.h).
  void Add(std::initializer_list<Text> cells, FileId file = 0);
  // The window stays responsive between the items a scan examines (paced:
  // events go through every EventPacer::kInterval, not after every item).
  void LetEventsThrough() { pacer_.LetEventsThrough(); }

 private:
  ResultList& list_;
  std::optional<ListFill> fill_;
  bool namedFiles_ = false;
  EventPacer pacer_;
};
