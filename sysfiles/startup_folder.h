// The Startup-folder page: the files of the user's Startup folder, with
// their descriptions, and their deletion.
#pragma once

#include "ui/controls.h"

// Fills the list (columns: full path, file description, full path hidden)
// with the folder's files, sub-folders left out (folder ends in "\"; ""
// lists none), then with the autorun.inf files of the local drives (their
// description: what they start).
void LoadStartupFolderPage(ResultList& list, const Text& folder);
// Asks, then deletes the file of the topmost selected row and, when that
// worked, the row.
void DeleteStartupFolderFile(ResultList& list);
