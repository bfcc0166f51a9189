#include "host/folder_files.h"

#include <windows.h>

#include "host/scoped_handles.h"

void ListFolderFiles(const Text& pattern, TextList& names) {
  names.clear();
  if (pattern.empty()) return;
  WIN32_FIND_DATAA entry{};
  const HANDLE search = FindFirstFileA(pattern.c_str(), &entry);
  ScopedFindHandle owner(search);
  if (!owner.IsValid()) return;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(entry.cFileName);
  } while (FindNextFileA(search, &entry));
}
