// Entry point: common controls, the program-wide objects, the main window
// and its message loop.
#include <windows.h>
#include <commctrl.h>

#include "app/main_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  // Lives until the window is gone; its destructor is the exit hook that
  // frees the program-wide objects.
  ProgramState program;
  MainWindowOptions options;
  options.showCommand = showCommand;
  if (CreateMainWindow(program, options) == nullptr) return 1;

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
