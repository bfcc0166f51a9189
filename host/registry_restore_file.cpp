#include "host/registry_restore_file.h"

#include <windows.h>

#include <cstring>

#include "host/files.h"
#include "host/native_view.h"
#include "host/registry_paths.h"
#include "host/scoped_handles.h"

namespace {

constexpr int kMaxGrowths = 24;

const std::wstring kFirstLine = L"Windows Registry Editor Version 5.00\r\n";

std::wstring Wide(const Text& text) {
  if (text.empty()) return std::wstring();
  const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], units);
  return wide;
}

bool IsNotFound(LONG status) { return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND; }

LONG OpenWide(int root, const std::wstring& key, ScopedKey& handle) {
  return RegOpenKeyExW(RootKeyFromNumber(root), key.c_str(), 0, KEY_READ | NativeViewAccess(), handle.Receive());
}

// Missing for certain: a key that exists but cannot be read is not missing.
bool KeyMissing(int root, const std::wstring& key) {
  ScopedKey handle;
  return IsNotFound(OpenWide(root, key, handle));
}

std::wstring Quoted(const std::wstring& text) {
  std::wstring quoted = L"\"";
  for (const wchar_t c : text) {
    if (c == L'\\' || c == L'"') quoted += L'\\';
    quoted += c;
  }
  return quoted + L"\"";
}

std::wstring NameOf(const std::wstring& name) { return name.empty() ? L"@" : Quoted(name); }

// A REG_SZ that regedit writes as a quoted string: whole UTF-16 units, one
// terminating zero and nothing a line could not hold.
bool PlainString(DWORD type, const ByteString& data, std::wstring& text) {
  if (type != REG_SZ || data.size() < 2 || data.size() % 2 != 0) return false;
  text.assign(data.size() / 2, L'\0');
  std::memcpy(&text[0], data.data(), data.size());
  if (text.back() != L'\0') return false;
  text.pop_back();
  for (const wchar_t c : text) {
    if (c < 0x20) return false;
  }
  return true;
}

// Lower-case hexadecimal digits of a number, at least `width` of them.
std::wstring Hex(unsigned long number, int width) {
  std::wstring digits;
  do {
    digits.insert(digits.begin(), L"0123456789abcdef"[number & 0xF]);
    number >>= 4;
  } while (number != 0 || static_cast<int>(digits.size()) < width);
  return digits;
}

// "name"=data in regedit's form; long hexadecimal data goes on over lines
// ending in a backslash, as regedit writes it.
std::wstring ValueLine(const std::wstring& name, DWORD type, const ByteString& data) {
  std::wstring line = NameOf(name) + L"=";
  std::wstring text;
  if (PlainString(type, data, text)) return line + Quoted(text);
  if (type == REG_DWORD && data.size() == 4) {
    const DWORD number = static_cast<DWORD>(data[0]) | static_cast<DWORD>(data[1]) << 8 |
                         static_cast<DWORD>(data[2]) << 16 | static_cast<DWORD>(data[3]) << 24;
    return line + L"dword:" + Hex(number, 8);
  }
  line += type == REG_BINARY ? std::wstring(L"hex:") : L"hex(" + Hex(type, 1) + L"):";
  for (std::size_t i = 0; i < data.size(); ++i) {
    line += Hex(data[i], 2);
    if (i + 1 < data.size()) line += (i + 1) % 24 == 0 ? L",\\\r\n  " : L",";
  }
  return line;
}

// The registry's status: ERROR_SUCCESS with the value read whole, or why not.
LONG ReadValue(HKEY key, const std::wstring& name, DWORD& type, ByteString& data) {
  DWORD size = 0;
  for (int attempt = 0; attempt < 4; ++attempt) {
    const LONG sized = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    if (sized != ERROR_SUCCESS) return sized;
    data.assign(size + 2u, 0);
    DWORD received = size;
    const LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &received);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) return status;
    data.resize(received);
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

