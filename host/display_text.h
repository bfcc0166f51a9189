// Names and descriptions that Windows keeps as a reference to a string
// resource instead of the string itself: "@" + file + "," + minus the
// string's id, optionally followed by ";" and a text for when the file cannot
// give it. Windows 7 stores most service names and descriptions so
// ("@%SystemRoot%\system32\aelupsvc.dll,-1").
#pragma once

#include "base/text_ops.h"

// The value as ReadRegistryText gives it, a reference replaced by the string
// it names, in the user's language where Windows keeps one in a .mui file (as
// the Services console shows it); failing that the text after ";", else the
// text as stored.
Text ReadRegistryDisplayText(int root, const Text& path);

// String `id` of the file's own string table, the file loaded as data (none
// of its code runs); "" when the file or the string is missing. What a
// Windows without functions for references is left with.
Text LoadFileString(const Text& file, unsigned id);
