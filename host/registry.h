// Registry access by root number and full registry path, or by absolute
// textual path ("HKEY_LOCAL_MACHINE\SOFTWARE\...").
//
// A full registry path ends in a value name; a trailing backslash addresses
// the key's default value. Paths split at their last backslash, stepping over
// the second byte of two-byte characters. No operation reports an error:
// failures give the default, "", 0, an empty list or false.
#pragma once

#include "base/text_ops.h"
#include "host/registry_entry.h"

enum RegistryRootNumber : int {
  kClassesRoot = 1,
  kCurrentConfig = 2,
  kCurrentUser = 3,
  kLocalMachine = 4,
  kUsers = 5,   // any other number means HKEY_CURRENT_USER
};


Text ReadRegistryText(int root, const Text& path, const Text& defaultText = Text());
// Any value's data as text: a string as ReadRegistryText gives it, any other
// type its bytes up to the first zero byte, as ListValues shows them.
Text ReadRegistryDataAsText(int root, const Text& path);
int32_t ReadRegistryNumber(int root, const Text& path, int32_t defaultNumber = 0);
ByteString ReadRegistryBytes(int root, const Text& path, const ByteString& defaultBytes = ByteString());

bool WriteRegistryValue(int root, const Text& path, int32_t number);
bool WriteRegistryValue(int root, const Text& path, const Text& text);
bool WriteRegistryValue(int root, const Text& path, const char* text);
bool WriteRegistryValue(int root, const Text& path, const ByteString& bytes);

// Deletes the value the path names or, failing that, the (empty) key whose
// path is the whole text.
bool DeleteRegistryItem(int root, const Text& path);
// Deletes exactly the value of that name (which may hold backslashes) of the
// key, never a key; true when it was deleted.
bool DeleteRegistryValue(int root, const Text& keyPath, const Text& valueName);
bool RegistryItemExists(int root, const Text& path);
// Deletes the key and every key below it, in this process; values go with
// their keys, and nothing but keys is addressed.
void DeleteRegistryTree(int root, const Text& keyPath);

// Appends the key's direct subkey names, each whole. Opens the key with
// create semantics: a missing key is created, empty.
void ListSubkeys(int root, const Text& keyPath, TextList& names);
// Replaces both lists by the key's value names and their data read as text
// (unexpanded, up to the first zero byte); every value is listed whatever
// the size of its name or data.
void ListValues(int root, const Text& keyPath, TextList& names, TextList& data);

Text ReadValueByFullPath(const Text& absolutePath);
bool DeleteByFullPath(const Text& absolutePath);
