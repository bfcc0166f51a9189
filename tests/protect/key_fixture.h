// Registry keys of the protection tests: opening them as a program would,
// and keeping a key's access list to put it back afterwards.
#pragma once

#include <windows.h>
#include <sddl.h>

#include <vector>

#include "base/text_ops.h"

struct KeyOf {
  HKEY root;
  Text subKey;
};

inline KeyOf Split(const Text& path) {
  const std::size_t slash = path.find('\\');
  const Text root = path.substr(0, slash);
  return {root == "HKEY_LOCAL_MACHINE" ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, path.substr(slash + 1)};
}

inline bool Opens(const Text& path, REGSAM access) {
  const KeyOf key = Split(path);
  HKEY handle = nullptr;
  const LONG status = RegOpenKeyExA(key.root, key.subKey.c_str(), 0, access, &handle);
  if (handle) RegCloseKey(handle);
  return status == ERROR_SUCCESS;
}

// A key's access list as SDDL ("D:P(A;;KA;;;SY)..."), "missing" when the key
// is not there, "" when it cannot be read.
inline Text AccessText(const Text& path) {
  const KeyOf key = Split(path);
  HKEY handle = nullptr;
  const LONG status = RegOpenKeyExA(key.root, key.subKey.c_str(), 0, READ_CONTROL, &handle);
  if (status == ERROR_FILE_NOT_FOUND) return "missing";
  if (status != ERROR_SUCCESS) return Text();
  DWORD size = 0;
  RegGetKeySecurity(handle, DACL_SECURITY_INFORMATION, nullptr, &size);
  std::vector<BYTE> descriptor(size);
  Text text;
  LPSTR sddl = nullptr;
  if (size > 0 && RegGetKeySecurity(handle, DACL_SECURITY_INFORMATION, descriptor.data(), &size) == ERROR_SUCCESS &&
      ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor.data(), SDDL_REVISION_1,
                                                           DACL_SECURITY_INFORMATION, &sddl, nullptr)) {
    text = sddl;
    LocalFree(sddl);
  }
  RegCloseKey(handle);
  return text;
}

inline bool SetAccessText(const Text& path, const char* sddl) {
  const KeyOf key = Split(path);
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr)) return false;
  HKEY handle = nullptr;
  bool set = false;
  if (RegOpenKeyExA(key.root, key.subKey.c_str(), 0, WRITE_DAC, &handle) == ERROR_SUCCESS) {
    set = RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    RegCloseKey(handle);
  }
  LocalFree(descriptor);
  return set;
}

// A key's whole security descriptor (its access list), put back at the end.
class DaclBackup {
 public:
  explicit DaclBackup(const Text& path) : key_(Split(path)) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(key_.root, key_.subKey.c_str(), 0, READ_CONTROL, &handle) != ERROR_SUCCESS) return;
    DWORD size = 0;
    RegGetKeySecurity(handle, DACL_SECURITY_INFORMATION, nullptr, &size);
    descriptor_.resize(size);
    if (RegGetKeySecurity(handle, DACL_SECURITY_INFORMATION, descriptor_.data(), &size) != ERROR_SUCCESS) {
      descriptor_.clear();
    }
    RegCloseKey(handle);
  }
  ~DaclBackup() {
    HKEY handle = nullptr;
    if (descriptor_.empty() || RegOpenKeyExA(key_.root, key_.subKey.c_str(), 0, WRITE_DAC, &handle) != ERROR_SUCCESS) {
      return;
    }
    RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, descriptor_.data());
    RegCloseKey(handle);
  }
  DaclBackup(const DaclBackup&) = delete;
  DaclBackup& operator=(const DaclBackup&) = delete;

 private:
  KeyOf key_;
  std::vector<BYTE> descriptor_;
};
