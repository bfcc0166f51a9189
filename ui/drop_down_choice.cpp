#include "ui/drop_down_choice.h"

bool IsConfirmedChoice(HWND dropDown, int notification) {
  return notification == CBN_SELENDOK && SendMessageA(dropDown, CB_GETDROPPEDSTATE, 0, 0) != 0;
}
