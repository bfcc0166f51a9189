#include "host/backup.h"

#include <windows.h>

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

// A new folder for this run below the first place that takes one.
Text CreateRunFolder() {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond);
  for (const Text& place : {ProgramFolder(), GetSpecialFolder(kFolderAppData), GetSpecialFolder(kFolderTemp)}) {
    if (place.empty()) continue;
    const Text base = WithBackslash(place) + kBackupFolderName;
    CreateDirectoryA(base.c_str(), nullptr);
    for (int attempt = 1; attempt <= 9; ++attempt) {   // two runs in one second
      const Text run = base + "\\" + stamp + (attempt == 1 ? Text() : "-" + ToText(attempt));
      if (CreateDirectoryA(run.c_str(), nullptr)) return run + "\\";
      if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
  }
  return Text();
}

struct RunFolder {
  Text path;        // with its trailing backslash; "" until made
  bool tried = false;
  int written = 0;  // backups so far
};

RunFolder& Run() {
  static RunFolder run;
  return run;
}

// The next file's full path, "NNN-what" + extension, or "" without a folder.
Text NextFile(const char* what, const Text& extension) {
  RunFolder& run = Run();
  if (!run.tried) {
    run.tried = true;
    run.path = CreateRunFolder();
  }
  if (run.path.empty()) return Text();
  char number[8];
  std::snprintf(number, sizeof number, "%03d-", run.written + 1);
  return run.path + number + what + extension;
}

Text Written(const Text& file) {
  ++Run().written;
  return file;
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
void AppendToIndex(const Text& line) {
  const Text index = Run().path + "index.txt";
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

Text BackUpRegistry(const char* what, const std::vector<RegistryBackupItem>& items) {
  const Text file = NextFile(what, ".reg");
  if (file.empty() || !WriteFileBytes(file, Utf16File(RegistryRestoreText(items)))) return Text();
  return Written(file);
}

Text BackUpFile(const char* what, const Text& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Text();
  const Text file = NextFile(what, AsciiExtension(path));
  if (file.empty() || !CopyFileA(path.c_str(), file.c_str(), TRUE)) return Text();
  // Not every copy carries the hidden and system marks over.
  SetFileAttributesA(file.c_str(), attributes);
  AppendToIndex(file.substr(Run().path.size()) + "\t" + path + "\r\n");
  return Written(file);
}

Text BackUpAccessLists(const char* what, const TextList& absoluteKeyPaths) {
  const Text file = NextFile(what, ".txt");
  if (file.empty()) return Text();
  Text text;
  for (const Text& path : absoluteKeyPaths) text += path + "\t" + DescriptorText(path) + "\r\n";
  if (!WriteFileBytes(file, ByteString(text.begin(), text.end()))) return Text();
  return Written(file);
}

Text BackupRunFolder() { return Run().path; }
