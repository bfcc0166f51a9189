// The files of one folder, as the file system lists them.
#pragma once

#include "base/text_ops.h"

// Replaces names by the names (without folder) of the entries matching the
// pattern (for example "C:\dir\*.*") that are not folders, hidden and system
// files included, in the order the file system returns them. No match or a
// failure gives an empty list.
void ListFolderFiles(const Text& pattern, TextList& names);
