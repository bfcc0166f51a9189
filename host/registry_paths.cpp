// Root numbers and textual registry paths.
#include "host/registry_paths.h"

#include "host/registry.h"

namespace {

struct RootName {
  const char* name;
  int number;
};

const RootName kRootNames[] = {
    {"HKEY_CLASSES_ROOT", kClassesRoot}, {"HKEY_CURRENT_CONFIG", kCurrentConfig},
    {"HKEY_CURRENT_USER", kCurrentUser}, {"HKEY_LOCAL_MACHINE", kLocalMachine},
    {"HKEY_USERS", kUsers},
};

// Position of the last real backslash, Text::npos when none.
std::size_t LastBackslash(const Text& path) {
  std::size_t last = Text::npos;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(path[i]))) {
      ++i;   // the trail byte may equal 0x5C
    } else if (path[i] == '\\') {
      last = i;
    }
  }
  return last;
}

}  // namespace

HKEY RootKeyFromNumber(int root) {
  switch (root) {
    case kClassesRoot: return HKEY_CLASSES_ROOT;
    case kCurrentConfig: return HKEY_CURRENT_CONFIG;
    case kLocalMachine: return HKEY_LOCAL_MACHINE;
    case kUsers: return HKEY_USERS;
    default: return HKEY_CURRENT_USER;
  }
}

namespace {

// Under MAX_PATH characters even when every byte is a character.
constexpr std::size_t kWholePathBytes = 250;

LONG OpenStep(HKEY parent, const Text& subkey, REGSAM access, bool create, ScopedKey& key) {
  if (create) return RegCreateKeyA(parent, subkey.c_str(), key.Receive());
  return RegOpenKeyExA(parent, subkey.c_str(), 0, access, key.Receive());
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
  if (path.size() < kWholePathBytes) return RegDeleteKeyA(root, path.c_str());
  const RegistryLocation location = SplitRegistryPath(WithoutTrailingBackslash(path));
  ScopedKey parent;
  const LONG status = OpenRegistryKey(root, location.subkey, KEY_QUERY_VALUE, parent);
  if (status != ERROR_SUCCESS) return status;
  return RegDeleteKeyA(parent.Get(), location.valueName.c_str());
}

int RootNumberFromName(const Text& rootName) {
  const Text lowered = ToLowerCase(rootName);
  for (const RootName& root : kRootNames) {
    if (lowered == ToLowerCase(root.name)) return root.number;
  }
  return 0;
}

RegistryLocation SplitRegistryPath(const Text& path) {
  const std::size_t last = LastBackslash(path);
  if (last == Text::npos) return {Text(), path};
  return {path.substr(0, last), path.substr(last + 1)};
}

Text WithoutTrailingBackslash(const Text& path) {
  const std::size_t last = LastBackslash(path);
  if (last != Text::npos && last + 1 == path.size()) return path.substr(0, last);
  return path;
}

bool SplitAbsolutePath(const Text& absolutePath, AbsolutePath& result) {
  const TextList pieces = SplitText(absolutePath, "\\");
  if (pieces.size() < 2) return false;
  result.root = RootNumberFromName(pieces[0]);
  result.remainder = absolutePath.substr(pieces[0].size() + 1);
  return true;
}
