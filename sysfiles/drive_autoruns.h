// The autorun.inf files in the roots of the local drives: USB worms copy
// themselves to every drive and start from there whenever Explorer opens
// the drive.
#pragma once

#include <vector>

#include "base/text_ops.h"

struct DriveAutorun {
  Text infPath;   // "E:\autorun.inf"
  Text starts;    // the lines that start a program, "key=value" joined by
                  // two spaces; "" when it starts nothing
};

// One entry per fixed or removable drive whose root holds an autorun.inf
// file. A folder of that name (made to keep the worms from writing the
// file) is not one.
std::vector<DriveAutorun> FindDriveAutoruns();
