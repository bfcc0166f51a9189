// Backups of what each change is about to alter.
//
// Before a change, its caller hands over what the change will touch; the
// backup is complete on disk before the change starts, one numbered file
// per change in this run's folder: "VeltroBackup\<date>-<time>\" beside
// Veltro.exe when that folder can be written, else under the user's
// application data, else in the temporary folder. Veltro never reads them
// back. A backup that cannot be written anywhere does not stop the change.
#pragma once

#include <vector>

#include "base/text_ops.h"
#include "host/registry_restore_file.h"

// Each returns the file written, or "" when none could be.
// "NNN-what.reg": imported, it restores the items as they are now.
Text BackUpRegistry(const char* what, const std::vector<RegistryBackupItem>& items);
// "NNN-what" with the file's extension: a copy, bytes and attributes; the
// run folder's "index.txt" says where it came from. "" too for a file that
// is not there.
Text BackUpFile(const char* what, const Text& path);
// "NNN-what.txt": each key's absolute path and its security descriptor as
// it is now, in the system's text form (SDDL), for the record.
Text BackUpAccessLists(const char* what, const TextList& absoluteKeyPaths);

// This run's folder, "" until the first backup was written.
Text BackupRunFolder();
