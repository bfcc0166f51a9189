// COM components loaded into Explorer or into programs that use the URL
// protocol stack: protocol handlers and filters, shared task scheduler and
// delay-loaded shell service objects, ShellExecute hooks, approved shell
// extensions, folder column handlers, and the classes a user registers for
// himself, which outrank the machine's.
#pragma once

#include <vector>

#include "scan/registry_lookups.h"
#include "ui/controls.h"

// Refills the list (columns "名称", "描述", "路径", hidden "值"); the hidden
// cell is the absolute path of the entry's key or value.
void ScanShellHooks(ResultList& list);
// The keys whose values the list shows as rows.
std::vector<ValueListKey> ShellHookValueKeys();
