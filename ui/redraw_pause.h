// Drawing of a control paused for a scope: the one place that sends
// WM_SETREDRAW. Pauses nest per control (a scan nested in another on the same
// list); the control draws again when the outermost pause ends.
#pragma once

#include <windows.h>

class RedrawPause {
 public:
  enum class OnResume {
    Repaint,   // the whole control is redrawn when drawing resumes
    Quiet,     // the caller decides what to redraw
  };
  explicit RedrawPause(HWND control, OnResume onResume = OnResume::Repaint);
  ~RedrawPause();
  RedrawPause(const RedrawPause&) = delete;
  RedrawPause& operator=(const RedrawPause&) = delete;

  // Lets one redraw through now, then pauses again.
  void DrawNow();

 private:
  HWND control_;
  OnResume onResume_;
};
