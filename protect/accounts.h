// Account audit: every account name registered in the SAM, read while the SAM
// keys are opened to Administrators and the system; afterwards each key gets
// back exactly the access list it had.
#pragma once

#include "ui/controls.h"

extern const char kAccountNamesKey[];     // below HKEY_LOCAL_MACHINE
extern const char kAccountBackupName[];   // "account-remove": its backups are "NNN-account-remove.reg"

// Refills the list (name, "成功"); lists nothing, and creates nothing, where
// the SAM has no Names key.
void ShowAccounts(ResultList& list);
// After a prompt deletes the current row's name key, then lists again.
void DeleteAccount(ResultList& list);
// Asks for an account backup (this run's newest offered, else the backup
// folder), and after a
// prompt imports it with the SAM keys opened, then lists again. A file that
// touches anything but name keys is refused; a restore that did not bring
// every name back says so.
void RestoreAccount(ResultList& list);
