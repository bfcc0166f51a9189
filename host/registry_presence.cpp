#include "host/registry_presence.h"

#include <windows.h>

#include "host/registry_paths.h"
#include "host/scoped_handles.h"

namespace {

bool IsNotFound(LONG status) { return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND; }

LONG OpenForQuery(int root, const Text& keyPath, ScopedKey& key) {
  return OpenRegistryKey(RootKeyFromNumber(root), WithoutTrailingBackslash(keyPath), KEY_QUERY_VALUE, key);
}

}  // namespace

bool RegistryKeyPresent(int root, const Text& keyPath) {
  ScopedKey key;
  return !IsNotFound(OpenForQuery(root, keyPath, key));
}

bool RegistryValuePresent(int root, const Text& keyPath, const Text& valueName) {
  ScopedKey key;
  const LONG opened = OpenForQuery(root, keyPath, key);
  if (opened != ERROR_SUCCESS) return !IsNotFound(opened);
  return !IsNotFound(RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, nullptr, nullptr, nullptr));
}
