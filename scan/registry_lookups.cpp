#include "scan/registry_lookups.h"

#include "host/registry.h"
#include "host/registry_presence.h"

Text RootName(int root) {
  switch (root) {
    case kClassesRoot: return "HKEY_CLASSES_ROOT";
    case kCurrentConfig: return "HKEY_CURRENT_CONFIG";
    case kLocalMachine: return "HKEY_LOCAL_MACHINE";
    case kUsers: return "HKEY_USERS";
    default: return "HKEY_CURRENT_USER";
  }
}

void ListPresentSubkeys(int root, const Text& keyPath, TextList& names) {
  if (RegistryKeyPresent(root, keyPath)) ListSubkeys(root, keyPath, names);
}

Text ClassNameOf(const Text& classId) {
  return ReadRegistryText(kClassesRoot, "CLSID\\" + classId + "\\");
}

Text ClassServerOf(const Text& classId) {
  return ReadRegistryText(kClassesRoot, "CLSID\\" + classId + "\\InProcServer32\\");
}

Text ResolveClsidServer(const Text& classId) {
  return ReadRegistryText(kLocalMachine, "SOFTWARE\\Classes\\CLSID\\" + classId + "\\InProcServer32\\");
}

namespace {

struct ValueLocation {
  int root;
  const char* key;
};

// Every key a scanner enumerates with ListValues; its rows name values.
const ValueLocation kValueLocations[] = {
    {kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {kLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
    {kCurrentUser, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
    {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
    {kCurrentUser, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx"},
    {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx"},
    {kCurrentUser, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices"},
    {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices"},
    {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellExecuteHooks"},
    {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad"},
    {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\SharedTaskScheduler"},
    {kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved"},
    {kLocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar"},
    {kCurrentUser, "Software\\Microsoft\\Internet Explorer\\URLSearchHooks"},
};

}  // namespace

bool SplitValueEntry(const Text& absolutePath, int& root, Text& key, Text& valueName) {
  // The keys are ASCII: their letters compare without regard to case.
  const Text lowered = ToLowerCase(absolutePath);
  for (const ValueLocation& location : kValueLocations) {
    const Text prefix = RootName(location.root) + "\\" + location.key + "\\";
    if (lowered.compare(0, prefix.size(), ToLowerCase(prefix)) != 0) continue;
    root = location.root;
    key = location.key;
    valueName = absolutePath.substr(prefix.size());
    return true;
  }
  return false;
}

bool SplitRowPath(const Text& absolutePath, int& root, Text& rest) {
  // Root names are ASCII, so the first backslash is never a trail byte.
  const std::size_t separator = absolutePath.find('\\');
  if (separator == Text::npos) return false;
  root = RootNumberFromName(absolutePath.substr(0, separator));
  rest = absolutePath.substr(separator + 1);
  return true;
}

void SplitValuePath(const Text& path, Text& key, Text& valueName) {
  std::size_t last = Text::npos;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const unsigned char byte = static_cast<unsigned char>(path[i]);
    if (IsLeadByte(byte)) {
      ++i;
    } else if (byte == '\\') {
      last = i;
    }
  }
  if (last == Text::npos) {
    key.clear();
    valueName = path;
  } else {
    key = path.substr(0, last);
    valueName = path.substr(last + 1);
  }
}
