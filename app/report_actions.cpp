#include "app/report_actions.h"

#include "app/handlers.h"
#include "app/main_window.h"
#include "app/report.h"
#include "host/files.h"
#include "ui/prompts.h"
#include "ui/save_dialog.h"

bool WriteReport(const Text& path, const Text& report) {
  return WriteFileBytes(path, ByteString(report.begin(), report.end()));
}

void OnSaveReport(MainControls& c) {
  Text path;
  if (!AskSavePath(c.window, GetSpecialFolder(kFolderDesktop), ProposedReportName(), path)) return;
  if (!WriteReport(path, ComposeReport(c, ReportBackups::ThisRunsFolder))) {
    ShowMessageBox("报告未能保存：\r\n" + path, MB_ICONWARNING, "Windows");
  }
}

int RunReportOnly(const Text& file) {
  ProgramState program;
  MainWindowOptions options;
  options.showCommand = SW_HIDE;
  options.quitOnClose = false;
  HWND window = CreateMainWindow(program, options);
  MainControls* controls = MainControlsOf(window);
  if (controls == nullptr) return kReportNotWritten;
  // The scan the timer would start, at once; the timer never fires.
  OnTimerTick(*controls);
  const bool written = WriteReport(file, ComposeReport(*controls, ReportBackups::NoneMade));
  DestroyWindow(window);
  return written ? kReportWritten : kReportNotWritten;
}
