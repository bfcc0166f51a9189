// The commands of the Start menu's browsers
// (HKLM\SOFTWARE\Clients\StartMenuInternet\<browser>\shell\<verb>\command):
// rogue anti-virus programs wrap them in their own, as they wrap the
// program classes' commands.
#pragma once

#include <vector>

#include "host/registry_restore_file.h"
#include "repair/repair_table.h"

// One row per command, in every registry view, that does not start the
// browser its key is named for.
void CheckBrowserCommands(std::vector<RestrictionRow>& rows);
// Writes the browser's own program, as App Paths records it, over each such
// command; a browser App Paths does not know keeps its command (and its row).
void RepairBrowserCommands();
std::vector<RegistryBackupItem> BrowserCommandBackupItems();
