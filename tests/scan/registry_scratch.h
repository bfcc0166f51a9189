// Registry entries a test puts in the real locations and takes out again.
// The locations are shared with other suites, so the test removes exactly
// what it added: its own values and its own keys.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "app/text_ops.h"

class RegistryScratch {
 public:
  RegistryScratch() = default;
  ~RegistryScratch() {
    for (auto undo = undo_.rbegin(); undo != undo_.rend(); ++undo) (*undo)();
  }
  RegistryScratch(const RegistryScratch&) = delete;
  RegistryScratch& operator=(const RegistryScratch&) = delete;

  // A key of the test's own (deleted whole at the end), and its parents.
  void Key(HKEY root, const Text& key) {
    HKEY handle = nullptr;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) ==
        ERROR_SUCCESS) {
      RegCloseKey(handle);
    }
    undo_.push_back([root, key] { RegDeleteTreeA(root, key.c_str()); RegDeleteKeyA(root, key.c_str()); });
  }

  // A value of the test's own in a key that may be shared (deleted at the end).
  void Value(HKEY root, const Text& key, const Text& name, DWORD type, const ByteString& data) {
    Put(root, key, name, type, data);
    undo_.push_back([root, key, name] { RegDeleteKeyValueA(root, key.c_str(), name.c_str()); });
  }
  void String(HKEY root, const Text& key, const Text& name, const Text& text, DWORD type = REG_SZ) {
    ByteString data(text.begin(), text.end());
    data.push_back(0);
    Value(root, key, name, type, data);
  }
  void Number(HKEY root, const Text& key, const Text& name, DWORD number) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&number);
    Value(root, key, name, REG_DWORD, ByteString(bytes, bytes + 4));
  }

  static void Put(HKEY root, const Text& key, const Text& name, DWORD type, const ByteString& data) {
    HKEY handle = nullptr;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS) {
      return;
    }
    RegSetValueExA(handle, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(handle);
  }
  static bool KeyExists(HKEY root, const Text& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
  }
  static bool ValueExists(HKEY root, const Text& key, const Text& name) {
    return RegGetValueA(root, key.c_str(), name.c_str(), RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  }

 private:
  std::vector<std::function<void()>> undo_;
};

// The row whose cell in `column` is `text`, or -1.
inline int FindRow(const std::vector<std::vector<Text>>& rows, std::size_t column, const Text& text) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].size() > column && rows[i][column] == text) return static_cast<int>(i);
  }
  return -1;
}
