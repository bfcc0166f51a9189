// The report a helper reads top to bottom: a header about the machine and
// this run, then every page of the window in the window's order, as the
// window shows it. Composed from the controls only: it reads nothing of the
// machine's that the window does not show, and changes nothing.
#pragma once

#include "app/main_controls.h"

// What the header says about backups: this run's folder (the window), or
// that none are made (a run that only reports).
enum class ReportBackups { ThisRunsFolder, NoneMade };

// The whole report, lines ended by "\r\n", in the code page's text.
Text ComposeReport(MainControls& c, ReportBackups backups);

// The name proposed for a report written now: "Veltro-<yyyymmdd>-<hhmmss>.txt".
Text ProposedReportName();

// Of a hosts file's text: the lines that map a name, and how many others
// (comments, blank lines, the loopback lines every clean machine has) were
// left out.
struct HostsMappings {
  TextList lines;
  std::size_t others = 0;
};
HostsMappings HostsMappingLines(const Text& content);
