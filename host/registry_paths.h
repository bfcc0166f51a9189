// How root numbers and textual paths become registry keys and value names.
// Internal to the host layer.
#pragma once

#include <windows.h>

#include "base/text_ops.h"
#include "host/scoped_handles.h"

// 1..5 give the five roots; any other number HKEY_CURRENT_USER.
HKEY RootKeyFromNumber(int root);

// Open, create or delete root\path. The ANSI functions refuse a path of
// MAX_PATH characters or more whole; a longer one is walked a key at a time,
// so that a key buried deeper than that still reads, lists and deletes.
// Each returns the registry's status.
LONG OpenRegistryKey(HKEY root, const Text& path, REGSAM access, ScopedKey& key);
LONG CreateRegistryKey(HKEY root, const Text& path, ScopedKey& key);   // every missing key on the way
LONG DeleteRegistryKey(HKEY root, const Text& path);                  // an empty key

struct RegistryLocation {
  Text subkey;      // opened relative to the root; "" for the root itself
  Text valueName;   // "" addresses the key's default value
};

// Splits a full registry path at its last backslash (never the trail byte
// of a two-byte character).
RegistryLocation SplitRegistryPath(const Text& path);

// The path without one trailing backslash (a real one, not a trail byte).
Text WithoutTrailingBackslash(const Text& path);

struct AbsolutePath {
  int root = 0;     // RootNumberFromName of the first component
  Text remainder;   // everything after the first backslash
};
// False for a text of fewer than two components ("HKEY_USERS",
// "HKEY_USERS\").
bool SplitAbsolutePath(const Text& absolutePath, AbsolutePath& result);
