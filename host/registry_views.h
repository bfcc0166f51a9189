// Where 64-bit Windows keeps a second, 32-bit copy of a registry location.
//
// A 32-bit program that writes HKEY_LOCAL_MACHINE\SOFTWARE\...\Run on 64-bit
// Windows writes HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\...\Run, and Windows
// reads both. Scanners list each location in every view Windows keeps of
// it, native first, each row under its real path; removal then reaches that
// very entry in either build.
#pragma once

#include <vector>

#include "base/text_ops.h"

enum class RegistryView {
  Native,
  ThirtyTwoBit,   // what 32-bit programs see; its classes are their own too
};

struct KeyInView {
  Text key;   // below the root, as rows name it
  RegistryView view;
};

// The key itself and, on 64-bit Windows when WOW64 keeps a separate 32-bit
// copy of it, that copy ("SOFTWARE\Wow6432Node\..."). A key both views
// share, or any key on 32-bit Windows, has one entry.
std::vector<KeyInView> ViewsOfKey(int root, const Text& key);

// The file a program of the view means by the path, as a full path: a name
// without a folder is the System folder's file (FullFilePath). For the
// 32-bit view on 64-bit Windows a path in the System folder names the file
// in SysWOW64, which is where Windows sends a 32-bit program that opens it.
Text FileSeenFrom(RegistryView view, const Text& path);
