#include "ui/drop_down_choice.h"

bool IsConfirmedChoice(HWND dropDown, int notification) {
  const bool dropped = SendMessageA(dropDown, CB_GETDROPPEDSTATE, 0, 0) != 0;
  return notification == CBN_SELENDOK || (notification == CBN_SELCHANGE && !dropped);
}
