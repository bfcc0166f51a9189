// The command line: none (the window), "/report FILE", or anything else
// (the usage).
#pragma once

#include "base/text_ops.h"

struct CommandLine {
  enum class Kind { Window, Report, Usage } kind = Kind::Window;
  Text reportFile;   // Report: the file, "/" turned into "\"
};

// Arguments as Windows hands them to WinMain (the program's name already
// taken off). Quotes group an argument with spaces; "/report" is matched
// without regard to case, "-report" too.
CommandLine ParseCommandLine(const Text& arguments);

// The usage, in a message box.
void ShowUsage();
