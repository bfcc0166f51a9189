// Files, processes, special folders and initialisation files.
#pragma once

#include <cstdint>

#include "base/text_ops.h"

// Our names take precedence over the ANSI/Unicode macros of <windows.h>;
// host code calls the ...A functions explicitly.
#undef DeleteFile
#undef GetFileAttributes
#undef SetFileAttributes

enum SpecialFolder : int {
  kFolderPersonal = 1, kFolderFavorites = 2, kFolderDesktop = 3, kFolderFonts = 4,
  kFolderStartMenu = 5, kFolderPrograms = 6, kFolderStartup = 7, kFolderAppData = 8,
  kFolderWindows = 9, kFolderSystem = 10, kFolderTemp = 11,
};

enum WindowMode : int {
  kWindowHide = 1, kWindowNormal = 2, kWindowMinimized = 3, kWindowMaximized = 4,
  kWindowNoActivate = 5, kWindowMinimize = 6,
};

enum ShellVerb : int { kVerbEdit = 1, kVerbExplore = 2, kVerbFind = 3, kVerbOpen = 4, kVerbPrint = 5 };

bool FileExists(const Text& path);               // wildcards allowed; folders count
bool DeleteFile(const Text& path);
int GetFileAttributes(const Text& path);         // masked with 0x37; -1 when missing
bool SetFileAttributes(const Text& path, int attributes);  // masked with 0x27
// Whole-file writes through a new file beside the target that then takes its
// place in one step: on any failure the target is left as it was, and an
// existing target keeps its attributes and access list.
bool WriteFileBytes(const Text& path, const std::vector<ByteString>& parts);
bool WriteFileBytes(const Text& path, const ByteString& bytes);

// Starts the program the command line names: a bare name is the System
// folder's program (never one beside Veltro or in the current folder). The
// child's standard handles are the null device, so it can never wait for
// input. true when it started (and, with wait, has ended).
bool RunCommandLine(const Text& commandLine, bool wait = false, int windowMode = kWindowNormal);
intptr_t OpenWithShell(int verb, const Text& target, const Text& parameters = Text(),
                       const Text& folder = Text(), int windowMode = kWindowNormal);

// The folder's path ending in "\", or "" for an unknown number or a failure.
Text GetSpecialFolder(int folderNumber);
// The path a name in an entry stands for: a full path ("C:\...",
// "\\server\...") as it is, "" as it is, anything else taken as a name in
// the System folder, where Windows looks for a library named without a
// folder. Never the current folder or the one Veltro runs from, where a
// namesake would otherwise be found (and described) first.
Text FullFilePath(const Text& path);
// The text with its %variables% replaced; the text itself on failure.
Text ExpandEnvironment(const Text& text);
Text ReadProfileText(const Text& file, const Text& section, const Text& key,
                     const Text& defaultText = Text());

// Read access to one file, shared for reading (others may read, not write).
// Owns its handle; not copyable.
class ReadOnlyFile {
 public:
  ReadOnlyFile() = default;
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
  ReadOnlyFile(ReadOnlyFile&& other) noexcept;
  ReadOnlyFile& operator=(ReadOnlyFile&& other) noexcept;

  bool Open(const Text& path);
  bool IsOpen() const;
  int64_t Length() const;                  // -1 when not open
  bool Seek(int64_t offset);               // from the start
  // Reads up to byteCount bytes at the current position; fewer at the end.
  ByteString Read(std::size_t byteCount);
  void Close();

 private:
  void* handle_ = nullptr;   // a HANDLE; nullptr when closed
};
