#include "app/report_header.h"

#include "host/backup.h"
#include "host/native_view.h"
#include "host/system_facts.h"

const char kReportTimeLabel[] = "时间：";
const char kReportBackupLabel[] = "备份：";

namespace {

#ifdef _WIN64
const char kVeltroBuild[] = "64 位版（x86_64）";
#else
const char kVeltroBuild[] = "32 位版（i686）";
#endif

Text WindowsLine() {
  const WindowsVersion version = CurrentWindowsVersion();
  Text line = WindowsName(version);
  if (!line.empty()) line += " ";
  line += "版本 " + ToText(version.major) + "." + ToText(version.minor) + "，内部版本 " + ToText(version.build);
  line += version.servicePack.empty() ? Text("，无 Service Pack") : "，" + version.servicePack;
  line += OnSixtyFourBitWindows() ? "，64 位 Windows" : "，32 位 Windows";
  return line;
}

Text UserLine() {
  const Text name = CurrentUserName();
  return (name.empty() ? Text("（未知）") : name) +
         (RunsAsAdministrator() ? "，以管理员权限运行" : "，没有管理员权限（修改会失败）");
}

}  // namespace

Text ReportHeader(ReportBackups backups) {
  const Text backupLine = backups == ReportBackups::NoneMade
                              ? Text("不做备份（只生成报告，不修改系统）")
                              : BackupFolderShown() + "（本次运行的每项修改先备份到这里）";
  return "Veltro 检查报告\r\n"
         "Veltro：" + Text(kVeltroBuild) + "\r\n"
         "Windows：" + WindowsLine() + "\r\n"
         "用户：" + UserLine() + "\r\n" +
         kReportTimeLabel + LocalTimeStamp().readable + "\r\n" +
         kReportBackupLabel + backupLine + "\r\n";
}
