// Window subclassing by replacing the window procedure, which every Windows
// has (comctl32 of Windows 2000 exports SetWindowSubclass by ordinal only).
// Each subclass has a name under which the procedure it replaced is kept,
// so that several can stack on one control.
#pragma once

#include <windows.h>

// Puts procedure in front of the window's; false (nothing changed) when the
// window already has this subclass or cannot take it.
bool InstallSubclass(HWND window, const char* name, WNDPROC procedure);
// Hands a message on to the procedure that was replaced. At WM_NCDESTROY it
// also puts that procedure back and forgets it.
LRESULT CallReplacedProc(HWND window, const char* name, UINT message, WPARAM wParam, LPARAM lParam);
