// Account audit: every account name registered in the SAM, read while the SAM
// keys are opened to everybody and closed again afterwards.
#pragma once

#include "ui/controls.h"

extern const char kAccountNamesKey[];   // below HKEY_LOCAL_MACHINE

// The access scripts: open the six SAM keys (and, for a deletion, the
// account's name key) to everybody; close the six to the system account.
Text SamOpenScript();
Text SamOpenScriptForAccount(const Text& name);
Text SamCloseScript();

// Opens the SAM keys, refills the list (name, "成功"), closes the keys.
void ShowAccounts(ResultList& list);
// After a prompt deletes the current row's name key, then lists again.
void DeleteAccount(ResultList& list);
