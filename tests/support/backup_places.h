// Backup places of a test's own: folders below the temporary folder that
// the backups of the test go to, removed at the end, after which Veltro's
// own places are used again.
#pragma once

#include <windows.h>

#include "base/text_ops.h"
#include "host/backup.h"
#include "host/files.h"
#include "sysfiles/file_fixture.h"

// Every file below the folder (any depth), full paths; none for a missing folder.
inline TextList FilesBelow(const Text& folder) {
  TextList files;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return files;
  do {
    const Text name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      for (const Text& file : FilesBelow(folder + name + "\\")) files.push_back(file);
    } else {
      files.push_back(folder + name);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return files;
}

class ScratchBackupPlaces {
 public:
  explicit ScratchBackupPlaces(int count = 1) {
    root_ = GetSpecialFolder(kFolderTemp) + "VeltroBackupPlaces-" + ToText(static_cast<int>(GetCurrentProcessId())) +
            "\\";
    TestFolder::RemoveTree(root_);
    CreateDirectoryA(root_.c_str(), nullptr);
    for (int i = 0; i < count; ++i) {
      places_.push_back(root_ + static_cast<char>('A' + i) + "\\");
      CreateDirectoryA(places_.back().c_str(), nullptr);
    }
    UseBackupPlaces(places_);
  }
  ~ScratchBackupPlaces() {
    char exe[MAX_PATH] = {};
    const Text path(exe, GetModuleFileNameA(nullptr, exe, MAX_PATH));
    UseBackupPlaces(BackupPlacesFor(path.substr(0, path.rfind('\\') + 1)));
    TestFolder::RemoveTree(root_);
  }
  ScratchBackupPlaces(const ScratchBackupPlaces&) = delete;
  ScratchBackupPlaces& operator=(const ScratchBackupPlaces&) = delete;

  const TextList& Places() const { return places_; }
  // Every backup written below the places so far.
  TextList Files() const { return FilesBelow(root_); }

 private:
  Text root_;
  TextList places_;
};
