// What Veltro knows about each file a list names, once per run.
//
// The cheap facts (is it there, what its version information says) are read
// when a row first names the file; who signed it needs the whole file read
// and is worked out later, beside the window, while the window is idle.
#pragma once

#include "base/text_ops.h"
#include "host/command_file.h"

enum class FileTrust {
  Missing,     // nothing at the path
  Pending,     // present; signature not checked yet
  Signed,
  NotSigned,
  Unchecked,   // present; who signed it could not be asked
};

struct FileFacts {
  Text path;
  Text description, company, version;
  FileTrust trust = FileTrust::Missing;
  Text signer;
};

// 0 names no file; others are stable for the whole run.
using FileId = int;

// The file's facts, read on the first call for its path (any case) and
// shared by every later row that names it. A CommandFile without a path
// gives 0.
FileId NoteFile(const CommandFile& file);
// nullptr for 0 or an id never handed out.
const FileFacts* FactsOf(FileId id);

// Windows' own files: their signer's name says Microsoft (the publisher
// name every Microsoft signing certificate carries).
bool IsMicrosoftSigned(const FileFacts& facts);

// Who signed each file is checked on a thread of its own
// (host/signature_checker.h), only while checks may run.
bool SignaturesPending();
// Hands every file noted since the last call over for checking and says
// whether checks may run now: the window lets them when it is idle.
void RunSignatureChecks(bool mayRun);
// Puts the findings that arrived into their files' facts; true when some
// verdict changed.
bool CollectSignatureFindings();
// Every waiting file's verdict, whether checks may run or not; `between`
// runs while the checks do (the window's events).
void FinishSignatureChecks(void (*between)());

// What a list's description column shows for the file: its description,
// "未知" when the text names no existing file, "" for an empty text.
Text DescriptionShown(FileId id);

// The file a stored command line runs, noted: resolution and cheap facts
// in one step for the scanners.
FileId NoteCommandFile(RegistryView view, const Text& commandLine);
// The same for a value that names several files (ResolveListedFiles).
FileId NoteListedFiles(RegistryView view, const Text& text);
