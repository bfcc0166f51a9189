#include "support/hostile_seed.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>

#include "host/native_view.h"

namespace hostile {

ByteString Bytes(const Text& text) { return ByteString(text.begin(), text.end()); }

ByteString Terminated(const Text& text) {
  ByteString bytes = Bytes(text);
  bytes.push_back(0);
  return bytes;
}

ByteString Dword(DWORD number) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&number);
  return ByteString(bytes, bytes + sizeof number);
}

ByteString Qword(unsigned long long number) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&number);
  return ByteString(bytes, bytes + sizeof number);
}

ByteString Filled(std::size_t length, unsigned char byte) { return ByteString(length, byte); }

Text Repeat(const Text& piece, std::size_t count) {
  Text text;
  text.reserve(piece.size() * count);
  for (std::size_t i = 0; i < count; ++i) text += piece;
  return text;
}

bool KeyExists(HKEY root, const Text& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

bool ValueExists(HKEY root, const Text& key, const Text& name) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  const bool found = RegQueryValueExA(handle, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(handle);
  return found;
}

bool FileThere(const Text& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

namespace {

bool WriteAll(HANDLE file, const ByteString& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

}  // namespace

bool Seed::Key(HKEY root, const Text& key) {
  // The first key on the way that is missing goes at the end, with all that
  // the test put below it.
  Text created;
  Text prefix;
  for (const Text& step : SplitText(key, "\\")) {
    prefix += prefix.empty() ? step : "\\" + step;
    if (!KeyExists(root, prefix)) {
      created = prefix;
      break;
    }
  }
  HKEY handle = nullptr;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(handle);
  if (!created.empty()) {
    undo_.push_back([=] {
      RegDeleteTreeA(root, created.c_str());
      RegDeleteKeyA(root, created.c_str());
    });
  }
  return true;
}

bool Seed::Value(HKEY root, const Text& key, const Text& name, DWORD type, const ByteString& data) {
  if (!Key(root, key)) return false;
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS) return false;
  const LONG status = RegSetValueExA(handle, name.c_str(), 0, type, data.empty() ? nullptr : data.data(),
                                     static_cast<DWORD>(data.size()));
  RegCloseKey(handle);
  if (status != ERROR_SUCCESS) return false;
  undo_.push_back([=] {
    HKEY undoHandle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &undoHandle) == ERROR_SUCCESS) {
      RegDeleteValueA(undoHandle, name.c_str());
      RegCloseKey(undoHandle);
    }
  });
  return true;
}

namespace {

std::wstring Wide(const Text& text) {
  std::wstring wide(text.size() + 1, L'\0');
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                         static_cast<int>(wide.size()));
  wide.resize(length > 0 ? static_cast<std::size_t>(length) : 0u);
  return wide;
}

}  // namespace

bool Seed::WideString(HKEY root, const Text& key, const Text& name, const Text& text) {
  const std::wstring wideKey = Wide(key), wideName = Wide(name), wideText = Wide(text);
  HKEY handle = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExW(root, wideKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, &disposition) !=
      ERROR_SUCCESS) {
    return false;
  }
  const LONG status =
      RegSetValueExW(handle, wideName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wideText.c_str()),
                     static_cast<DWORD>((wideText.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
  undo_.push_back([=] {
    if (disposition == REG_CREATED_NEW_KEY) {
      RegDeleteTreeW(root, wideKey.c_str());
      RegDeleteKeyW(root, wideKey.c_str());
    } else {
      RegDeleteKeyValueW(root, wideKey.c_str(), wideName.c_str());
    }
  });
  return status == ERROR_SUCCESS;
}

bool Seed::Override(HKEY root, const Text& key, const Text& name, DWORD type, const ByteString& data) {
  HKEY handle = nullptr;
  DWORD oldType = 0, size = 0;
  bool existed = false;
  ByteString old;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS) {
    if (RegQueryValueExA(handle, name.c_str(), nullptr, &oldType, nullptr, &size) == ERROR_SUCCESS) {
      old.resize(size + 2);
      existed = RegQueryValueExA(handle, name.c_str(), nullptr, &oldType, old.data(), &size) == ERROR_SUCCESS;
      old.resize(size);
    }
    RegCloseKey(handle);
  }
  if (!existed) return Value(root, key, name, type, data);
  if (RegSetKeyValueA(root, key.c_str(), name.c_str(), type, data.empty() ? nullptr : data.data(),
                      static_cast<DWORD>(data.size())) != ERROR_SUCCESS) {
    return false;
  }
  undo_.push_back([=] {
    RegSetKeyValueA(root, key.c_str(), name.c_str(), oldType, old.empty() ? nullptr : old.data(),
                    static_cast<DWORD>(old.size()));
  });
  return true;
}

void Seed::KeepAccess(HKEY root, const Text& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, READ_CONTROL, &handle) != ERROR_SUCCESS) return;
  DWORD size = 0;
  RegGetKeySecurity(handle, DACL_SECURITY_INFORMATION, nullptr, &size);
  std::vector<BYTE> descriptor(size + 16);
  size = static_cast<DWORD>(descriptor.size());
  const bool saved = RegGetKeySecurity(handle, DACL_SECURITY_INFORMATION, descriptor.data(), &size) == ERROR_SUCCESS;
  RegCloseKey(handle);
  if (!saved) return;
  undo_.push_back([=] {
    HKEY undoHandle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, WRITE_DAC, &undoHandle) == ERROR_SUCCESS) {
      RegSetKeySecurity(undoHandle, DACL_SECURITY_INFORMATION, const_cast<BYTE*>(descriptor.data()));
      RegCloseKey(undoHandle);
    }
  });
}

