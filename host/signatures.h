// Who vouches for a file: an Authenticode signature in the file itself or a
// Windows catalogue that lists the file's hash. Revocation is never asked
// about: a damaged machine is often offline, and the question would hang.
#pragma once

#include "base/text_ops.h"

struct SignatureFinding {
  bool checked = false;   // false: the question could not be asked at all
  bool isSigned = false;
  Text signer;            // the signing certificate's name; may be "" when signed
};

// Reads the whole file (hashing): seconds for a large one on a slow disk,
// so callers run it when the window is idle, not in the middle of a scan.
// Without a usable wintrust.dll, or for a file that cannot be opened, the
// finding is not checked: no answer, rather than "not signed" for all.
SignatureFinding CheckFileSignature(const Text& path);
