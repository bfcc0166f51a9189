// Drives the real main window in-process, the way a user would: create it
// (hidden or shown), click buttons by id, choose in 组合框1, focus and
// activate list rows, switch pages, and pump messages so that the bound
// handlers run. Answer the message boxes a handler opens with a
// DialogAnswerer created before the click.
#pragma once

#include <windows.h>

#include <functional>

#include "app/control_ids.h"
#include "app/main_controls.h"

class MainWindowFixture {
 public:
  enum class StartUpScan { Suppressed, Runs };
  // By default the window stays hidden and the start-up scan does not run
  // (时钟1 is stopped before any message is pumped), so that a test sees
  // only what its own clicks do.
  explicit MainWindowFixture(bool shown = false, StartUpScan scan = StartUpScan::Suppressed);
  ~MainWindowFixture();
  MainWindowFixture(const MainWindowFixture&) = delete;
  MainWindowFixture& operator=(const MainWindowFixture&) = delete;

  HWND Window() const { return window_; }
  MainControls& Controls() { return *controls_; }
  ProgramState& Program() { return program_; }
  HWND Control(int id) const;   // any control by id (ButtonId(15), ListId(6), ...)

  // Presses the button (BM_CLICK) and runs what it triggers.
  void Click(int buttonId);
  // Selects item index of 组合框1 as a user choice (fires the bound action).
  void ChooseComboItem(int index);
  // Selects and focuses one row (the list's "current row changed").
  void FocusRow(ResultList& list, int row);
  // Double-clicks a row (the list's "row activated").
  void ActivateRow(ResultList& list, int row);
  // Right mouse button down and up over a row (or the empty area for -1).
  void RightClick(ResultList& list, int row = -1);
  // Selects a page of 选择夹1/2/3 as a click on its tab would.
  void ShowPage(int tabId, int page);

  // Dispatches every queued message, including what the handlers post.
  void Pump();
  // Pumps until done() or the time-out; returns done().
  bool PumpUntil(const std::function<bool()>& done, int timeoutMilliseconds);

 private:
  ProgramState program_;
  HWND window_ = nullptr;
  MainControls* controls_ = nullptr;
};
