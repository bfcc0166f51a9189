// Add-ons Internet Explorer loads: toolbar buttons and menu extensions,
// toolbars, browser helper objects and address-bar search hooks.
#pragma once

#include <vector>

#include "scan/registry_lookups.h"
#include "ui/controls.h"

// Refills the list (columns "名称", "描述", "路径", hidden "值"); the hidden
// cell is the absolute path of the entry's key or value.
void ScanBrowserAddons(ResultList& list);
// The keys whose values the list shows as rows.
std::vector<ValueListKey> BrowserAddonValueKeys();
