// The restriction scan: the fixed catalogue of policy and hijack checks plus
// the checks of the repair table, shown in the restriction list.
#pragma once

#include <windows.h>

#include <vector>

#include "repair/repair_table.h"
#include "ui/controls.h"

// Rebuilds the list (catalogue rows, then repair-table rows) and the pending
// repairs, shows the row count as "N条" and repaints the window at once.
void ScanRestrictions(ResultList& list, Label& countLabel, TextList& pendingRepairs,
                      HWND repaintWindow);

// Appends one row per catalogue check found damaged.
void CheckRestrictionCatalogue(std::vector<RestrictionRow>& rows);
// Appends one row per damage found in the places documented infections use
// beyond the catalogue: the Winlogon shell and the association hijacks.
void CheckInfectionPlaces(std::vector<RestrictionRow>& rows);
