#include "app/row_facts.h"

#include "app/window_definition.h"
#include "ui/list_copy.h"

TextList RowFacts(const ResultList& list, int row) { return ListRowCells(list, row); }

TextList RowFactCaptions(int listId) {
  TextList captions;
  for (const ColumnDefinition& column : ColumnDefinitions()) {
    if (column.listId == listId) captions.push_back(column.caption);
  }
  return captions;
}
