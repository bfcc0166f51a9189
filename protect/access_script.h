// Access scripts in the regini format: one line per key, the key's absolute
// textual path, a space and its access codes in square brackets, lines
// separated by "\r\n".
//
// The script is applied in-process through the registry's security
// functions, not by writing it to a file for the regini tool: a file in a
// folder every user may write to could be swapped between its writing and
// its use, and regini as shipped with Wine ignores the access lists.
#pragma once

#include <vector>

#include "base/text_ops.h"

// Line suffixes of the immunity buttons.
extern const char kImmunitySuffix[];    // " [8 19]\r\n": read-only for everyone
// Writable again, by those who may change the machine only: everyone
// reads, Administrators and the system have full control; a key of
// HKEY_CURRENT_USER also gives its user full control.
extern const char kUnlockSuffix[];      // " [8 1 17]\r\n"
extern const char kUnlockUserSuffix[];  // " [8 1 17 40]\r\n"

struct AccessScriptLine {
  Text keyPath;
  std::vector<int> codes;
  bool wellFormed = false;   // path, space, "[codes]" with known numeric codes
};

// Splits the script into lines at "\r\n"; a final "\r\n" ends the last line
// and opens no new one. An empty script has no lines.
std::vector<AccessScriptLine> ParseAccessScript(const Text& script);

// Number of lines the text contributes to a script it is a part of, when it
// ends in "\r\n" (every occurrence of "\r\n" ends one line).
std::size_t CountScriptLines(const Text& text);

// Replaces each line's key access list by its codes, in order. One result per
// line: true only when that key's list was really replaced. A malformed line
// changes nothing and gives false; so does every line when the lists could
// not be backed up and the user chose to stop.
std::vector<bool> ApplyAccessScript(const Text& script);
