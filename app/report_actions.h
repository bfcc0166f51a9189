// Where a report goes: the file the user picks in the save dialog, or the
// file named on the command line of a run that only reports.
#pragma once

#include "app/main_controls.h"

// "保存报告...": asks where (the desktop and a dated name proposed) and
// writes the report there; says so when it could not.
void OnSaveReport(MainControls& c);

// Writes the report to path whole or not at all: the text goes to a new
// file beside it that then takes its name. false when it could not.
bool WriteReport(const Text& path, const Text& report);

// Exit codes of a run that only reports.
enum ReportRunResult : int { kReportWritten = 0, kReportNotWritten = 1, kUsageShown = 2 };

// The whole run of "Veltro.exe /report FILE": the window is made but never
// shown, the full scan fills it, the report goes to file. Nothing is
// repaired, removed or backed up.
int RunReportOnly(const Text& file);
