#include "app/row_facts.h"

#include <windows.h>

#include "app/verdict_lists.h"
#include "app/window_definition.h"
#include "host/file_verdicts.h"
#include "ui/file_verdict_rows.h"
#include "ui/list_copy.h"

namespace {

// After the cells of a row that names a file: the file found, who vouches
// for it, its company and version.
const char* const kFileFactCaptions[] = {"文件", "签名", "公司", "版本"};

}  // namespace

TextList RowFacts(const ResultList& list, int row) {
  TextList facts = ListRowCells(list, row);
  if (!ShowsFileVerdicts(GetDlgCtrlID(list.Handle()))) return facts;
  const FileFacts* file = FactsOf(static_cast<FileId>(list.RowTag(row)));
  if (file == nullptr) return facts;
  for (const Text& fact : {file->path, TrustLine(*file), file->company, file->version}) facts.push_back(fact);
  return facts;
}

TextList RowFactCaptions(int listId) {
  TextList captions;
  for (const ColumnDefinition& column : ColumnDefinitions()) {
    if (column.listId == listId) captions.push_back(column.caption);
  }
  if (ShowsFileVerdicts(listId)) {
    for (const char* caption : kFileFactCaptions) captions.push_back(caption);
  }
  return captions;
}
