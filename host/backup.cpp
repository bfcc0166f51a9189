#include "host/backup.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>

#include "host/files.h"
#include "host/registry_paths.h"
#include "host/scoped_handles.h"
#include "host/system_functions.h"

namespace {

constexpr char kBackupFolderName[] = "VeltroBackup";

Text ProgramFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return Text();
  const Text full(path, length);
  const std::size_t slash = LastBackslash(full);
  return slash == Text::npos ? Text() : full.substr(0, slash + 1);
}

Text WithBackslash(const Text& folder) { return folder.empty() || EndsWithBackslash(folder) ? folder : folder + "\\"; }

bool StartsWith(const Text& text, const Text& head) {
  return !head.empty() && text.size() >= head.size() && ToLowerCase(text.substr(0, head.size())) == ToLowerCase(head);
}

// Folder names Windows and browsers empty on their own: the temporary
// folders (a zip opened in Explorer unpacks below them) and the download
// caches of Internet Explorer, whatever the path's spelling (long or 8.3).
const char* const kCleanedFolderNames[] = {"temp", "tmp", "temporary internet files", "inetcache", "content.ie5"};

bool InCleanedFolder(const Text& folder) {
  char cache[MAX_PATH + 1] = {};
  const Text internetCache =
      SHGetSpecialFolderPathA(nullptr, cache, CSIDL_INTERNET_CACHE, FALSE) ? WithBackslash(cache) : Text();
  if (StartsWith(folder, GetSpecialFolder(kFolderTemp)) || StartsWith(folder, internetCache)) return true;
  std::size_t begin = 0;
  while (begin < folder.size()) {
    std::size_t end = folder.find('\\', begin);
    if (end == Text::npos) end = folder.size();
    const Text name = ToLowerCase(folder.substr(begin, end - begin));
    for (const char* cleaned : kCleanedFolderNames) {
      if (name == cleaned) return true;
    }
    begin = end + 1;
  }
  return false;
}

struct BackupRun {
  bool placesChosen = false;
  TextList places;          // each ending in "\"
  std::vector<Text> runFolders;   // per place, with a trailing backslash; "" until made
  std::size_t current = 0;  // the place that took the last backup, or to try first
  Text stamp;               // the run's folder name, one for every place
  int written = 0;          // backups so far, in whatever place
  bool goOnWithoutBackup = false;
  std::vector<std::pair<Text, Text>> lastOf;   // what, file
};

BackupRun& Run() {
  static BackupRun run;
  if (!run.placesChosen) {
    run.placesChosen = true;
    run.places = BackupPlacesFor(ProgramFolder());
    run.runFolders.assign(run.places.size(), Text());
  }
  return run;
}

GoOnWithoutBackupQuestion& Question() {
  static GoOnWithoutBackupQuestion question = nullptr;
  return question;
}

