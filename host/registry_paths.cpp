// Root numbers and textual registry paths.
#include "host/registry_paths.h"

#include "host/native_view.h"
#include "host/registry.h"

namespace {

// The one table of roots: number, name, handle.
struct Root {
  int number;
  const char* name;
  HKEY key;
};

const Root kRoots[] = {
    {kClassesRoot, "HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {kCurrentConfig, "HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
    {kCurrentUser, "HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {kLocalMachine, "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {kUsers, "HKEY_USERS", HKEY_USERS},
};

// Any number that is no root stands for HKEY_CURRENT_USER.
const Root& RootOf(int number) {
  for (const Root& root : kRoots) {
    if (root.number == number) return root;
  }
  return kRoots[2];
}

}  // namespace

HKEY RootKeyFromNumber(int root) { return RootOf(root).key; }
Text RootName(int root) { return RootOf(root).name; }

namespace {

// Under MAX_PATH characters even when every byte is a character.
constexpr std::size_t kWholePathBytes = 250;

// Every key is taken in the machine's native view (see native_view.h).
LONG OpenStep(HKEY parent, const Text& subkey, REGSAM access, bool create, ScopedKey& key) {
  if (create) {
    // The access RegCreateKey asks for, in the native view.
    return RegCreateKeyExA(parent, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           MAXIMUM_ALLOWED | NativeViewAccess(), nullptr, key.Receive(), nullptr);
  }
  return RegOpenKeyExA(parent, subkey.c_str(), 0, access | NativeViewAccess(), key.Receive());
}

LONG OpenPath(HKEY root, const Text& path, REGSAM access, bool create, ScopedKey& key) {
  if (path.size() < kWholePathBytes) return OpenStep(root, path, access, create, key);
  const TextList steps = SplitText(path, "\\");
  ScopedKey current(root);
  for (std::size_t i = 0; i < steps.size(); ++i) {
    // The keys on the way are only passed through.
    const REGSAM stepAccess = i + 1 == steps.size() ? access : KEY_QUERY_VALUE;
    ScopedKey next;
    const LONG status = OpenStep(current.Get(), steps[i], stepAccess, create, next);
    if (status != ERROR_SUCCESS) return status;
    current = std::move(next);
  }
  key = std::move(current);
  return ERROR_SUCCESS;
}

}  // namespace

LONG OpenRegistryKey(HKEY root, const Text& path, REGSAM access, ScopedKey& key) {
  return OpenPath(root, path, access, false, key);
}

LONG CreateRegistryKey(HKEY root, const Text& path, ScopedKey& key) { return OpenPath(root, path, 0, true, key); }

LONG DeleteRegistryKey(HKEY root, const Text& path) {
  if (path.size() < kWholePathBytes) return DeleteKeyInNativeView(root, path.c_str());
  const RegistryEntry location = EntryBelowRoot(0, WithoutTrailingBackslash(path));
  ScopedKey parent;
  const LONG status = OpenRegistryKey(root, location.key, KEY_QUERY_VALUE, parent);
  if (status != ERROR_SUCCESS) return status;
  return DeleteKeyInNativeView(parent.Get(), location.valueName.c_str());
}

int RootNumberFromName(const Text& rootName) {
  const Text lowered = ToLowerCase(rootName);
  for (const Root& root : kRoots) {
    if (lowered == ToLowerCase(root.name)) return root.number;
  }
  return 0;
}

RegistryEntry EntryBelowRoot(int root, const Text& path) {
  RegistryEntry entry;
  entry.root = root;
  const std::size_t last = LastBackslash(path);
  if (last == Text::npos) {
    entry.valueName = path;
  } else {
    entry.key = path.substr(0, last);
    entry.valueName = path.substr(last + 1);
  }
  return entry;
}

bool ParseAbsoluteEntry(const Text& absolutePath, RegistryEntry& entry) {
  const std::size_t separator = absolutePath.find('\\');
  if (separator == Text::npos || separator + 1 == absolutePath.size()) return false;
  entry = EntryBelowRoot(RootNumberFromName(absolutePath.substr(0, separator)), absolutePath.substr(separator + 1));
  return true;
}

bool ParseValueOfKey(const Text& absolutePath, int root, const Text& key, RegistryEntry& entry) {
  // Root names and the keys that list values are ASCII: their letters
  // compare without regard to case.
  const Text prefix = RootName(root) + "\\" + key + "\\";
  if (ToLowerCase(absolutePath.substr(0, prefix.size())) != ToLowerCase(prefix)) return false;
  entry.root = root;
  entry.key = key;
  entry.valueName = absolutePath.substr(prefix.size());
  return true;
}

Text WithoutTrailingBackslash(const Text& path) {
  return EndsWithBackslash(path) ? path.substr(0, path.size() - 1) : path;
}
