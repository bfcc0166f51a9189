// The report's header lines.
#pragma once

#include "app/report.h"

// "Veltro：...", "Windows：...", "用户：...", "时间：...", "备份：...", each
// ended by "\r\n".
Text ReportHeader(ReportBackups backups);

// The header line that names the time: two reports of one machine differ
// in it only.
extern const char kReportTimeLabel[];
extern const char kReportBackupLabel[];
