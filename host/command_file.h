// The file a stored command line makes Windows run.
//
// Startup entries, services and hooks store command lines, not files:
// "\"C:\Program Files\App\app.exe\" /c", "C:\PROGRA~1\App\app.exe /min",
// "rundll32.exe C:\x\y.dll,Start", a bare "ctfmon.exe", a driver's
// "\SystemRoot\System32\drivers\x.sys". What the user judges is the file
// behind it, found the way Windows finds it.
#pragma once

#include "base/text_ops.h"
#include "host/registry_views.h"

struct CommandFile {
  Text path;            // full path; "" when the text names nothing
  bool found = false;   // an existing file (not a folder) is at path
};

// The program the command line starts, as a program of the view sees it;
// for rundll32 and regsvr32 the library they load. A file that exists
// nowhere gives the place the text names (found false), so that the user
// still sees where it should have been.
CommandFile ResolveCommandFile(RegistryView view, const Text& commandLine);

// A file in the Startup folder: what a shortcut (".lnk") points at, any
// other file itself. A shortcut without a target is judged as itself.
CommandFile ResolveStartupFolderFile(const Text& path);

// A value Windows reads as several programs or libraries (win.ini's run=
// and load=, AppInit_DLLs, a shell with what it is told to open): names
// split at spaces and commas, quotes kept together. The row is judged by
// the first name that is missing or lies outside the Windows folder, which
// is what a stranger adds to Windows' own; by the first name otherwise.
CommandFile ResolveListedFiles(RegistryView view, const Text& text);
