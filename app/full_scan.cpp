// The full scan at start-up: every page filled once, in a fixed order, while
// 进度条1 and 标签13 show the step.
#include "app/handlers.h"
#include "app/main_window.h"
#include "ui/prompts.h"
#include "app/window_definition.h"

namespace {

struct ScanStep {
  const char* caption;   // shown in 标签13 while the step runs
  Action action;         // the same action as the page's refresh button
};

const ScanStep kScanSteps[] = {
    {"注册表修复", OnCheckErrors},
    {"启动项   ---------   注册表", OnStartupRefresh},
    {"启动项   ---------   文件夹", OnStartupFolderRefresh},
    {"启动项   ---------   win.ini", LoadWinIniPage},
    {"启动项   ---------   system.ini", LoadSystemIniPage},
    {"启动项   ---------   Autoexec.bat", LoadAutoexecBatPage},
    {"启动项   ---------   config.sys", LoadConfigSysPage},
    {"启动项   ---------   boot.ini", LoadBootIniPage},
    {"启动项   ---------   服务", OnServicesRefresh},
    {"hosts 文件", LoadHostsPage},
    {"IE 浏览器", OnBrowserRefresh},
    {"Winsock 供应者", OnWinsockRefresh},
    {"映像劫持", OnImageHijackRefresh},
    {"资源管理", OnShellHookRefresh},
};

// Advanced by reading and adding one, never set to the step number: a
// handler that runs nested inside the scan sees the bar move the same way.
void AdvanceProgress(ProgressBar& bar) { bar.SetPosition(bar.Position() + 1); }

}  // namespace

void RunFullScan(MainControls& c) {
  RunExclusive(c, OnShowAccounts);   // no caption, no progress step
  c.进度条1.SetPosition(0);
  for (const ScanStep& step : kScanSteps) {
    // Closed meanwhile: the step that was running has finished; no more.
    if (CloseRequested(c.window)) return;
    AdvanceProgress(c.进度条1);
    c.标签13.SetCaption(step.caption);
    // A step whose refresh the user already started (nested) is not run twice.
    RunExclusive(c, step.action);
    RepaintNow(c.window);
  }
  AdvanceProgress(c.进度条1);
  c.标签13.SetCaption("完毕！");
}