bool Seed::OverrideFile(const Text& path, const ByteString& bytes) {
  const NativeFileView realFolders;
  ByteString old;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
  if (existed) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    old.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    const bool ok = old.empty() || ReadFile(file, old.data(), static_cast<DWORD>(old.size()), &read, nullptr);
    CloseHandle(file);
    if (!ok) return false;
    old.resize(read);
  }
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  const HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool written = WriteAll(file, bytes);
  CloseHandle(file);
  undo_.push_back([=] {
    const NativeFileView realFolders;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!existed) {
      DeleteFileA(path.c_str());
      return;
    }
    const HANDLE restore =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (restore == INVALID_HANDLE_VALUE) return;
    WriteAll(restore, old);
    CloseHandle(restore);
    SetFileAttributesA(path.c_str(), attributes);
  });
  return written;
}

bool Seed::File(const Text& path, const ByteString& bytes) {
  const NativeFileView realFolders;
  const HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool written = WriteAll(file, bytes);
  CloseHandle(file);
  undo_.push_back([=] {
    const NativeFileView realFolders;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
  });
  return written;
}

bool Seed::Copy(const Text& from, const Text& to) {
  const NativeFileView realFolders;
  if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) return false;
  undo_.push_back([=] {
    const NativeFileView realFolders;
    SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(to.c_str());
  });
  return true;
}

void Seed::Undo() {
  for (auto undo = undo_.rbegin(); undo != undo_.rend(); ++undo) (*undo)();
  undo_.clear();
}

namespace {

std::string Hex(const unsigned char* data, std::size_t length) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (std::size_t i = 0; i < length; ++i) {
    hex += kDigits[data[i] >> 4];
    hex += kDigits[data[i] & 15];
  }
  return hex;
}

std::string Summary(const ByteString& data) {
  if (data.size() <= 256) return Hex(data.data(), data.size());
  unsigned long long sum = 0xCBF29CE484222325ull;
  for (unsigned char byte : data) sum = (sum ^ byte) * 0x100000001B3ull;
  char text[64];
  std::snprintf(text, sizeof text, "%zu bytes, %016llX", data.size(), sum);
  return text;
}

void DumpKey(HKEY root, const std::string& path, std::vector<std::string>& lines, int depth) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  lines.push_back("[" + path + "]");
  DWORD maxName = 0, maxData = 0, maxSubkey = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, &maxSubkey, nullptr, nullptr, &maxName, &maxData, nullptr,
                   nullptr);
  std::vector<char> name(maxName * 2 + 16);
  ByteString data(maxData + 16);
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD dataLength = static_cast<DWORD>(data.size());
    DWORD type = 0;
    const LONG status = RegEnumValueA(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &dataLength);
    if (status == ERROR_MORE_DATA) {
      name.resize(name.size() * 2);
      data.resize(std::max<std::size_t>(data.size() * 2, dataLength + 16));
      --i;
      continue;
    }
    if (status != ERROR_SUCCESS) break;
    lines.push_back(path + " | " + std::string(name.data(), nameLength) + " | " + std::to_string(type) + " | " +
                    Summary(ByteString(data.begin(), data.begin() + dataLength)));
  }
  std::vector<std::string> subkeys;
  std::vector<char> subkey(maxSubkey * 2 + 16);
  for (DWORD i = 0;; ++i) {
    DWORD length = static_cast<DWORD>(subkey.size());
    if (RegEnumKeyExA(key, i, subkey.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subkeys.emplace_back(subkey.data(), length);
  }
  RegCloseKey(key);
  if (depth > 12) return;
  for (const std::string& child : subkeys) DumpKey(root, path + "\\" + child, lines, depth + 1);
}

}  // namespace

std::string DumpTree(HKEY root, const Text& key) {
  std::vector<std::string> lines;
  DumpKey(root, key, lines, 0);
  std::sort(lines.begin(), lines.end());
  std::string dump;
  for (const std::string& line : lines) dump += line + "\n";
  return dump;
}

std::string TreeDifference(const std::string& before, const std::string& after) {
  auto split = [](const std::string& text) {
    std::multiset<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.insert(line);
    return lines;
  };
  const std::multiset<std::string> old = split(before), now = split(after);
  std::string difference;
  for (const std::string& line : old) {
    if (now.count(line) < old.count(line)) difference += "- " + line + "\n";
  }
  for (const std::string& line : now) {
    if (old.count(line) < now.count(line)) difference += "+ " + line + "\n";
  }
  return difference;
}

bool WholeCharacters(const Text& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(text[i]))) {
      if (i + 1 >= text.size()) return false;
      ++i;
    }
  }
  return true;
}

std::size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                            sizeof counters)) {
    return 0;
  }
  // Committed private memory; Wine reports it here and leaves PrivateUsage 0.
  return counters.PagefileUsage;
}

}  // namespace hostile
