// When a drop-down list's notification is the user's confirmed choice.
//
// A choice counts once the user confirmed it: CBN_SELENDOK comes as the
// dropped list closes on a choice (mouse or Enter); with the list closed,
// arrow keys and the wheel only send CBN_SELCHANGE, one per step. Setting
// the item from code sends neither.
#pragma once

#include <windows.h>

bool IsConfirmedChoice(HWND dropDown, int notification);
