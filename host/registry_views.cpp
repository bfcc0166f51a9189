#include "host/registry_views.h"

#include <windows.h>

#include "host/files.h"
#include "host/native_view.h"
#include "host/registry.h"

namespace {

// Below HKEY_LOCAL_MACHINE\SOFTWARE, WOW64 redirects everything except
// these subtrees (Microsoft, "Registry Keys Affected by WOW64"); only the
// ones that hold a location Veltro reads are named. Windows 7 also links the
// Wow6432Node path of a shared key to the key itself, so that path would
// show the same entries again.
// - SOFTWARE\Classes: shared on Windows 7; on XP x64, 2003 x64 and Vista
//   redirected but reflected, the copies kept equal. Its class
//   registrations are the exception, read through the 32-bit class view.
// - the policy trees: shared on every 64-bit Windows.
// - Image File Execution Options: shared from Windows 7 on; XP x64 and
//   2003 x64 keep a 32-bit copy that their 32-bit programs write.
struct SharedSubtree {
  const char* key;
  bool fromWindows7;
};

const SharedSubtree kSharedSubtrees[] = {
    {"SOFTWARE\\Classes", false},
    {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies", false},
    {"SOFTWARE\\Policies", false},
    {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options", true},
};

const char kSoftware[] = "SOFTWARE";

bool Windows7OrLater() {
  const DWORD version = GetVersion();
  const unsigned major = LOBYTE(LOWORD(version)), minor = HIBYTE(LOWORD(version));
  return major > 6 || (major == 6 && minor >= 1);
}

// `key` is `subtree` or lies below it; ASCII letters compare without case.
bool LiesIn(const Text& key, const Text& subtree) {
  const Text head = ToLowerCase(key.substr(0, subtree.size()));
  if (head != ToLowerCase(subtree)) return false;
  return key.size() == subtree.size() || key[subtree.size()] == '\\';
}

bool HasThirtyTwoBitCopy(int root, const Text& key) {
  if (root != kLocalMachine || !LiesIn(key, kSoftware) || key.size() == sizeof kSoftware - 1) return false;
  for (const SharedSubtree& shared : kSharedSubtrees) {
    if (LiesIn(key, shared.key) && (!shared.fromWindows7 || Windows7OrLater())) return false;
  }
  return !LiesIn(key, Text(kSoftware) + "\\Wow6432Node");   // a copy has no copy
}

}  // namespace

std::vector<KeyInView> ViewsOfKey(int root, const Text& key) {
  std::vector<KeyInView> views{{key, RegistryView::Native}};
  if (OnSixtyFourBitWindows() && HasThirtyTwoBitCopy(root, key)) {
    // "SOFTWARE" as the key spells it, then the copy's node.
    const std::size_t rest = sizeof kSoftware - 1;
    views.push_back({key.substr(0, rest) + "\\Wow6432Node" + key.substr(rest), RegistryView::ThirtyTwoBit});
  }
  return views;
}

Text FileSeenFrom(RegistryView view, const Text& stored) {
  const Text path = FullFilePath(stored);
  if (view == RegistryView::Native || !OnSixtyFourBitWindows()) return path;
  const Text system = GetSpecialFolder(kFolderSystem), windows = GetSpecialFolder(kFolderWindows);
  if (system.empty() || windows.empty() || ToLowerCase(path.substr(0, system.size())) != ToLowerCase(system)) {
    return path;
  }
  return windows + "SysWOW64\\" + path.substr(system.size());
}
