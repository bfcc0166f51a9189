// Child processes and the shell.
#include <windows.h>
#include <shellapi.h>

#include "host/files.h"
#include "host/scoped_handles.h"

namespace {

struct ModeCommands {
  int forProcess;
  int forShell;
};

// Indexed by window mode 1..6.
const ModeCommands kModeCommands[] = {
    {SW_HIDE, SW_HIDE},
    {SW_SHOWNORMAL, SW_SHOWNORMAL},
    {SW_SHOWMINIMIZED, SW_SHOWMINIMIZED},
    {SW_SHOWMAXIMIZED, SW_SHOWMAXIMIZED},
    {SW_SHOWNOACTIVATE, SW_SHOWNA},
    {SW_MINIMIZE, SW_MINIMIZE},
};

const char* const kVerbs[] = {"edit", "explore", "find", "open", "print"};

}  // namespace

bool RunCommandLine(const Text& commandLine, bool wait, int windowMode) {
  if (windowMode < kWindowHide) windowMode = kWindowHide;
  if (windowMode > kWindowMinimize) windowMode = kWindowMinimize;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(kModeCommands[windowMode - 1].forProcess);
  // CreateProcessA may write into the command line it is given.
  std::string writable = commandLine;
  writable.push_back('\0');
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &writable[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  const ScopedHandle processHandle(process.hProcess);
  const ScopedHandle threadHandle(process.hThread);
  if (wait) {
    WaitForSingleObject(processHandle.Get(), INFINITE);
  } else {
    WaitForInputIdle(processHandle.Get(), 1000);
  }
  return true;
}

intptr_t OpenWithShell(int verb, const Text& target, const Text& parameters, const Text& folder, int windowMode) {
  const char* verbText = verb >= kVerbEdit && verb <= kVerbPrint ? kVerbs[verb - 1] : nullptr;
  const int show = windowMode >= kWindowHide && windowMode <= kWindowMinimize
                       ? kModeCommands[windowMode - 1].forShell
                       : SW_SHOWNORMAL;
  const HINSTANCE result = ShellExecuteA(nullptr, verbText, target.c_str(),
                                         parameters.empty() ? nullptr : parameters.c_str(),
                                         folder.empty() ? nullptr : folder.c_str(), show);
  return reinterpret_cast<intptr_t>(result);
}
