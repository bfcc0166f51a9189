// Where the time of the list-filling steps goes, measured inside one
// process with the real main window (shown, on its first page, as during
// the full scan):
//
//   bench_steps.exe [RESULT_FILE]
//
// For each scanner: its time filling the real (hidden) list, the same scan
// with a list that has no window (what the list view costs is the
// difference), the same scan with the list's page shown, and the rows it
// made. Then what one ProcessPendingEvents costs with an empty queue.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "ui/redraw_pause.h"
#include "app/main_window.h"
#include "ui/prompts.h"
#include "host/files.h"
#include "scan/browser_addons.h"
#include "scan/image_hijacks.h"
#include "scan/services.h"
#include "scan/shell_hooks.h"
#include "scan/startup_entries.h"
#include "scan/winsock_providers.h"
#include "sysfiles/startup_folder.h"

namespace {

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void StartupFolder(ResultList& list) { LoadStartupFolderPage(list, GetSpecialFolder(kFolderStartup)); }

struct Step {
  const char* name;
  ResultList MainControls::*list;
  void (*scan)(ResultList&);
};

const Step kSteps[] = {
    {"startup", &MainControls::超级列表框6, ScanStartupEntries},
    {"folder", &MainControls::超级列表框7, StartupFolder},
    {"services", &MainControls::系统服务列表, ScanServices},
    {"addons", &MainControls::超级列表框5, ScanBrowserAddons},
    {"winsock", &MainControls::超级列表框2, ScanWinsockProviders},
    {"hijacks", &MainControls::超级列表框3, ScanImageHijacks},
    {"hooks", &MainControls::超级列表框4, ScanShellHooks},
};

// Shows the pages that hold a control, from the outside in, the way a
// click on each tab does.
void ShowPagesOf(HWND window, HWND control) {
  for (HWND page = GetParent(control); page != nullptr && page != window; page = GetParent(page)) {
    HWND tab = GetParent(page);
    if (tab == nullptr) break;
    char name[32] = {};
    GetClassNameA(tab, name, sizeof name);
    if (lstrcmpiA(name, WC_TABCONTROLA) != 0) continue;
    // The pages of a tab are its siblings' order; find this page's index.
    int index = 0;
    for (HWND sibling = GetWindow(page, GW_HWNDFIRST); sibling != nullptr; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
      if (sibling == page) break;
      char siblingName[32] = {};
      GetClassNameA(sibling, siblingName, sizeof siblingName);
      if (lstrcmpiA(siblingName, WC_TABCONTROLA) != 0 && GetParent(sibling) == tab) ++index;
    }
    SendMessageA(tab, TCM_SETCURFOCUS, static_cast<WPARAM>(index), 0);
  }
  ProcessPendingEvents();
}

}  // namespace

int main(int argc, char** argv) {
  std::FILE* out = argc > 1 ? std::fopen(argv[1], "wb") : stdout;
  if (out == nullptr) return 1;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  ProgramState program;
  HWND window = CreateMainWindow(program, {SW_SHOWNORMAL, false});
  if (window == nullptr) return 1;
  KillTimer(window, 1801);   // no full scan: the steps are run one by one here
  MainControls& c = *MainControlsOf(window);
  ProcessPendingEvents();

  for (const Step& step : kSteps) {
    ResultList& list = c.*step.list;
    step.scan(list);   // warm the caches, as the baseline does
    double start = NowMs();
    step.scan(list);
    const double real = NowMs() - start;
    const int rows = list.RowCount();
    ResultList nowhere;
    start = NowMs();
    step.scan(nowhere);
    const double windowless = NowMs() - start;
    double paused = 0;
    {
      RedrawPause pause(list.Handle());
      start = NowMs();
      step.scan(list);
      paused = NowMs() - start;
    }
    std::fprintf(out, "%s_rows=%d\n%s_hidden_ms=%.1f\n%s_hidden_paused_ms=%.1f\n%s_nolist_ms=%.1f\n", step.name, rows,
                 step.name, real, step.name, paused, step.name, windowless);
  }
  for (const Step& step : kSteps) {
    ResultList& list = c.*step.list;
    ShowPagesOf(window, list.Handle());
    double start = NowMs();
    step.scan(list);
    std::fprintf(out, "%s_shown_ms=%.1f\n", step.name, NowMs() - start);
    {
      RedrawPause pause(list.Handle());
      start = NowMs();
      step.scan(list);
    }
    ProcessPendingEvents();
    std::fprintf(out, "%s_shown_paused_ms=%.1f\n", step.name, NowMs() - start);
  }
  const int calls = 10000;
  const double start = NowMs();
  for (int i = 0; i < calls; ++i) ProcessPendingEvents();
  std::fprintf(out, "pending_events_us=%.1f\n", (NowMs() - start) * 1000.0 / calls);
  DestroyWindow(window);
  if (out != stdout) std::fclose(out);
  return 0;
}
