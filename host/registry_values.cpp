#include "host/registry_values.h"

#include <windows.h>

#include <new>

#include "host/registry_paths.h"
#include "host/scoped_handles.h"

bool ReadKeyValues(int root, const Text& keyPath, std::vector<RegistryValue>& values) try {
  ScopedKey key;
  if (OpenRegistryKey(RootKeyFromNumber(root), WithoutTrailingBackslash(keyPath), KEY_QUERY_VALUE, key) !=
      ERROR_SUCCESS) {
    return false;
  }
  DWORD count = 0, maxName = 0, maxData = 0;
  if (RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &maxName, &maxData,
                       nullptr, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  std::vector<RegistryValue> found;
  // Names counted in characters: room for two bytes each, and the zero.
  std::string name(2u * maxName + 2u, '\0');
  ByteString data(maxData + 1u, 0);
  for (DWORD index = 0; index < count; ++index) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD dataLength = static_cast<DWORD>(data.size());
    DWORD type = 0;
    if (RegEnumValueA(key.Get(), index, &name[0], &nameLength, nullptr, &type, data.data(), &dataLength) !=
        ERROR_SUCCESS) {
      return false;   // changed under us, or too big: never a partial copy
    }
    found.push_back({Text(name.data(), nameLength), type,
                     ByteString(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(dataLength))});
  }
  values = std::move(found);
  return true;
} catch (const std::bad_alloc&) {
  return false;
}

bool WriteKeyValues(int root, const Text& keyPath, const std::vector<RegistryValue>& values) {
  ScopedKey key;
  if (CreateRegistryKey(RootKeyFromNumber(root), WithoutTrailingBackslash(keyPath), key) != ERROR_SUCCESS) {
    return false;
  }
  for (const RegistryValue& value : values) {
    if (RegSetValueExA(key.Get(), value.name.c_str(), 0, value.type, value.data.empty() ? nullptr : value.data.data(),
                       static_cast<DWORD>(value.data.size())) != ERROR_SUCCESS) {
      return false;
    }
  }
  return true;
}
