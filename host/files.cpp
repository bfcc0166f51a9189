// Files: existence, attributes, deletion and whole-file writes.
#include <windows.h>

#include "host/files.h"
#include "host/native_view.h"
#include "host/scoped_handles.h"

namespace {

// Only these bits are reported and only these can be set.
constexpr DWORD kReportedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE;
constexpr DWORD kSettableAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

bool WriteAll(HANDLE file, const ByteString& bytes) {
  std::size_t offset = 0;
  while (offset < bytes.size()) {
    const std::size_t remaining = bytes.size() - offset;
    const DWORD chunk = remaining > 0x40000000u ? 0x40000000u : static_cast<DWORD>(remaining);
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + offset, chunk, &written, nullptr) || written == 0) return false;
    offset += written;
  }
  return true;
}

// Writes the parts in order into a new file beside the target, then puts
// it in the target's place in one step: a write that fails half-way (a full
// disk, a removed stick) leaves the target as it was. An existing target
// keeps its attributes and access list (ReplaceFile carries them over).
bool WriteParts(const Text& path, const ByteString* const* parts, std::size_t count) {
  const std::size_t slash = LastBackslash(path);
  if (path.empty() || path.back() == '\\') return false;
  // A folder of that name is never replaced: Wine's ReplaceFile would put
  // the file in its place, and all it holds would be gone.
  const DWORD existing = GetFileAttributesA(path.c_str());
  if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY)) return false;
  const Text folder = slash == Text::npos ? Text(".") : path.substr(0, slash + 1);
  char temporary[MAX_PATH] = {};
  if (GetTempFileNameA(folder.c_str(), "vlt", 0, temporary) == 0) return false;
  bool written = false;
  {
    const ScopedHandle file(
        CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    written = file.IsValid();
    for (std::size_t i = 0; written && i < count; ++i) written = WriteAll(file.Get(), *parts[i]);
    written = written && FlushFileBuffers(file.Get());
  }
  if (written) {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
      written = MoveFileExA(temporary, path.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
    } else if (!ReplaceFileA(path.c_str(), temporary, nullptr, 0, nullptr, nullptr)) {
      // Gone already, new bytes still under the temporary name: finish.
      written = GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
                MoveFileExA(temporary, path.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
    }
  }
  if (!written) DeleteFileA(temporary);
  return written;
}

}  // namespace

bool FileExists(const Text& path) {
  const NativeFileView nativeFiles;   // a 64-bit program named in an entry is no "missing" file
  WIN32_FIND_DATAA found;
  const ScopedFindHandle search(FindFirstFileA(path.c_str(), &found));
  return search.IsValid();
}

bool DeleteFile(const Text& path) { return DeleteFileA(path.c_str()) != FALSE; }

int GetFileAttributes(const Text& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return -1;
  return static_cast<int>(attributes & kReportedAttributes);
}

bool SetFileAttributes(const Text& path, int attributes) {
  DWORD wanted = static_cast<DWORD>(attributes) & kSettableAttributes;
  if (wanted == 0) wanted = FILE_ATTRIBUTE_NORMAL;   // "none" is spelled NORMAL
  return SetFileAttributesA(path.c_str(), wanted) != FALSE;
}

bool WriteFileBytes(const Text& path, const std::vector<ByteString>& parts) {
  std::vector<const ByteString*> pointers;
  for (const ByteString& part : parts) pointers.push_back(&part);
  return WriteParts(path, pointers.data(), pointers.size());
}

// Written as it is: a saved page can be megabytes, and copies would count in
// the program's peak memory.
bool WriteFileBytes(const Text& path, const ByteString& bytes) {
  const ByteString* const part = &bytes;
  return WriteParts(path, &part, 1);
}