// This run's folder below the place, made when first needed.
Text RunFolderIn(std::size_t place) {
  BackupRun& run = Run();
  if (!run.runFolders[place].empty()) return run.runFolders[place];
  if (run.stamp.empty()) {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    run.stamp = stamp;
  }
  const Text base = run.places[place] + kBackupFolderName;
  CreateDirectoryA(base.c_str(), nullptr);
  for (int attempt = 1; attempt <= 9; ++attempt) {   // two runs in one second
    const Text folder = base + "\\" + run.stamp + (attempt == 1 ? Text() : "-" + ToText(attempt));
    if (CreateDirectoryA(folder.c_str(), nullptr)) return run.runFolders[place] = folder + "\\";
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return Text();
}

// Writes one backup as "NNN-what" + extension: in the place that took the
// last one, else in each later place in turn. write(folder, file) makes the
// file and leaves nothing behind when it fails. When no place takes it, the
// question decides whether the change goes on.
template <typename Write>
bool Store(const char* what, const Text& extension, Write write) {
  BackupRun& run = Run();
  char number[8];
  std::snprintf(number, sizeof number, "%03d-", run.written + 1);
  TextList tried;
  for (std::size_t place = run.current; place < run.places.size(); ++place) {
    const Text folder = RunFolderIn(place);
    tried.push_back(run.places[place] + kBackupFolderName);
    if (folder.empty()) continue;
    const Text file = folder + number + what + extension;
    if (!write(folder, file)) continue;
    run.current = place;
    ++run.written;
    auto last = run.lastOf.begin();
    while (last != run.lastOf.end() && last->first != what) ++last;
    if (last == run.lastOf.end()) {
      run.lastOf.emplace_back(what, file);
    } else {
      last->second = file;
    }
    return true;
  }
  if (run.goOnWithoutBackup || Question() == nullptr) return true;
  run.goOnWithoutBackup = Question()(tried);
  return run.goOnWithoutBackup;
}

ByteString Utf16File(const std::wstring& text) {
  ByteString bytes = {0xFF, 0xFE};   // the byte-order mark regedit looks for
  for (const wchar_t unit : text) {
    bytes.push_back(static_cast<unsigned char>(unit & 0xFF));
    bytes.push_back(static_cast<unsigned char>(unit >> 8));
  }
  return bytes;
}

// The extension of a file name when it is short plain ASCII, else "".
Text AsciiExtension(const Text& path) {
  const std::size_t slash = LastBackslash(path), dot = path.rfind('.');
  if (dot == Text::npos || (slash != Text::npos && dot < slash) || path.size() - dot > 8) return Text();
  for (std::size_t i = dot + 1; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return Text();
  }
  return path.substr(dot);
}

// One line of the run folder's "index.txt": which copy came from where.
void AppendToIndex(const Text& folder, const Text& line) {
  const Text index = folder + "index.txt";
  const ScopedHandle file(CreateFileA(index.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (file.IsValid()) WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

constexpr DWORD kSddlRevision = 1;   // SDDL_REVISION_1
using ToStringDescriptorFunction = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, DWORD, SECURITY_INFORMATION, LPSTR*, PULONG);

// The key's owner, group and access list as SDDL; its bytes in hexadecimal
// on a system without the conversion; "" when the key cannot be read.
Text DescriptorText(const Text& absoluteKeyPath) {
  RegistryEntry entry;
  if (!ParseAbsoluteEntry(absoluteKeyPath, entry) || entry.root == 0) return Text();
  ScopedKey key;
  if (OpenRegistryKey(RootKeyFromNumber(entry.root), WithoutTrailingBackslash(entry.Path()), READ_CONTROL, key) !=
      ERROR_SUCCESS) {
    return Text();
  }
  const SECURITY_INFORMATION parts = OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  DWORD size = 0;
  if (RegGetKeySecurity(key.Get(), parts, nullptr, &size) != ERROR_INSUFFICIENT_BUFFER || size == 0) return Text();
  ByteString descriptor(size, 0);
  if (RegGetKeySecurity(key.Get(), parts, descriptor.data(), &size) != ERROR_SUCCESS) return Text();
  static const auto toString = SystemFunction<ToStringDescriptorFunction>(
      "advapi32.dll", "ConvertSecurityDescriptorToStringSecurityDescriptorA");
  LPSTR sddl = nullptr;
  if (toString != nullptr && toString(descriptor.data(), kSddlRevision, parts, &sddl, nullptr) && sddl != nullptr) {
    const Text text = sddl;
    LocalFree(sddl);
    return text;
  }
  Text hex;
  char digits[4];
  for (const unsigned char byte : descriptor) {
    std::snprintf(digits, sizeof digits, "%02x", byte);
    hex += digits;
  }
  return hex;
}

}  // namespace

bool BackUpRegistry(const char* what, const std::vector<RegistryBackupItem>& items, const std::wstring& note) {
  const ByteString bytes = Utf16File(RegistryRestoreText(items, note));
  return Store(what, ".reg", [&](const Text&, const Text& file) { return WriteFileBytes(file, bytes); });
}

bool BackUpFile(const char* what, const Text& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  {
    // A file that cannot be read (another program holds it open) can be
    // copied to no place at all; the change goes on as it would have, and
    // most likely fails the same way.
    const DWORD anyShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const ScopedHandle source(CreateFileA(path.c_str(), GENERIC_READ, anyShare, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!source.IsValid()) return true;
  }
  return Store(what, AsciiExtension(path), [&](const Text& folder, const Text& file) {
    if (!CopyFileA(path.c_str(), file.c_str(), TRUE)) {
      DeleteFileA(file.c_str());   // a copy cut short is no backup
      return false;
    }
    // Not every copy carries the hidden and system marks over.
    SetFileAttributesA(file.c_str(), attributes);
    AppendToIndex(folder, file.substr(folder.size()) + "\t" + path + "\r\n");
    return true;
  });
}

bool BackUpAccessLists(const char* what, const TextList& absoluteKeyPaths) {
  Text text;
  for (const Text& path : absoluteKeyPaths) text += path + "\t" + DescriptorText(path) + "\r\n";
  const ByteString bytes(text.begin(), text.end());
  return Store(what, ".txt", [&](const Text&, const Text& file) { return WriteFileBytes(file, bytes); });
}

void SetGoOnWithoutBackupQuestion(GoOnWithoutBackupQuestion question) { Question() = question; }

TextList BackupPlacesFor(const Text& programFolder) {
  const Text appData = GetSpecialFolder(kFolderAppData), temp = GetSpecialFolder(kFolderTemp);
  const bool cleaned = !programFolder.empty() && InCleanedFolder(programFolder);
  TextList places;
  for (const Text& place : cleaned ? TextList{appData, programFolder, temp} : TextList{programFolder, appData, temp}) {
    bool known = false;
    for (const Text& listed : places) known = known || ToLowerCase(listed) == ToLowerCase(place);
    if (!place.empty() && !known) places.push_back(WithBackslash(place));
  }
  return places;
}

void UseBackupPlaces(const TextList& places) {
  BackupRun& run = Run();
  run = BackupRun();
  run.placesChosen = true;
  for (const Text& place : places) run.places.push_back(WithBackslash(place));
  run.runFolders.assign(run.places.size(), Text());
}

Text BackupRunFolder() {
  const BackupRun& run = Run();
  return run.written == 0 ? Text() : run.runFolders[run.current];
}

Text BackupFolderShown() {
  const BackupRun& run = Run();
  if (run.current >= run.places.size()) return Text();
  return run.places[run.current] + kBackupFolderName + "\\";
}

Text LastBackupOf(const char* what) {
  for (const auto& last : Run().lastOf) {
    if (last.first == what) return last.second;
  }
  return Text();
}
