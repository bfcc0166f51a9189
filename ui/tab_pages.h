// The pages of the window's tab controls (internal to the window engine):
// one plain container window per tab, shown while its tab is selected.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/window_engine.h"

struct TabState {
  int id = 0;
  HWND tab = nullptr;
  POINT pageOrigin{};          // where the pages sit inside the tab control
  std::vector<HWND> pages;
};

void RegisterPageClass();
// Adds the tabs that the definition gives the tab control and a page for each.
TabState AddTabPages(const WindowDefinition& definition, HWND tab, int id, const RECT& bounds);
void ShowSelectedPage(const TabState& tab);
