// Registry immunity: locks the keys of the immunity list against changes, or
// makes them writable again, and edits the list.
//
// The list has two columns: the key as an absolute textual path, and its
// state ("OK" locked, "Del" unlocked, kImmunityFailed when the key's access
// list could not be replaced).
#pragma once

#include "ui/controls.h"

extern const char kImmunityFailed[];

// Asks for confirmation; on Yes builds the script of every row (key path +
// suffix each), applies it and sets each row's state. Returns the script
// applied ("" when the user said No).
Text RunImmunityScript(ResultList& list, const Text& suffix, const Text& status);
void ApplyImmunity(ResultList& list);     // " [8 19]\r\n", "OK"
void RemoveImmunity(ResultList& list);    // " [10 17 18]\r\n", "Del"

// Asks for a key path and appends it as a new row, unchecked.
void AddImmunityKey(ResultList& list);
// After a prompt removes the current row from the list; the registry is not touched.
void RemoveImmunityKey(ResultList& list);
