// The main window: creates every control of the window definition, fills
// MainControls, and routes control events to the bound actions.
#pragma once

#include <windows.h>

#include "app/main_controls.h"
#include "app/window_definition.h"

struct MainWindowOptions {
  int showCommand = SW_SHOWNORMAL;   // SW_HIDE for a window tests drive unseen
  bool quitOnClose = true;           // closing posts the quit message
};

// Creates the window and its controls, shows it as asked and runs the
// window-created handler. Returns nullptr on failure. The window owns its
// MainControls until it is destroyed; program must outlive it.
HWND CreateMainWindow(ProgramState& program, const MainWindowOptions& options = {});
MainControls* MainControlsOf(HWND window);

// The keyboard of the main window as in a dialog (Tab between controls, Alt
// with the underlined letter of "&刷新"), with Enter pressing the focused
// button and, in a list, activating its focused row. true when the message
// was handled and must not be dispatched.
bool HandleDialogKey(HWND window, MSG& message);

// true once the user closed the window while actions were running (it is
// hidden, and goes when they return): long work stops at its next step.
bool CloseRequested(HWND window);

// Runs an action unless it is already running further up the stack.
// Handlers run nested inside long scans (ProcessPendingEvents), so a click on
// a page's refresh button while that very refresh is filling the list would
// otherwise clear the list under the outer scan and leave it doubled. Every
// event and every full-scan step goes through here. Returns false when the
// action was skipped.
bool RunExclusive(MainControls& controls, Action action);

// The hint of 超级列表框8 for the row at a point of the list's client area:
// looked up by row position among the initial rows, "" elsewhere. This is
// the text the list's tooltip shows.
Text ImmunityHintAt(const ResultList& list, POINT clientPoint);

// A control of the window (at any depth) by its id, or nullptr.
HWND FindControlById(HWND window, int id);
