// Registry lookups shared by the startup, hook and add-on scanners.
#pragma once

#include <vector>

#include "base/text_ops.h"
#include "host/registry_entry.h"

// Appends the subkey names of a key that exists. Listing alone must not
// create a key on the machine being examined, so a missing key lists nothing.
void ListPresentSubkeys(int root, const Text& keyPath, TextList& names);

// Class name and in-process server of a class identifier under
// HKEY_CLASSES_ROOT; the identifier is used as stored, braces included.
Text ClassNameOf(const Text& classId);
Text ClassServerOf(const Text& classId);

// The in-process server registered under HKEY_LOCAL_MACHINE
// "SOFTWARE\Classes\CLSID"; "" when the class or its server is missing.
Text ResolveClsidServer(const Text& classId);

// A key whose entries a list shows as values (the Run family, the hook and
// add-on value lists). Each scanner names its own from its location table,
// so that removal addresses those values by key and name.
struct ValueListKey {
  int root;
  Text key;
};
