// Registry lookups shared by the startup, hook and add-on scanners.
#pragma once

#include "base/text_ops.h"

// "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", ... for a root number: the
// absolute paths rows carry begin with it.
Text RootName(int root);

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

// Splits an absolute textual path at its first backslash into the root's
// number (0 for an unknown name) and the rest. False without a backslash.
bool SplitRowPath(const Text& absolutePath, int& root, Text& rest);
// A path below one of the keys whose entries the lists show as values (the
// Run family, the hook and add-on value lists): split right after that key,
// since a value name may itself hold backslashes. False for any other path.
bool SplitValueEntry(const Text& absolutePath, int& root, Text& key, Text& valueName);
// Splits a full registry path at its last backslash, stepping over the second
// byte of two-byte characters: key "" when there is no backslash.
void SplitValuePath(const Text& path, Text& key, Text& valueName);
