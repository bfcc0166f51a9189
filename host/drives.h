// The machine's local drives and the initialisation files found on them.
#pragma once

#include <windows.h>

#include "base/text_ops.h"

// While it lives, Windows does not ask for a disk when a removable drive
// without one is probed: the probe simply fails.
class QuietDriveErrors {
 public:
  QuietDriveErrors() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {
    SetErrorMode(previous_ | SEM_FAILCRITICALERRORS);
  }
  ~QuietDriveErrors() { SetErrorMode(previous_); }
  QuietDriveErrors(const QuietDriveErrors&) = delete;
  QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

 private:
  UINT previous_;
};

// The roots ("C:\") of the fixed and removable drives, in letter order.
// Floppy drives (A: and B: when removable) are left out: probing one without
// a disk takes seconds and makes the drive seek.
TextList LocalDriveRoots();

// The names of the keys of an initialisation file's section, as Windows'
// profile functions read them (the first of duplicates wins on lookup).
TextList ReadProfileKeys(const Text& file, const Text& section);
