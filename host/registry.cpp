// Single registry values by root number and full registry path.
#include <windows.h>

#include <new>

#include "host/files.h"
#include "host/registry.h"
#include "host/registry_paths.h"
#include "host/registry_presence.h"
#include "host/scoped_handles.h"

namespace {

struct ValueData {
  DWORD type = REG_NONE;
  ByteString bytes;   // exactly the bytes the registry returned
};

// Reads one value whole. The size is asked first; should the value grow
// between the two queries, ask again rather than give up or truncate.
bool QueryValue(int root, const Text& path, ValueData& value) try {
  const RegistryEntry location = EntryBelowRoot(root, path);
  ScopedKey key;
  if (OpenRegistryKey(RootKeyFromNumber(root), location.key, KEY_READ, key) != ERROR_SUCCESS) return false;
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), location.valueName.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
      return false;
    }
    ByteString buffer(size + 1u, 0);   // never hand the registry a null buffer
    DWORD received = size;
    const LONG status = RegQueryValueExA(key.Get(), location.valueName.c_str(), nullptr, &type,
                                         buffer.data(), &received);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) return false;
    if (received > size) received = size;
    buffer.resize(received);
    value.type = type;
    value.bytes = std::move(buffer);
    return true;
  }
  return false;
} catch (const std::bad_alloc&) {
  return false;   // a value too big for this machine's memory reads as failed
}

bool StoreValue(int root, const Text& path, DWORD type, const BYTE* data, DWORD size) {
  const RegistryEntry location = EntryBelowRoot(root, path);
  const HKEY rootKey = RootKeyFromNumber(root);
  ScopedKey key;
  if (OpenRegistryKey(rootKey, location.key, KEY_WRITE, key) != ERROR_SUCCESS &&
      CreateRegistryKey(rootKey, location.key, key) != ERROR_SUCCESS) {
    return false;
  }
  return RegSetValueExA(key.Get(), location.valueName.c_str(), 0, type, data, size) == ERROR_SUCCESS;
}

}  // namespace

Text ReadRegistryText(int root, const Text& path, const Text& defaultText) {
  ValueData value;
  if (!QueryValue(root, path, value)) return defaultText;
  if (value.type != REG_SZ && value.type != REG_EXPAND_SZ) return defaultText;
  // Up to the first zero byte and never past the data: a value stored
  // without its terminating zero still reads as the bytes it holds.
  const Text text = ToText(value.bytes);
  return value.type == REG_EXPAND_SZ ? ExpandEnvironment(text) : text;
}

Text ReadRegistryDataAsText(int root, const Text& path) {
  ValueData value;
  if (!QueryValue(root, path, value)) return Text();
  const Text text = ToText(value.bytes);
  return value.type == REG_EXPAND_SZ ? ExpandEnvironment(text) : text;
}

int32_t ReadRegistryNumber(int root, const Text& path, int32_t defaultNumber) {
  ValueData value;
  if (!QueryValue(root, path, value)) return defaultNumber;
  if (value.type != REG_DWORD || value.bytes.size() > 4) return defaultNumber;
  uint32_t number = 0;   // a short value reads its missing bytes as zero
  for (std::size_t i = value.bytes.size(); i-- > 0;) number = (number << 8) | value.bytes[i];
  return static_cast<int32_t>(number);
}

ByteString ReadRegistryBytes(int root, const Text& path, const ByteString& defaultBytes) {
  ValueData value;
  if (!QueryValue(root, path, value) || value.type != REG_BINARY) return defaultBytes;
  return value.bytes;
}

bool WriteRegistryValue(int root, const Text& path, int32_t number) {
  const DWORD data = static_cast<DWORD>(number);
  return StoreValue(root, path, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

bool WriteRegistryValue(int root, const Text& path, const Text& text) {
  // Stored with its terminating zero; a text never holds one inside.
  const Text stored = ToText(text.c_str());
  return StoreValue(root, path, REG_SZ, reinterpret_cast<const BYTE*>(stored.c_str()),
                    static_cast<DWORD>(stored.size() + 1));
}

bool WriteRegistryValue(int root, const Text& path, const char* text) {
  return WriteRegistryValue(root, path, ToText(text));
}

bool WriteRegistryValue(int root, const Text& path, const ByteString& bytes) {
  return StoreValue(root, path, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

bool DeleteRegistryItem(int root, const Text& path) {
  const RegistryEntry location = EntryBelowRoot(root, path);
  const HKEY rootKey = RootKeyFromNumber(root);
  {
    ScopedKey key;
    if (OpenRegistryKey(rootKey, location.key, KEY_WRITE, key) == ERROR_SUCCESS &&
        RegDeleteValueA(key.Get(), location.valueName.c_str()) == ERROR_SUCCESS) {
      return true;
    }
  }
  // Failing a value, the path names a key. A path naming no key below the
  // root ("" or "\") must never reach RegDeleteKey.
  if (WithoutTrailingBackslash(path).empty()) return false;
  return DeleteRegistryKey(rootKey, path) == ERROR_SUCCESS;
}

bool DeleteRegistryValue(int root, const Text& keyPath, const Text& valueName) {
  ScopedKey key;
  if (OpenRegistryKey(RootKeyFromNumber(root), WithoutTrailingBackslash(keyPath), KEY_WRITE, key) != ERROR_SUCCESS) {
    return false;
  }
  return RegDeleteValueA(key.Get(), valueName.c_str()) == ERROR_SUCCESS;
}

bool RegistryItemExists(int root, const Text& path) {
  const RegistryEntry location = EntryBelowRoot(root, path);
  ScopedKey key;
  if (OpenRegistryKey(RootKeyFromNumber(root), location.key, KEY_READ, key) != ERROR_SUCCESS) return false;
  return RegQueryValueExA(key.Get(), location.valueName.c_str(), nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

namespace {

void DeleteTreeBelow(int root, const Text& keyPath, int depth) {
  if (depth > 64) return;   // no real tree is this deep; a loop must not hang us
  TextList subkeys;
  if (!RegistryKeyPresent(root, keyPath)) return;   // listing must not create it
  ListSubkeys(root, keyPath, subkeys);
  for (const Text& name : subkeys) DeleteTreeBelow(root, keyPath + "\\" + name, depth + 1);
  DeleteRegistryKey(RootKeyFromNumber(root), keyPath);
}

}  // namespace

void DeleteRegistryTree(int root, const Text& keyPath) { DeleteTreeBelow(root, WithoutTrailingBackslash(keyPath), 0); }
