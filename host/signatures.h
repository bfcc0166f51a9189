// Who vouches for a file: an Authenticode signature in the file itself or a
// Windows catalogue that lists the file's hash. Revocation is never asked
// about: a damaged machine is often offline, and the question would hang.
#pragma once

#include "base/text_ops.h"

struct SignatureFinding {
  bool isSigned = false;
  Text signer;   // the signing certificate's name; may be "" when signed
};

// Reads the whole file (hashing): seconds for a large one on a slow disk,
// so callers run it when the window is idle, not in the middle of a scan.
// A system without wintrust.dll or crypt32.dll reports every file unsigned.
SignatureFinding CheckFileSignature(const Text& path);
