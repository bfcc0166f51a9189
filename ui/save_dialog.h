// The standard dialog that asks where to save a file.
#pragma once

#include <windows.h>

#include "base/text_ops.h"

// Opens in folder with proposedName filled in, for a text file (".txt" is
// added to a name typed without an extension); an existing file is replaced
// only after the dialog's own question. true with the chosen path on OK;
// false (path unchanged) on Cancel or when the dialog cannot open.
bool AskSavePath(HWND owner, const Text& folder, const Text& proposedName, Text& path);
