// Entry point: common controls, the program-wide objects, the main window
// and its message loop.
#include <windows.h>
#include <commctrl.h>

#include "app/command_line.h"
#include "app/main_window.h"
#include "app/report_actions.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int showCommand) {
  // The standard-classes flag is version 6's; comctl32 5.8 refuses the
  // whole call for it and is asked again without it.
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  if (!InitCommonControlsEx(&controls)) {
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
  }

  const CommandLine command = ParseCommandLine(arguments != nullptr ? arguments : "");
  if (command.kind == CommandLine::Kind::Usage) {
    ShowUsage();
    return kUsageShown;
  }
  if (command.kind == CommandLine::Kind::Report) return RunReportOnly(command.reportFile);

  // Lives until the window is gone; its destructor is the exit hook that
  // frees the program-wide objects.
  ProgramState program;
  MainWindowOptions options;
  options.showCommand = showCommand;
  HWND window = CreateMainWindow(program, options);
  if (window == nullptr) return 1;

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (IsWindow(window) && HandleDialogKey(window, message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
