// Copying out of a version-information block without ever reading past it.
// Internal to the host layer; separate so that the bound can be tested
// with blocks a real file cannot produce.
#pragma once

#include "app/text_ops.h"

// The bytes VerQueryValueA pointed at: at most claimedLength of them and
// never any beyond the end of the block (a resource may claim a string
// longer than its data). A pointer outside the block gives nothing.
ByteString CopyFromBlock(const ByteString& block, const void* pointer, std::size_t claimedLength);
