// Creation of the defined controls (internal to the window engine): the one
// caller of CreateWindowEx for controls, the shaping each kind needs, and the
// list columns.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/tab_pages.h"
#include "ui/window_engine.h"

// Creates every control of the definition in its container; tab controls get
// their pages as they are made (tabs receives them).
void CreateDefinedControls(HWND window, const WindowDefinition& definition, std::vector<TabState>& tabs);
