#include "ui/redraw_pause.h"

namespace {

// The pauses alive on a control, kept on the control itself.
constexpr char kPauseCount[] = "Veltro.RedrawPauses";

INT_PTR PauseCount(HWND control) { return reinterpret_cast<INT_PTR>(GetPropA(control, kPauseCount)); }

void SetPauseCount(HWND control, INT_PTR count) {
  if (count == 0) {
    RemovePropA(control, kPauseCount);
  } else {
    SetPropA(control, kPauseCount, reinterpret_cast<HANDLE>(count));
  }
}

}  // namespace

RedrawPause::RedrawPause(HWND control, OnResume onResume) : control_(control), onResume_(onResume) {
  if (control_ == nullptr) return;
  const INT_PTR count = PauseCount(control_);
  if (count == 0) SendMessageA(control_, WM_SETREDRAW, FALSE, 0);
  SetPauseCount(control_, count + 1);
}

RedrawPause::~RedrawPause() {
  if (control_ == nullptr || !IsWindow(control_)) return;
  const INT_PTR count = PauseCount(control_) - 1;
  SetPauseCount(control_, count > 0 ? count : 0);
  if (count > 0) return;
  SendMessageA(control_, WM_SETREDRAW, TRUE, 0);
  if (onResume_ == OnResume::Repaint) InvalidateRect(control_, nullptr, TRUE);
}

void RedrawPause::DrawNow() {
  if (control_ == nullptr) return;
  SendMessageA(control_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(control_, nullptr, TRUE);
  UpdateWindow(control_);
  SendMessageA(control_, WM_SETREDRAW, FALSE, 0);
}
