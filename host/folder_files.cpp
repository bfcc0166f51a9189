#include "host/folder_files.h"

#include <windows.h>

namespace {

class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : handle_(handle) {}
  ~FindHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  HANDLE Get() const { return handle_; }
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

}  // namespace

void ListFolderFiles(const Text& pattern, TextList& names) {
  names.clear();
  if (pattern.empty()) return;
  WIN32_FIND_DATAA entry{};
  FindHandle find(FindFirstFileA(pattern.c_str(), &entry));
  if (!find.Valid()) return;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(entry.cFileName);
  } while (FindNextFileA(find.Get(), &entry));
}
