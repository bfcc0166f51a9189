// What a multi-line edit box like the system file pages' costs on this
// machine, with no Veltro running:
//
//   bench_edit.exe TEXT_FILE [PIECE_KB...] [hidden PIECE_KB...]
//
// Creates a visible box of the pages' class, styles, size and font, then
// 1. puts the whole file in with one WM_SETTEXT (the floor), and
// 2. for each piece size, fills an emptied box the way a page load appends
//    (drawing paused, insert at the end, end kept in view, window serviced)
//    and times each of those calls separately. The figures for the last
//    pieces show what one append costs once the box holds the whole text.
// 3. with "load" among the arguments: the page's own load (LoadTextFile, the
//    code the refresh button runs) into a visible and into a hidden box,
//    with the longest time the window did not answer.
// Prints "key=value" lines.
#include <windows.h>
#include <psapi.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "sysfiles/text_file.h"
#include "tests/support/background_thread.h"

namespace {

LARGE_INTEGER frequency;
double NowMs() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

// The page's box: class, styles and limit as the window definition makes
// 编辑框1 (a text page), with the stock GUI font every control gets.
struct Box {
  HWND top;
  HWND edit;
  explicit Box(bool shown) {
    top = CreateWindowExA(0, "STATIC", "edit", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                          GetModuleHandleA(nullptr), nullptr);
    edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                           WS_CHILD | (shown ? WS_VISIBLE : 0) | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                               ES_WANTRETURN,
                           8, 8, 580, 380, top, nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    SendMessageA(edit, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    Pump();
  }
  ~Box() { DestroyWindow(top); }
};

void Print(const char* key, double value) { std::printf("%s=%.1f\n", key, value); }

// The longest reply to WM_NULL sent from another thread every 5 ms.
class Pinger {
 public:
  explicit Pinger(HWND window) : window_(window), thread_([this] { Run(); }) {}
  ~Pinger() {
    stop_ = true;   // the thread is joined next
  }
  double Worst() const { return worst_; }

 private:
  void Run() {
    while (!stop_) {
      const double start = NowMs();
      DWORD_PTR result = 0;
      SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
      const double took = NowMs() - start;
      if (took > worst_) worst_ = took;
      Sleep(5);
    }
  }
  HWND window_;
  volatile bool stop_ = false;
  double worst_ = 0;
  BackgroundThread thread_;
};

void PrintMemory(const char* when) {
  PROCESS_MEMORY_COUNTERS memory{};
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  char key[64];
  std::snprintf(key, sizeof key, "%s_ws_mb", when);
  Print(key, static_cast<double>(memory.WorkingSetSize) / 1048576.0);
  std::snprintf(key, sizeof key, "%s_peak_mb", when);
  Print(key, static_cast<double>(memory.PeakWorkingSetSize) / 1048576.0);
}

// One load into a hidden box, then the read-back a save does, with the
// process's working set after each: where the peak comes from.
void LoadMemory(const char* path) {
  Box box(false);
  EditBox edit(box.edit);
  BlockFileReader reader;
  TextFileState state;
  PrintMemory("before_load");
  LoadTextFile(edit, path, reader, state);
  PrintMemory("after_load");
  {
    const Text content = edit.Content();
    PrintMemory("holding_content");
  }
  PrintMemory("after_content");
}

void PageLoad(const char* path, bool shown) {
  Box box(shown);
  EditBox edit(box.edit);
  BlockFileReader reader;
  TextFileState state;
  double took = 0, worst = 0;
  {
    Pinger pinger(box.top);
    Sleep(20);
    const double start = NowMs();
    LoadTextFile(edit, path, reader, state);
    Pump();
    took = NowMs() - start;
    worst = pinger.Worst();
  }
  Print(shown ? "load_shown_ms" : "load_hidden_ms", took);
  Print(shown ? "load_shown_worst_gap_ms" : "load_hidden_worst_gap_ms", worst);
  Print(shown ? "load_shown_faithful" : "load_hidden_faithful", state.faithful ? 1 : 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_edit TEXT_FILE [PIECE_KB...]\n");
    return 2;
  }
  QueryPerformanceFrequency(&frequency);
  std::ifstream in(argv[1], std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Print("text_kb", static_cast<double>(text.size()) / 1024.0);
  if (argc > 2 && std::string(argv[2]) == "memory") {
    LoadMemory(argv[1]);
    return 0;
  }
  {
    Box box(true);
    const double start = NowMs();
    SendMessageA(box.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    Pump();
    Print("floor_ms", NowMs() - start);
  }
  bool shown = true;
  for (int a = 2; a < argc; ++a) {
    if (std::string(argv[a]) == "memory") {
      LoadMemory(argv[1]);
      continue;
    }
    if (std::string(argv[a]) == "load") {
      PageLoad(argv[1], false);
      PageLoad(argv[1], true);
      PageLoad(argv[1], false);
      PageLoad(argv[1], true);
      continue;
    }
    // "hidden": the following sizes fill a box on a page that is not shown.
    if (std::string(argv[a]) == "hidden") {
      shown = false;
      continue;
    }
    const std::size_t piece = static_cast<std::size_t>(std::atoi(argv[a])) * 1024;
    if (piece == 0) continue;
    Box box(shown);
    // Times of each call, for the last piece.
    double calls[6] = {};
    double worst = 0;
    const double start = NowMs();
    for (std::size_t at = 0; at < text.size(); at += piece) {
      const std::string part = text.substr(at, piece);
      double t[7];
      t[0] = NowMs();
      SendMessageA(box.edit, WM_SETREDRAW, FALSE, 0);
      t[1] = NowMs();
      SendMessageA(box.edit, EM_SETSEL, INT_MAX, INT_MAX);
      t[2] = NowMs();
      SendMessageA(box.edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(part.c_str()));
      t[3] = NowMs();
      SendMessageA(box.edit, WM_SETREDRAW, TRUE, 0);
      t[4] = NowMs();
      SendMessageA(box.edit, EM_SCROLLCARET, 0, 0);
      InvalidateRect(box.edit, nullptr, TRUE);
      t[5] = NowMs();
      Pump();
      t[6] = NowMs();
      for (int i = 0; i < 6; ++i) calls[i] = t[i + 1] - t[i];
      if (t[6] - t[0] > worst) worst = t[6] - t[0];
    }
    const double total = NowMs() - start;
    char key[64];
    const int kb = std::atoi(argv[a]) * (shown ? 1 : -1);   // negative: hidden
    const char* const names[6] = {"redraw_off", "setsel", "replacesel", "redraw_on", "scrollcaret", "paint"};
    std::snprintf(key, sizeof key, "pieces_%dkb_total_ms", kb);
    Print(key, total);
    std::snprintf(key, sizeof key, "pieces_%dkb_worst_ms", kb);
    Print(key, worst);
    for (int i = 0; i < 6; ++i) {
      std::snprintf(key, sizeof key, "pieces_%dkb_last_%s_ms", kb, names[i]);
      Print(key, calls[i]);
    }
  }
  return 0;
}
