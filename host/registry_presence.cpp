#include "host/registry_presence.h"

#include <windows.h>

#include "host/registry.h"

namespace {

HKEY RootKey(int root) {
  switch (root) {
    case kClassesRoot: return HKEY_CLASSES_ROOT;
    case kCurrentConfig: return HKEY_CURRENT_CONFIG;
    case kLocalMachine: return HKEY_LOCAL_MACHINE;
    case kUsers: return HKEY_USERS;
    default: return HKEY_CURRENT_USER;
  }
}

class OpenedKey {
 public:
  OpenedKey(int root, const Text& path) {
    Text subkey = path;
    while (!subkey.empty() && subkey.back() == '\\') subkey.pop_back();
    status_ = RegOpenKeyExA(RootKey(root), subkey.c_str(), 0, KEY_QUERY_VALUE, &key_);
  }
  ~OpenedKey() {
    if (status_ == ERROR_SUCCESS) RegCloseKey(key_);
  }
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;
  LONG Status() const { return status_; }
  HKEY Handle() const { return key_; }

 private:
  HKEY key_ = nullptr;
  LONG status_ = ERROR_INVALID_HANDLE;
};

bool IsNotFound(LONG status) { return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND; }

}  // namespace

bool RegistryKeyPresent(int root, const Text& keyPath) {
  const OpenedKey key(root, keyPath);
  return !IsNotFound(key.Status());
}

bool RegistryValuePresent(int root, const Text& keyPath, const Text& valueName) {
  const OpenedKey key(root, keyPath);
  if (key.Status() != ERROR_SUCCESS) return !IsNotFound(key.Status());
  const LONG status = RegQueryValueExA(key.Handle(), valueName.c_str(), nullptr, nullptr, nullptr, nullptr);
  return !IsNotFound(status);
}
