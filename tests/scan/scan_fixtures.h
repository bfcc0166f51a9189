// What the scanner suites share: registry scratch entries and a file with a
// known description.
#pragma once

#include "app/text_ops.h"
#include "registry_scratch.h"

struct KnownFile {
  Text path;
  Text description;
};

// TODO: the fixture binary with a known version resource.
#include "host/files.h"
#include "host/version_info.h"
inline KnownFile DescribedFile() {
  const Text path = GetSpecialFolder(kFolderSystem) + "notepad.exe";
  return {path, GetFileDescription(path)};
}
