// How root numbers and textual paths become registry keys and value names.
// Internal to the host layer.
#pragma once

#include <windows.h>

#include "base/text_ops.h"
#include "host/registry_entry.h"
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

// The path without one trailing backslash (a real one, not a trail byte).
Text WithoutTrailingBackslash(const Text& path);
