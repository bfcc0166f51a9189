// The lists whose rows name a file Windows runs: they show what Veltro found
// out about that file (colour, hint) and copies and the report carry it.
#pragma once

#include "app/main_controls.h"
#include "base/table_view.h"

struct VerdictList {
  ResultList MainControls::*list;
  int listId;
  int storedTextColumn;   // the entry's text as Windows stores it
};

TableView<VerdictList> VerdictLists();
bool ShowsFileVerdicts(int listId);
