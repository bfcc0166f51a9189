#include "sysfiles/drive_autoruns.h"

#include "host/drives.h"
#include "host/files.h"

namespace {

constexpr int kAttributeDirectory = 0x10;
const char kSection[] = "autorun";

// "open" and "shellexecute" start a program; so does each verb's
// "shell\<verb>\command" (the verb's own line is only its menu text).
bool StartsAProgram(const Text& key) {
  const Text lowered = ToLowerCase(key);
  if (lowered == "open" || lowered == "shellexecute") return true;
  const Text suffix = "\\command";
  return lowered.rfind("shell\\", 0) == 0 && lowered.size() > suffix.size() &&
         lowered.compare(lowered.size() - suffix.size(), suffix.size(), suffix) == 0;
}

Text WhatItStarts(const Text& infPath) {
  Text starts;
  for (const Text& key : ReadProfileKeys(infPath, kSection)) {
    if (!StartsAProgram(key)) continue;
    if (!starts.empty()) starts += "  ";
    starts += key + "=" + ReadProfileText(infPath, kSection, key);
  }
  return starts;
}

}  // namespace

std::vector<DriveAutorun> FindDriveAutoruns() {
  QuietDriveErrors quiet;
  std::vector<DriveAutorun> found;
  for (const Text& root : LocalDriveRoots()) {
    const Text path = root + "autorun.inf";
    const int attributes = GetFileAttributes(path);
    if (attributes == -1 || (attributes & kAttributeDirectory) != 0) continue;
    found.push_back({path, WhatItStarts(path)});
  }
  return found;
}
