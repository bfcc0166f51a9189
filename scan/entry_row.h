// A row of the four-column entry lists (add-ons, Winsock, image hijacks,
// shell hooks): what the entry is called, what describes it, the file that
// runs, and in the hidden cell the absolute registry path removal deletes.
#pragma once

#include "base/text_ops.h"
#include "ui/row_sink.h"

struct EntryRow {
  Text name, description, file, path;
};

inline void AddEntryRow(RowSink& rows, const EntryRow& row) {
  rows.Add({row.name, row.description, row.file, row.path});
}
