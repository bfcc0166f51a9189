// File-association hijacks beyond the exefile defaults: a shell key under
// ".exe" (Windows takes its command before exefile's), a user's own copy of
// a program class (it outranks the machine's for that user), and another
// extension mapped to exefile (its files then run as programs).
#pragma once

#include <vector>

#include "host/registry_restore_file.h"
#include "repair/repair_table.h"

// One row per hijack found: the explanation and the key concerned.
void CheckAssociationHijacks(std::vector<RestrictionRow>& rows);
// Takes every hijack out: the shell key and the user's class copies go
// whole, a foreign extension loses its mapping to exefile.
void RepairAssociationHijacks();
// What RepairAssociationHijacks may change, for its backup.
std::vector<RegistryBackupItem> AssociationHijackBackupItems();

// One row per program class whose open command is not Windows' own, and
// per foreign program class (secfile) that exists.
void CheckProgramClassCommands(std::vector<RestrictionRow>& rows);
// Writes Windows' command back where it was replaced; a foreign class goes.
void RepairProgramClassCommands();

// The machine's Winlogon shell and the association hijacks, after the
// catalogue's repairs: a shell other than Explorer becomes "Explorer.exe",
// and the other infection checks write their fixes.
void RepairInfectionPlaces();
std::vector<RegistryBackupItem> InfectionPlaceBackupItems();
