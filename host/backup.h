// Backups of what each change is about to alter.
//
// Before a change, its caller hands over what the change will touch; the
// backup is complete on disk before the change starts, one numbered file
// per change in this run's folder "VeltroBackup\<date>-<time>\" below the
// first place that takes it (BackupPlacesFor). A file that one place cannot
// take (disk full, stick pulled, share gone) is tried in the next; the run
// goes on in the place that took it. Veltro only reads a backup back when
// the user asks it to restore an account.
#pragma once

#include <string>
#include <vector>

#include "base/text_ops.h"
#include "host/registry_restore_file.h"

// Each returns whether the change may go on: true when the backup is on
// disk or there was nothing to back up; when no place takes it, what the
// question (below) answers.
// "NNN-what.reg": imported, it restores the items as they are now; note:
// comment lines for its reader, each "; ...\r\n".
bool BackUpRegistry(const char* what, const std::vector<RegistryBackupItem>& items, const std::wstring& note = L"");
// "NNN-what" with the file's extension: a copy, bytes and attributes; the
// run folder's "index.txt" says where it came from. Nothing to back up for a
// file that is not there, nor for one that cannot be read (no place could
// take its copy).
bool BackUpFile(const char* what, const Text& path);
// "NNN-what.txt": each key's absolute path and its security descriptor as
// it is now, in the system's text form (SDDL), for the record.
bool BackUpAccessLists(const char* what, const TextList& absoluteKeyPaths);

// Asked when no place takes a backup, with the folders tried: true lets the
// change go on without one. Once it has said yes it is not asked again in
// this run. Without a question set, changes go on without asking.
using GoOnWithoutBackupQuestion = bool (*)(const TextList& foldersTried);
void SetGoOnWithoutBackupQuestion(GoOnWithoutBackupQuestion question);

// The places a run's folder may be made in, most preferred first: beside
// Veltro.exe, the user's application data, the temporary folder. When
// Veltro.exe lies in a folder Windows cleans (the temporary folder, where a
// zip opened in Explorer unpacks; a browser's download cache) application
// data comes first. programFolder ends in "\".
TextList BackupPlacesFor(const Text& programFolder);
// Starts a new run in these places (folders made again as they are needed,
// the question asked again). Until called, the places are those of
// Veltro.exe's own folder.
void UseBackupPlaces(const TextList& places);

// This run's folder that took the last backup, "" until one was written.
Text BackupRunFolder();
// The "VeltroBackup" folder backups go to: the one that took the last
// backup, else the most preferred place's (not made until it is needed).
Text BackupFolderShown();
// This run's newest backup of that kind ("NNN-what..."), "" when none.
Text LastBackupOf(const char* what);
