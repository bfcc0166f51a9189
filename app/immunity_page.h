// The immunity list 超级列表框8: its initial rows and the hint that each of
// them shows under the pointer.
#pragma once

#include "ui/controls.h"

#include <windows.h>

// Fills the initial rows and attaches their hints.
void PrepareImmunityPage(ResultList& list);

// The hint for the row at a point of the list's client area: looked up by
// row position among the initial rows, "" elsewhere. This is the text the
// list's tooltip shows.
Text ImmunityHintAt(const ResultList& list, POINT clientPoint);
