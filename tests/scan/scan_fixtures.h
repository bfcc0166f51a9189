// What the scanner suites share: registry scratch entries and a file with a
// known description.
#pragma once

#include "app/text_ops.h"
#include "registry_scratch.h"
#include "support/fixtures.h"

struct KnownFile {
  Text path;
  Text description;
};

inline KnownFile DescribedFile() { return {fixture::kComponentExe, fixture::kComponentDescription}; }
