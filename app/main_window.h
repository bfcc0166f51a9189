// The main window: the window engine walks the window definition, the named
// controls are filled from what it made, and control events run the bound
// actions.
#pragma once

#include <windows.h>

#include "app/immunity_page.h"
#include "app/main_controls.h"
#include "app/window_definition.h"
#include "ui/window_engine.h"

using MainWindowOptions = WindowOptions;

// Creates the window and its controls, shows it as asked and runs the
// window-created handler. Returns nullptr on failure. The window owns its
// MainControls until it is destroyed; program must outlive it.
HWND CreateMainWindow(ProgramState& program, const MainWindowOptions& options = {});
MainControls* MainControlsOf(HWND window);

// Runs an action unless it is already running further up the stack.
// Handlers run nested inside long scans (ProcessPendingEvents), so a click on
// a page's refresh button while that very refresh is filling the list would
// otherwise clear the list under the outer scan and leave it doubled. Every
// event and every full-scan step goes through here. Returns false when the
// action was skipped.
bool RunExclusive(MainControls& controls, Action action);
