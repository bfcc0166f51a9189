#include "ui/subclass.h"

bool InstallSubclass(HWND window, const char* property, WNDPROC procedure) {
  if (window == nullptr || GetPropA(window, property) != nullptr) return false;
  const LONG_PTR previous = GetWindowLongPtrA(window, GWLP_WNDPROC);
  if (previous == 0 || !SetPropA(window, property, reinterpret_cast<HANDLE>(previous))) return false;
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
  return true;
}

LRESULT CallReplacedProc(HWND window, const char* property, UINT message, WPARAM wParam, LPARAM lParam) {
  auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, property));
  if (message == WM_NCDESTROY && previous != nullptr) {
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    RemovePropA(window, property);
  }
  return previous ? CallWindowProcA(previous, window, message, wParam, lParam)
                  : DefWindowProcA(window, message, wParam, lParam);
}
