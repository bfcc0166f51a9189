// Child processes and the shell.
#include <windows.h>
#include <shellapi.h>

#include "host/files.h"
#include "host/native_view.h"
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

// The program a command line names, by its full path. A bare name ("REG")
// is the System folder's program: CreateProcess would otherwise look in
// Veltro's own folder and the current folder first, where anybody may have
// put a program of that name. "" when the System folder is unknown.
Text ProgramOf(const Text& commandLine) {
  Text first;
  if (!commandLine.empty() && commandLine[0] == '"') {
    const std::size_t end = commandLine.find('"', 1);
    first = commandLine.substr(1, end == Text::npos ? Text::npos : end - 1);
  } else {
    first = commandLine.substr(0, commandLine.find(' '));
  }
  if (first.find_first_of("\\/:") != Text::npos) return first;
  const Text folder = GetSpecialFolder(kFolderSystem);
  if (folder.empty() || first.empty()) return Text();
  const bool hasExtension = first.find('.') != Text::npos;
  return folder + first + (hasExtension ? "" : ".exe");
}

// An empty standard input, output and error for a console child: a
// question it asks reads the end of its input at once instead of waiting
// for an answer nobody can give.
ScopedHandle OpenNullDevice() {
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  return ScopedHandle(CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  &inheritable, OPEN_EXISTING, 0, nullptr));
}

}  // namespace

bool RunCommandLine(const Text& commandLine, bool wait, int windowMode) {
  if (windowMode < kWindowHide) windowMode = kWindowHide;
  if (windowMode > kWindowMinimize) windowMode = kWindowMinimize;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(kModeCommands[windowMode - 1].forProcess);
  const Text program = ProgramOf(commandLine);
  if (program.empty()) return false;
  const ScopedHandle nothing = OpenNullDevice();
  if (!nothing.IsValid()) return false;
  startup.dwFlags |= STARTF_USESTDHANDLES;
  startup.hStdInput = startup.hStdOutput = startup.hStdError = nothing.Get();
  // CreateProcessA may write into the command line it is given.
  std::string writable = commandLine;
  writable.push_back('\0');
  PROCESS_INFORMATION process = {};
  {
    // The System folder's own program: on 64-bit Windows the 64-bit console
    // tool, which works in the registry view Veltro shows.
    const NativeFileView nativeFiles;
    // Only the null device's handle is inheritable, so it is all the child gets.
    if (!CreateProcessA(program.c_str(), &writable[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
      return false;
    }
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
