// Who signed a file, found out on a thread of its own.
//
// A signature check reads and hashes the whole file: seconds for a large one
// on a slow disk, and one call that cannot be split. On the window's thread
// that would leave the window unanswered for as long. The checking thread
// takes one queued file at a time, at a priority below the window's, and
// only while checks are let run; the findings wait until they are taken.
//
// Called from one thread only (the window's). Without a thread (it could not
// be started) the caller's thread checks one file per TakeFindings instead.
#pragma once

#include <vector>

#include "base/text_ops.h"
#include "host/signatures.h"

struct SignatureCheck {
  int id;   // the caller's name for the file
  SignatureFinding finding;
};

// Hands a file to the checking thread; it is checked once checks may run.
void QueueSignatureCheck(int id, const Text& path);

// Whether the queued checks may run: the window lets them when it is idle.
// A waiting check does not start while they may not; one under way finishes.
void LetSignatureChecksRun(bool run);

// Checks run whatever LetSignatureChecksRun says while one lives: a caller
// that waits for every finding (a report).
class UrgentSignatureChecks {
 public:
  UrgentSignatureChecks();
  ~UrgentSignatureChecks();
  UrgentSignatureChecks(const UrgentSignatureChecks&) = delete;
  UrgentSignatureChecks& operator=(const UrgentSignatureChecks&) = delete;
};

// The findings that arrived since the last call, in the order checked.
std::vector<SignatureCheck> TakeSignatureFindings();
