// A row of the four-column entry lists (add-ons, Winsock, image hijacks,
// shell hooks): what the entry is called, what describes it, the file that
// runs, and in the hidden cell the absolute registry path removal deletes.
#pragma once

#include "base/text_ops.h"
#include "host/file_verdicts.h"
#include "ui/row_sink.h"

struct EntryRow {
  Text name, description, file, path;
  FileId found = 0;   // what `file` runs, as a program of the entry's view finds it
};

// A row whose description is that of the file its command runs.
inline EntryRow FileEntryRow(const Text& name, RegistryView view, const Text& file, const Text& path) {
  const FileId found = NoteCommandFile(view, file);
  return {name, DescriptionShown(found), file, path, found};
}

inline void AddEntryRow(RowSink& rows, const EntryRow& row) {
  rows.Add({row.name, row.description, row.file, row.path}, row.found);
}
