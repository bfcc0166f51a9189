// The one identity of a registry entry named by text, and the one table of
// root names.
//
// Rows, repairs and removals name entries as text: an absolute path
// ("HKEY_LOCAL_MACHINE\SOFTWARE\...\Name") or a full path below a known root
// ("SOFTWARE\...\Name"). Either is split once, here, at its last backslash by
// the double-byte rule of LastBackslash: what comes before is the key, what
// follows is the value name ("" after a trailing backslash: the key's default
// value). Reading, writing, deleting and presence tests all work on the parts.
#pragma once

#include "base/text_ops.h"

struct RegistryEntry {
  int root = 0;      // a RegistryRootNumber; 0 for a name that is no root
  Text key;          // below the root; "" for the root itself
  Text valueName;    // "" addresses the key's default value
  // The full path below the root, as it was given.
  Text Path() const { return key.empty() ? valueName : key + "\\" + valueName; }
};

// "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", ... for a root number (any
// number that is no root means HKEY_CURRENT_USER, as everywhere).
Text RootName(int root);
// 1..5 for the five root names (ASCII case ignored), 0 otherwise.
int RootNumberFromName(const Text& rootName);

// A full path below the given root.
RegistryEntry EntryBelowRoot(int root, const Text& path);
// An absolute path. The root name is ASCII, so its backslash is the first
// one. false (entry untouched) for a text of fewer than two components
// ("HKEY_USERS", "HKEY_USERS\").
bool ParseAbsoluteEntry(const Text& absolutePath, RegistryEntry& entry);
// An absolute path that lies in the given key, whose entries are values:
// split right after that key (letters compared without regard to case),
// since such a value's name may itself hold backslashes. false otherwise.
bool ParseValueOfKey(const Text& absolutePath, int root, const Text& key, RegistryEntry& entry);
