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
