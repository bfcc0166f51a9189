// The Startup-folder page: the files of the user's Startup folder, with
// their descriptions, and their deletion.
#pragma once

#include "ui/controls.h"

// Fills the list (columns: full path, file description, full path hidden)
// with the folder's files; sub-folders are left out. folder ends in "\";
// "" lists nothing.
void LoadStartupFolderPage(ResultList& list, const Text& folder);
// Asks, then deletes the file of the topmost selected row and, when that
// worked, the row.
void DeleteStartupFolderFile(ResultList& list);
