// What one list row says, as Ctrl+C, the list menu and the report give it.
#pragma once

#include "ui/controls.h"

// The row's cells in column order, the zero-width ones too. Facts the
// program learns about a row beyond its cells (the file its command names,
// what that file is) join here, after the cells, and so reach copying and
// the report alike.
TextList RowFacts(const ResultList& list, int row);
// What each of those facts is, for the list with that control id: the
// column captions, then the names of the facts added after them.
TextList RowFactCaptions(int listId);
