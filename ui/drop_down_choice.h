// When a drop-down list's notification is the user's confirmed choice.
//
// A choice counts once the user confirmed it: CBN_SELENDOK while the list is
// dropped comes as it closes on a choice (a click, or Enter). With the list
// closed, arrow keys and the wheel step through the items, and each step
// also sends CBN_SELENDOK and CBN_SELCHANGE: those are no choice (passing
// from 手动 to 启动 would write every start type on the way). Enter on the
// closed box confirms what it shows (the window engine's keyboard handling).
// Setting the item from code sends nothing.
#pragma once

#include <windows.h>

bool IsConfirmedChoice(HWND dropDown, int notification);
