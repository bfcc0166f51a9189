// Saves registry keys and values the repair tests change and puts them back
// exactly (values with their types; keys that did not exist are removed), so
// that the suites sharing the Wine prefix see it as it was.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class RegistrySnapshot {
 public:
  RegistrySnapshot() = default;
  RegistrySnapshot(const RegistrySnapshot&) = delete;
  RegistrySnapshot& operator=(const RegistrySnapshot&) = delete;
  ~RegistrySnapshot() { Restore(); }

  // A key and everything below it.
  void AddKey(HKEY root, const std::string& path) {
    trees_.push_back({root, path, CaptureKey(root, path)});
  }
  // One value of a key that is known to exist.
  void AddValue(HKEY root, const std::string& keyPath, const std::string& name) {
    Value value{name, 0, {}};
    HKEY key;
    bool exists = false;
    if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
      exists = ReadValue(key, name, value);
      RegCloseKey(key);
    }
    values_.push_back({root, keyPath, exists, value});
  }

  void Restore() {
    for (auto it = values_.rbegin(); it != values_.rend(); ++it) {
      HKEY key;
      if (RegOpenKeyExA(it->root, it->keyPath.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) continue;
      if (it->exists) {
        RegSetValueExA(key, it->value.name.c_str(), 0, it->value.type, it->value.data.data(),
                       static_cast<DWORD>(it->value.data.size()));
      } else {
        RegDeleteValueA(key, it->value.name.c_str());
      }
      RegCloseKey(key);
    }
    values_.clear();
    for (auto it = trees_.rbegin(); it != trees_.rend(); ++it) {
      RegDeleteTreeA(it->root, it->path.c_str());
      RegDeleteKeyA(it->root, it->path.c_str());
      if (it->image.exists) WriteKey(it->root, it->path, it->image);
    }
    trees_.clear();
  }

 private:
  struct Value {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
  };
  struct Key {
    bool exists = false;
    std::vector<Value> values;
    std::vector<std::pair<std::string, Key>> subkeys;
  };
  struct Tree {
    HKEY root;
    std::string path;
    Key image;
  };
  struct SavedValue {
    HKEY root;
    std::string keyPath;
    bool exists;
    Value value;
  };

  static bool ReadValue(HKEY key, const std::string& name, Value& value) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    value.type = type;
    value.data.resize(size);
    return RegQueryValueExA(key, name.c_str(), nullptr, &type, value.data.data(), &size) == ERROR_SUCCESS;
  }

  static Key CaptureKey(HKEY root, const std::string& path) {
    Key image;
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return image;
    image.exists = true;
    char name[16384];
    for (DWORD i = 0;; ++i) {
      DWORD length = sizeof name;
      if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      Value value{std::string(name, length), 0, {}};
      if (ReadValue(key, value.name, value)) image.values.push_back(value);
    }
    std::vector<std::string> subkeys;
    for (DWORD i = 0;; ++i) {
      DWORD length = sizeof name;
      if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      subkeys.emplace_back(name, length);
    }
    RegCloseKey(key);
    for (const std::string& subkey : subkeys) {
      image.subkeys.emplace_back(subkey, CaptureKey(root, path + "\\" + subkey));
    }
    return image;
  }

  static void WriteKey(HKEY root, const std::string& path, const Key& image) {
    HKEY key;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
      return;
    }
    for (const Value& value : image.values) {
      RegSetValueExA(key, value.name.c_str(), 0, value.type, value.data.data(),
                     static_cast<DWORD>(value.data.size()));
    }
    RegCloseKey(key);
    for (const auto& subkey : image.subkeys) WriteKey(root, path + "\\" + subkey.first, subkey.second);
  }

  std::vector<Tree> trees_;
  std::vector<SavedValue> values_;
};
