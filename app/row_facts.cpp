#include "app/row_facts.h"

#include "ui/list_copy.h"

TextList RowFacts(const ResultList& list, int row) { return ListRowCells(list, row); }
