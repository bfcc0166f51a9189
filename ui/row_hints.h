// A tooltip over a list that shows a hint for the row under the pointer.
// The hint text comes from the caller, asked afresh whenever the pointer
// moves to another row.
#pragma once

#include <windows.h>

#include "base/text_ops.h"
#include "ui/controls.h"

// The hint for a point of the list's client area; "" shows none.
using RowHintSource = Text (*)(const ResultList& list, POINT clientPoint);

// Attaches the tooltip to the list for the list's lifetime; false when it
// could not be made (the list then simply shows no hints). A width in
// pixels lets hints wrap and break at "\r\n"; 0 keeps one line.
bool AttachRowHints(ResultList list, RowHintSource source, int maxWidth = 0);
