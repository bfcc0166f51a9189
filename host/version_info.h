// File version information: the labelled lines of a file's version strings
// and its description.
#pragma once

#include "base/text_ops.h"

// Replaces lines by the file's version lines (label, "：", padding to 12
// bytes, value), in the fixed key order; none when the file has no version
// resource. A path without a folder names the System folder's file.
void ReadVersionInfoLines(const Text& path, TextList& lines);
// The FileDescription string trimmed of blanks; "" when there is none.
Text GetFileDescription(const Text& path);