// What cannot be read is never marked for removal: the file must not take
// away on import what it could not put back. Such an item becomes a comment.
class RestoreWriter {
 public:
  void Value(const RegistryBackupItem& item) {
    const std::wstring key = Wide(item.key), name = Wide(item.valueName);
    ScopedKey handle;
    const LONG opened = OpenWide(item.root, key, handle);
    if (IsNotFound(opened)) {
      RemoveKey(item.root, FirstMissingKey(item.root, key));
      return;
    }
    if (opened != ERROR_SUCCESS) {
      Unreadable(item.root, key);
      return;
    }
    DWORD type = REG_NONE;
    ByteString data;
    const LONG read = ReadValue(handle.Get(), name, type, data);
    if (read != ERROR_SUCCESS && !IsNotFound(read)) {
      Unreadable(item.root, key);
      return;
    }
    Header(item.root, key);
    text_ += read == ERROR_SUCCESS ? ValueLine(name, type, data) : NameOf(name) + L"=-";
    text_ += L"\r\n";
  }

  void Tree(const RegistryBackupItem& item) {
    const std::wstring key = Wide(item.key);
    if (KeyMissing(item.root, key)) {
      RemoveKey(item.root, key);   // whatever the change creates there goes
      return;
    }
    RestoreWriter tree;
    if (!tree.Dump(item.root, key, 0)) {
      // Part of it could not be read: put back what could, remove nothing.
      Unreadable(item.root, key);
      text_ += tree.text_;
      lastHeader_.clear();
      return;
    }
    RemoveKey(item.root, key);   // whatever the change leaves there goes first
    text_ += tree.text_;
    lastHeader_.clear();
  }

  std::wstring Contents(const std::wstring& note) const { return kFirstLine + note + text_; }

 private:
  void Header(int root, const std::wstring& key) {
    const std::wstring header = L"[" + Wide(RootName(root)) + (key.empty() ? L"" : L"\\" + key) + L"]";
    if (header == lastHeader_) return;
    text_ += L"\r\n" + header + L"\r\n";
    lastHeader_ = header;
  }

  void Unreadable(int root, const std::wstring& key) {
    text_ += L"\r\n; not readable, not restored: " + Wide(RootName(root)) + L"\\" + key + L"\r\n";
    lastHeader_.clear();
  }

  void RemoveKey(int root, const std::wstring& key) {
    if (key.empty()) return;   // a root is never removed
    text_ += L"\r\n[-" + Wide(RootName(root)) + L"\\" + key + L"]\r\n";
    lastHeader_.clear();
  }

  // The shortest leading part of the path that names no key.
  std::wstring FirstMissingKey(int root, const std::wstring& key) {
    for (std::size_t end = key.find(L'\\'); ; end = key.find(L'\\', end + 1)) {
      const std::wstring part = key.substr(0, end);
      if (KeyMissing(root, part)) return part;
      if (end == std::wstring::npos) return std::wstring();
    }
  }

