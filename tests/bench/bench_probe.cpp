// Watches a running Veltro from outside and measures it:
//
//   bench_probe.exe RESULT_FILE [TIMEOUT_SECONDS [curve]]
//
// Started next to Veltro.exe on the same display. It finds the main window,
// follows the caption of 标签13 (id 1113) through the full scan, pings the
// window from a second thread to find the longest time it does not answer,
// reads the process's peak working set, then times the hosts page: the load
// (按钮5), the save (按钮3) and, as the floor, one WM_SETTEXT of the same
// text into 编辑框1. Leaves Veltro running; writes "key=value" lines.
//
// A click is posted by the window and runs from its message loop, so a sent
// click returns before the handler has run. The probe therefore sends the
// message the click posts (the binding's index from the window definition)
// with SendMessage, which returns when the handler has finished.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <atomic>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/window_definition.h"
#include "tests/support/background_thread.h"

namespace {

const char kMainWindowClass[] = "VeltroMainWindow";
constexpr int kCaptionLabel = 1113;
constexpr int kHostsEdit = 1201;
constexpr int kHostsReload = 1005;
constexpr int kHostsSave = 1003;

const char* const kStepCaptions[] = {
    "注册表修复", "启动项   ---------   注册表", "启动项   ---------   文件夹",
    "启动项   ---------   win.ini", "启动项   ---------   system.ini", "启动项   ---------   Autoexec.bat",
    "启动项   ---------   config.sys", "启动项   ---------   boot.ini", "启动项   ---------   服务",
    "hosts 文件", "IE 浏览器", "Winsock 供应者", "映像劫持", "资源管理",
};
constexpr int kStepCount = 14;
const char kDone[] = "完毕！";

// Phases the gaps are charged to: 0 before the first caption (the idle wait
// for the timer and the account list), 1..14 the steps, then the hosts page.
enum Phase { kPhaseStart = 0, kPhaseDone = 15, kPhaseLoad, kPhaseSave, kPhaseFloor, kPhaseIdle, kPhaseCount };
const char* const kPhaseNames[kPhaseCount] = {
    "start", "s1", "s2", "s3", "s4", "s5", "s6", "s7", "s8", "s9", "s10", "s11", "s12", "s13", "s14",
    "done", "hosts_load", "hosts_save", "floor", "idle"};

LARGE_INTEGER frequency;

double NowMs() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Child {
  int id;
  HWND found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM lParam) {
  auto* search = reinterpret_cast<Child*>(lParam);
  if (GetDlgCtrlID(child) != search->id) return TRUE;
  search->found = child;
  return FALSE;
}

HWND FindChild(HWND window, int id) {
  Child search{id, nullptr};
  EnumChildWindows(window, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Shows the page holding the hosts file, as the user does before pressing
// its buttons: selecting a tab through its focus sends the notifications a
// click sends, so the window shows the page.
bool ShowHostsPage(HWND window, HWND edit) {
  for (const TabPages& tabs : TabPageDefinitions()) {
    for (int i = 0; i < 8 && tabs.captions[i] != nullptr; ++i) {
      if (std::strcmp(tabs.captions[i], "HOSTS文件") != 0) continue;
      if (HWND tab = FindChild(window, tabs.tabId)) SendMessageA(tab, TCM_SETCURFOCUS, static_cast<WPARAM>(i), 0);
    }
  }
  Sleep(200);
  return IsWindowVisible(edit) != FALSE;
}

// Pings the main window with WM_NULL: a sent message is answered only when
// the window's thread looks at its queue, so the reply time is how long the
// window went without answering.
class Pinger {
 public:
  explicit Pinger(HWND window) : window_(window), thread_([this] { Run(); }) {}
  ~Pinger() {
    stop_ = true;   // the thread is joined next
  }
  void SetPhase(int phase) { phase_ = phase; }
  double Worst(int phase) const { return worst_[phase]; }
  double WorstAt(int phase) const { return worstAt_[phase]; }
  long Pings(int phase) const { return pings_[phase]; }

 private:
  void Run() {
    while (!stop_) {
      const int phase = phase_;
      const double start = NowMs();
      DWORD_PTR result = 0;
      if (!SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &result)) return;
      const double latency = NowMs() - start;
      if (latency > worst_[phase]) {
        worst_[phase] = latency;
        worstAt_[phase] = start;
      }
      ++pings_[phase];
      // The gap is seen to within this pause; pinging faster would load the
      // window (and the shared wineserver) with the measurement itself.
      Sleep(5);
    }
  }
  HWND window_;
  std::atomic<bool> stop_{false};
  std::atomic<int> phase_{kPhaseStart};
  double worst_[kPhaseCount] = {};
  double worstAt_[kPhaseCount] = {};
  long pings_[kPhaseCount] = {};
  BackgroundThread thread_;   // last: starts once the rest is ready
};

// Presses the default button of any dialog the process shows while a
// handler runs (a refused save asks nothing but says why), and remembers it.
class DialogWatch {
 public:
  explicit DialogWatch(DWORD process) : process_(process), thread_([this] { Run(); }) {}
  ~DialogWatch() {
    stop_ = true;   // the thread is joined next
  }
  std::string Seen() const { return seen_; }

 private:
  static BOOL CALLBACK Match(HWND window, LPARAM lParam) {
    auto* self = reinterpret_cast<DialogWatch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (owner != self->process_ || std::strcmp(name, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    char text[512] = {};
    if (HWND message = GetDlgItem(window, 0xFFFF)) GetWindowTextA(message, text, sizeof text);
    self->found_ = window;
    self->text_ = text;
    return FALSE;
  }
  void Run() {
    while (!stop_) {
      found_ = nullptr;
      EnumWindows(Match, reinterpret_cast<LPARAM>(this));
      if (found_ != nullptr) {
        if (seen_.empty()) seen_ = text_;
        PostMessageA(found_, WM_COMMAND, IDOK, 0);
        PostMessageA(found_, WM_CLOSE, 0, 0);
      }
      Sleep(50);
    }
  }
  DWORD process_;
  HWND found_ = nullptr;
  std::string text_;
  std::string seen_;
  std::atomic<bool> stop_{false};
  BackgroundThread thread_;
};

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string HostsPath() {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  return std::string(system) + "\\drivers\\etc\\hosts";
}

std::string CaptionOf(HWND label) {
  char text[256] = {};
  // Another process's window: the text comes from the window manager
  // without a message, so reading it never waits for the busy window.
  GetWindowTextA(label, text, sizeof text);
  return text;
}

// An edit box made like 编辑框1 (class, styles, client size, the stock GUI
// font the window gives every control, text limit) in a visible window of
// this process. A text of megabytes cannot be sent to another process in one
// message, so the floor is measured here: one WM_SETTEXT of the whole text.
class MirrorEdit {
 public:
  explicit MirrorEdit(HWND original) {
    RECT client{};
    GetClientRect(original, &client);
    const LONG_PTR style = GetWindowLongPtrA(original, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrA(original, GWL_EXSTYLE);
    RECT frame{0, 0, client.right, client.bottom};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    top_ = CreateWindowExA(0, "STATIC", "floor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, frame.right - frame.left + 40,
                           frame.bottom - frame.top + 40, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    edit_ = CreateWindowExA(static_cast<DWORD>(exStyle), "EDIT", "",
                            (static_cast<DWORD>(style) | WS_CHILD | WS_VISIBLE) & ~WS_POPUP, 0, 0, client.right,
                            client.bottom, top_, nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    DWORD_PTR limit = 0;
    if (SendMessageTimeoutA(original, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, 10000, &limit)) {
      SendMessageA(edit_, EM_SETLIMITTEXT, limit, 0);
    }
    Pump();
  }
  ~MirrorEdit() { DestroyWindow(top_); }
  HWND Edit() const { return edit_; }
  // Lets the window paint what it shows, as the real one does between steps.
  static void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }

 private:
  HWND top_ = nullptr;
  HWND edit_ = nullptr;
};

double MirrorFloor(HWND original, const std::string& text) {
  MirrorEdit mirror(original);
  const double start = NowMs();
  SendMessageA(mirror.Edit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  MirrorEdit::Pump();
  return NowMs() - start;
}

// Fills the mirror the way a page load does (pieces appended at the end with
// drawing paused, the end kept in view, the window serviced between pieces)
// and reports the total and the longest single piece: the longest time the
// window could not answer, whatever else the load does.
void MirrorPieces(HWND original, const std::string& text, std::size_t pieceBytes, double& total, double& worst,
                  double& last) {
  MirrorEdit mirror(original);
  const HWND edit = mirror.Edit();
  total = worst = last = 0;
  const double start = NowMs();
  for (std::size_t at = 0; at < text.size(); at += pieceBytes) {
    const std::string piece = text.substr(at, pieceBytes);
    const double pieceStart = NowMs();
    SendMessageA(edit, WM_SETREDRAW, FALSE, 0);
    SendMessageA(edit, EM_SETSEL, INT_MAX, INT_MAX);
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece.c_str()));
    SendMessageA(edit, WM_SETREDRAW, TRUE, 0);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    InvalidateRect(edit, nullptr, TRUE);
    MirrorEdit::Pump();
    last = NowMs() - pieceStart;
    if (last > worst) worst = last;
  }
  total = NowMs() - start;
}

double MegaBytes(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

class Report {
 public:
  explicit Report(const char* path) : file_(std::fopen(path, "wb")) {}
  ~Report() {
    if (file_ != nullptr) std::fclose(file_);
  }
  void Number(const char* key, double value) { Line(key, value, "%.1f"); }
  void Text(const char* key, const std::string& value) {
    if (file_ != nullptr) std::fprintf(file_, "%s=%s\n", key, value.c_str());
    std::printf("%s=%s\n", key, value.c_str());
    if (file_ != nullptr) std::fflush(file_);
  }

 private:
  void Line(const char* key, double value, const char* format) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    Text(key, text);
  }
  std::FILE* file_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_probe RESULT_FILE [TIMEOUT_SECONDS]\n");
    return 2;
  }
  QueryPerformanceFrequency(&frequency);
  Report report(argv[1]);
  const double timeout = (argc > 2 ? std::atof(argv[2]) : 1800.0) * 1000.0;
  const double begin = NowMs();

  HWND window = nullptr;
  while ((window = FindWindowA(kMainWindowClass, nullptr)) == nullptr || !IsWindowVisible(window)) {
    if (NowMs() - begin > 120000) {
      report.Text("error", "no main window");
      return 1;
    }
    Sleep(1);
  }
  const double visible = NowMs();
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE, FALSE, processId);
  HWND label = nullptr;
  while ((label = FindChild(window, kCaptionLabel)) == nullptr) Sleep(1);
  HWND edit = FindChild(window, kHostsEdit);
  PROCESS_MEMORY_COUNTERS memory{};
  GetProcessMemoryInfo(process, &memory, sizeof memory);
  const SIZE_T startSet = memory.WorkingSetSize;

  Pinger pinger(window);
  double stepStart[kStepCount + 2] = {};   // [1..14] first seen, [15] done
  std::string caption;
  int phase = kPhaseStart;
  while (phase != kPhaseDone) {
    if (NowMs() - begin > timeout) {
      report.Text("error", "no 完毕！ before the time-out; last caption: " + caption);
      return 1;
    }
    const std::string now = CaptionOf(label);
    if (now != caption) {
      caption = now;
      const double at = NowMs();
      if (caption == kDone) phase = kPhaseDone;
      for (int step = 1; step <= kStepCount; ++step) {
        if (caption == kStepCaptions[step - 1]) phase = step;
      }
      if (stepStart[phase] == 0) stepStart[phase] = at;
      pinger.SetPhase(phase);
    }
    // A step shorter than the pause may go unseen; it is then counted
    // with the step before it.
    Sleep(1);
  }
  const double done = stepStart[kPhaseDone];
  // A step whose caption was never seen took no measurable time: it starts
  // where the next seen one does.
  for (int step = kStepCount; step >= 1; --step) {
    if (stepStart[step] == 0) stepStart[step] = stepStart[step + 1];
  }
  const double tick = visible + 500.0;   // the timer is started as the window is shown
  report.Number("tick_to_done_ms", done - tick);
  report.Number("accounts_ms", stepStart[1] - tick);
  report.Number("steps_ms", done - stepStart[1]);
  for (int step = 1; step <= kStepCount; ++step) {
    char key[32];
    std::snprintf(key, sizeof key, "step%d_ms", step);
    report.Number(key, stepStart[step + 1] - stepStart[step]);
  }

  Sleep(300);
  pinger.SetPhase(kPhaseIdle);
  GetProcessMemoryInfo(process, &memory, sizeof memory);
  report.Number("start_ws_mb", MegaBytes(startSet));
  report.Number("scan_peak_ws_mb", MegaBytes(memory.PeakWorkingSetSize));
  report.Number("scan_end_ws_mb", MegaBytes(memory.WorkingSetSize));

  // The hosts page.
  const std::string hostsPath = HostsPath();
  const std::string original = ReadFileBytes(hostsPath);
  report.Number("hosts_kb", static_cast<double>(original.size()) / 1024.0);
  DialogWatch dialogs(processId);
  DWORD_PTR result = 0;
  report.Text("hosts_page_shown", ShowHostsPage(window, edit) ? "yes" : "NO");

  pinger.SetPhase(kPhaseLoad);
  double start = NowMs();
  SendMessageTimeoutA(window, kRunEventMessage, kHostsReload, static_cast<LPARAM>(ControlEvent::Clicked), SMTO_NORMAL,
                      600000, &result);
  report.Number("hosts_load_ms", NowMs() - start);
  pinger.SetPhase(kPhaseIdle);
  Sleep(200);
  GetProcessMemoryInfo(process, &memory, sizeof memory);
  report.Number("load_end_ws_mb", MegaBytes(memory.WorkingSetSize));
  report.Number("load_peak_ws_mb", MegaBytes(memory.PeakWorkingSetSize));
  // Not asked for the box's length: for that, Wine converts the whole text in
  // Veltro's process, which would count in its peak.

  pinger.SetPhase(kPhaseSave);
  start = NowMs();
  SendMessageTimeoutA(window, kRunEventMessage, kHostsSave, static_cast<LPARAM>(ControlEvent::Clicked), SMTO_NORMAL,
                      600000, &result);
  report.Number("hosts_save_ms", NowMs() - start);
  pinger.SetPhase(kPhaseIdle);
  const std::string saved = ReadFileBytes(hostsPath);
  report.Text("hosts_identical", saved == original ? "yes" : "NO");
  Sleep(200);

  report.Number("floor_ms", MirrorFloor(edit, original));
  report.Text("dialog", dialogs.Seen());
  // With "curve": what pieces of each size cost in a box like 编辑框1.
  if (argc > 3 && std::strcmp(argv[3], "curve") == 0) {
    for (std::size_t kb : {16, 32, 64}) {
      double total = 0, worst = 0, last = 0;
      MirrorPieces(edit, original, kb * 1024, total, worst, last);
      char key[64];
      std::snprintf(key, sizeof key, "pieces_%zukb_total_ms", kb);
      report.Number(key, total);
      std::snprintf(key, sizeof key, "pieces_%zukb_worst_ms", kb);
      report.Number(key, worst);
      std::snprintf(key, sizeof key, "pieces_%zukb_last_ms", kb);
      report.Number(key, last);
    }
  }

  GetProcessMemoryInfo(process, &memory, sizeof memory);
  report.Number("peak_ws_mb", MegaBytes(memory.PeakWorkingSetSize));
  double worstScan = 0;
  int worstPhase = 0;
  for (int p = kPhaseStart; p <= kPhaseDone; ++p) {
    if (pinger.Worst(p) > worstScan) {
      worstScan = pinger.Worst(p);
      worstPhase = p;
    }
  }
  report.Number("scan_worst_gap_ms", worstScan);
  report.Text("scan_worst_gap_phase", kPhaseNames[worstPhase]);
  report.Number("load_worst_gap_ms", pinger.Worst(kPhaseLoad));
  for (int p = 0; p < kPhaseCount; ++p) {
    char key[64];
    std::snprintf(key, sizeof key, "gap_%s_ms", kPhaseNames[p]);
    report.Number(key, pinger.Worst(p));
    std::snprintf(key, sizeof key, "gap_%s_at_ms", kPhaseNames[p]);
    report.Number(key, pinger.WorstAt(p));
  }
  report.Text("veltro_alive", WaitForSingleObject(process, 0) == WAIT_TIMEOUT ? "yes" : "NO");
  CloseHandle(process);
  return 0;
}
