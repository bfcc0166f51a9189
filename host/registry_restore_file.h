// Registry files that put back what a change is about to alter.
//
// The text is the Unicode format "Windows Registry Editor Version 5.00",
// which regedit of Windows 2000 to 7 imports with a double-click or
// "regedit /s FILE". It is read with the wide registry functions, in the
// native view, so that names outside the code page, types and data all come
// back exactly: imported, the file restores each item as it is now.
#pragma once

#include <string>
#include <vector>

#include "base/text_ops.h"

struct RegistryBackupItem {
  enum class Kind {
    Value,   // one value: its data, or its removal when it is missing now
    Tree,    // a key with everything below it, or its removal when missing
  };
  Kind kind;
  int root;
  Text key;         // below the root
  Text valueName;   // Value only; "" is the key's default value
};

RegistryBackupItem ValueBackup(int root, const Text& key, const Text& valueName);
RegistryBackupItem TreeBackup(int root, const Text& key);

// The file's text, without its byte-order mark. A value of a missing key
// removes the first missing key on its way, which the change would create.
// note: comment lines (each "; ..." and "\r\n") put after the first line.
std::wstring RegistryRestoreText(const std::vector<RegistryBackupItem>& items, const std::wstring& note = L"");

// The keys a restore file (Unicode, as written above) names in its "[...]"
// lines, removals included, as absolute textual paths in the code page.
// false for a file that is not such a file, or names a key the code page
// cannot write.
bool ReadRestoreFileKeys(const Text& file, TextList& absoluteKeyPaths);

// Imports the file with the system's regedit ("regedit /s") and waits for
// it; true when regedit ran.
bool ImportRegistryFile(const Text& file);
