// Files of a test's own in a folder of its own, written and read back with
// the plain Win32 calls, removed at the end.
#pragma once

#include <windows.h>

#include <string>

#include "base/text_ops.h"

class TestFolder {
 public:
  TestFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    path_ = Text(temp) + "veltro_sysfiles_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(counter_++) + "\\";
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TestFolder() { RemoveTree(path_); }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const Text& Path() const { return path_; }

  static void RemoveTree(const Text& folder) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const Text name = entry.cFileName;
        if (name == "." || name == "..") continue;
        const Text full = folder + name;
        SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(full + "\\");
        } else {
          DeleteFileA(full.c_str());
        }
      } while (FindNextFileA(search, &entry));
      FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
  }

 private:
  Text path_;
  static inline int counter_ = 0;
};

inline bool WriteWholeFile(const Text& path, const Text& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

// The file's bytes, or "<missing>" when it cannot be read.
inline Text ReadWholeFile(const Text& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  Text bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

inline DWORD AttributesOf(const Text& path) { return GetFileAttributesA(path.c_str()); }

// Keeps a real file's bytes and attributes (or its absence) and puts them back.
class FileBackup {
 public:
  explicit FileBackup(const Text& path)
      : path_(path), attributes_(AttributesOf(path)), bytes_(ReadWholeFile(path)) {}
  ~FileBackup() {
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (attributes_ == INVALID_FILE_ATTRIBUTES) {
      DeleteFileA(path_.c_str());
      return;
    }
    WriteWholeFile(path_, bytes_);
    SetFileAttributesA(path_.c_str(), attributes_);
  }
  FileBackup(const FileBackup&) = delete;
  FileBackup& operator=(const FileBackup&) = delete;

 private:
  Text path_;
  DWORD attributes_;
  Text bytes_;
};

// Hosts-like lines of exactly the given size, with GBK comments; whole
// characters only.
inline Text HostsLikeText(std::size_t size) {
  Text text;
  for (int i = 0;; ++i) {
    Text line = "127.0.0.1\tsite" + std::to_string(i) + ".example.com";
    line += (i % 10 == 0) ? " # 屏蔽的网站\r\n" : "\r\n";
    if (text.size() + line.size() > size) break;
    text += line;
  }
  text.append(size - text.size(), '#');
  return text;
}
