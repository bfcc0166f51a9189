// The restriction scan: the fixed catalogue of policy and hijack checks plus
// the checks of the repair table, shown in the restriction list.
#pragma once

#include <windows.h>

#include <vector>

#include "host/registry_restore_file.h"
#include "repair/repair_table.h"
#include "ui/controls.h"

// Rebuilds the list (catalogue rows, then repair-table rows) and the pending
// repairs, shows the row count as "N条" and repaints the window at once.
void ScanRestrictions(ResultList& list, Label& countLabel, TextList& pendingRepairs,
                      HWND repaintWindow);

// Appends one row per catalogue check found damaged.
void CheckRestrictionCatalogue(std::vector<RestrictionRow>& rows);
// Appends one row per damage found in the places documented infections use
// beyond the catalogue: the Winlogon shell, the association hijacks, the
// account control switch, the machine's start page and the program classes'
// open commands.
void CheckInfectionPlaces(std::vector<RestrictionRow>& rows);

// The fixes of the infection-place checks that carry their own (the user
// account control switch, the machine's start page): written only where the
// check finds damage, in the view it found it.
void RepairInfectionChecks();
// What RepairInfectionChecks may change, for its backup.
std::vector<RegistryBackupItem> InfectionCheckBackupItems();
