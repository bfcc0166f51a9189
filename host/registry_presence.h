// Presence tests that keep "cannot tell" apart from "absent".
//
// Removal uses them to learn whether an entry is really gone, and scanners to
// avoid creating a key merely by listing it. Only what the registry reports
// as not found counts as absent: a key we may not open (a locked ACL, say)
// counts as present, so nothing is ever shown as deleted that may still be
// there.
#pragma once

#include "base/text_ops.h"

// root: a registry root number as in host/registry.h (other numbers mean
// HKEY_CURRENT_USER). keyPath: below the root, trailing backslash optional.
bool RegistryKeyPresent(int root, const Text& keyPath);
// valueName "" is the key's default value.
bool RegistryValuePresent(int root, const Text& keyPath, const Text& valueName);