  // The key and everything below it; false when some of it could not be read.
  bool Dump(int root, const std::wstring& key, int depth) {
    ScopedKey handle;
    if (depth > 64) return false;
    const LONG opened = OpenWide(root, key, handle);
    if (opened != ERROR_SUCCESS) return IsNotFound(opened);   // gone meanwhile: nothing to put back
    Header(root, key);
    DWORD maxName = 0, maxData = 0, maxSubkey = 0;
    RegQueryInfoKeyW(handle.Get(), nullptr, nullptr, nullptr, nullptr, &maxSubkey, nullptr, nullptr, &maxName,
                     &maxData, nullptr, nullptr);
    std::wstring name(maxName + 2u, L'\0');
    ByteString data(maxData + 2u, 0);
    int growths = 0;
    for (DWORD index = 0;; ++index) {
      DWORD nameLength = static_cast<DWORD>(name.size()), dataLength = static_cast<DWORD>(data.size()), type = 0;
      const LONG status =
          RegEnumValueW(handle.Get(), index, &name[0], &nameLength, nullptr, &type, data.data(), &dataLength);
      if (status == ERROR_MORE_DATA && ++growths < kMaxGrowths) {   // grown meanwhile: the same one, with room
        name.assign(name.size() * 2, L'\0');
        data.assign(data.size() * 2 + dataLength, 0);
        --index;
        continue;
      }
      if (status == ERROR_NO_MORE_ITEMS) break;
      if (status != ERROR_SUCCESS) return false;   // a value that never fit
      text_ += ValueLine(name.substr(0, nameLength), type, ByteString(data.begin(), data.begin() + dataLength));
      text_ += L"\r\n";
    }
    std::vector<std::wstring> subkeys;
    std::wstring subkey(maxSubkey + 2u, L'\0');
    for (DWORD index = 0;; ++index) {
      DWORD length = static_cast<DWORD>(subkey.size());
      const LONG status = RegEnumKeyExW(handle.Get(), index, &subkey[0], &length, nullptr, nullptr, nullptr, nullptr);
      if (status == ERROR_MORE_DATA && ++growths < kMaxGrowths) {
        subkey.assign(subkey.size() * 2, L'\0');
        --index;
        continue;
      }
      if (status == ERROR_NO_MORE_ITEMS) break;
      if (status != ERROR_SUCCESS) return false;
      subkeys.push_back(subkey.substr(0, length));
    }
    bool whole = true;
    for (const std::wstring& child : subkeys) whole = Dump(root, key + L"\\" + child, depth + 1) && whole;
    return whole;
  }

  std::wstring text_;
  std::wstring lastHeader_;
};

}  // namespace

RegistryBackupItem ValueBackup(int root, const Text& key, const Text& valueName) {
  return {RegistryBackupItem::Kind::Value, root, WithoutTrailingBackslash(key), valueName};
}

RegistryBackupItem TreeBackup(int root, const Text& key) {
  return {RegistryBackupItem::Kind::Tree, root, WithoutTrailingBackslash(key), Text()};
}

std::wstring RegistryRestoreText(const std::vector<RegistryBackupItem>& items, const std::wstring& note) {
  RestoreWriter writer;
  for (const RegistryBackupItem& item : items) {
    if (item.kind == RegistryBackupItem::Kind::Value) {
      writer.Value(item);
    } else {
      writer.Tree(item);
    }
  }
  return writer.Contents(note);
}

bool ReadRestoreFileKeys(const Text& file, TextList& absoluteKeyPaths) {
  constexpr int64_t kLargestRestoreFile = 64 << 20;
  ReadOnlyFile reader;
  if (!reader.Open(file) || reader.Length() < 2 || reader.Length() > kLargestRestoreFile) return false;
  const ByteString bytes = reader.Read(static_cast<std::size_t>(reader.Length()));
  if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE) return false;
  std::wstring text;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) text += static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));
  if (text.compare(0, kFirstLine.size(), kFirstLine) != 0) return false;

  TextList keys;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find(L"\r\n", begin);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(begin, end - begin);
    begin = end + 2;
    if (line.empty() || line[0] != L'[' || line.back() != L']') continue;
    line = line.substr(1, line.size() - 2);
    if (!line.empty() && line[0] == L'-') line.erase(0, 1);
    // A name the code page cannot hold would reach the registry as another name.
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, 0, line.data(), static_cast<int>(line.size()), nullptr, 0,
                                           nullptr, &lossy);
    if (length <= 0 || lossy) return false;
    Text key(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, line.data(), static_cast<int>(line.size()), &key[0], length, nullptr, nullptr);
    keys.push_back(key);
  }
  absoluteKeyPaths = keys;
  return true;
}

bool ImportRegistryFile(const Text& file) {
  const Text windows = GetSpecialFolder(kFolderWindows);
  if (windows.empty() || file.find('"') != Text::npos) return false;
  return RunCommandLine("\"" + windows + "regedit.exe\" /s \"" + file + "\"", true, kWindowHide);
}
