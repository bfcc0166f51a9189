// Entry point: common controls, the program-wide objects, the main window
// and its message loop.
#include <windows.h>
#include <commctrl.h>

#include "app/main_window.h"

namespace {

// Dialog keyboard handling (Tab between controls, Alt + the underlined
// letter of "&刷新") for every key but Enter in a list, which activates the
// focused row there instead of pressing a default button.
bool IsDialogKey(HWND window, MSG& message) {
  if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
    char className[32] = {};
    GetClassNameA(GetFocus(), className, sizeof(className));
    if (lstrcmpiA(className, WC_LISTVIEWA) == 0) return false;
  }
  return IsDialogMessageA(window, &message) != FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  // Lives until the window is gone; its destructor is the exit hook that
  // frees the program-wide objects.
  ProgramState program;
  MainWindowOptions options;
  options.showCommand = showCommand;
  HWND window = CreateMainWindow(program, options);
  if (window == nullptr) return 1;

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (IsWindow(window) && IsDialogKey(window, message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
