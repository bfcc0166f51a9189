// Registry lookups shared by the startup, hook and add-on scanners.
#pragma once

#include <vector>

#include "base/text_ops.h"
#include "host/registry_entry.h"
#include "host/registry_views.h"

// Appends the subkey names of a key that exists. Listing alone must not
// create a key on the machine being examined, so a missing key lists nothing.
void ListPresentSubkeys(int root, const Text& keyPath, TextList& names);

// Class name and in-process server of a class identifier under
// HKEY_CLASSES_ROOT; the identifier is used as stored, braces included, and
// a name kept as a reference to a string resource reads as that string. A
// row of a 32-bit copy names a class of the 32-bit class view, which
// 64-bit Windows keeps apart ("Wow6432Node\CLSID").
Text ClassNameOf(const Text& classId, RegistryView view = RegistryView::Native);
Text ClassServerOf(const Text& classId, RegistryView view = RegistryView::Native);

// The in-process server registered under HKEY_LOCAL_MACHINE
// "SOFTWARE\Classes\CLSID" (32-bit view: "SOFTWARE\Classes\Wow6432Node\CLSID");
// "" when the class or its server is missing.
Text ResolveClsidServer(const Text& classId, RegistryView view = RegistryView::Native);

// A key whose entries a list shows as values (the Run family, the hook and
// add-on value lists). Each scanner names its own from its location table,
// so that removal addresses those values by key and name.
struct ValueListKey {
  int root;
  Text key;
};
