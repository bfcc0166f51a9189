#include "ui/subclass.h"

#include <cstring>
#include <vector>

namespace {

// The replaced procedures, kept in the process rather than in window
// properties: a property is read through the window server, and a list
// with several subclasses would ask it several times for every message.
struct Replaced {
  HWND window;
  const char* name;
  WNDPROC previous;
};

std::vector<Replaced>& ReplacedProcs() {
  static std::vector<Replaced> procs;   // the user-interface thread's alone
  return procs;
}

std::vector<Replaced>::iterator Find(HWND window, const char* name) {
  auto& procs = ReplacedProcs();
  for (auto it = procs.begin(); it != procs.end(); ++it) {
    if (it->window == window && std::strcmp(it->name, name) == 0) return it;
  }
  return procs.end();
}

}  // namespace

bool InstallSubclass(HWND window, const char* name, WNDPROC procedure) {
  if (window == nullptr || Find(window, name) != ReplacedProcs().end()) return false;
  const LONG_PTR previous = GetWindowLongPtrA(window, GWLP_WNDPROC);
  if (previous == 0) return false;
  ReplacedProcs().push_back({window, name, reinterpret_cast<WNDPROC>(previous)});
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
  return true;
}

LRESULT CallReplacedProc(HWND window, const char* name, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto found = Find(window, name);
  const WNDPROC previous = found != ReplacedProcs().end() ? found->previous : nullptr;
  if (message == WM_NCDESTROY && previous != nullptr) {
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    ReplacedProcs().erase(found);
  }
  return previous ? CallWindowProcA(previous, window, message, wParam, lParam)
                  : DefWindowProcA(window, message, wParam, lParam);
}
