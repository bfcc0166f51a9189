// The parts of reading version information that work on bytes alone:
// bounded copies out of the block, the translation key, the labelled lines.
// Internal to the host layer; free of Windows calls so that they can be
// tested, and fuzzed natively, with blocks a real file cannot produce.
#pragma once

#include "base/text_ops.h"

// The bytes VerQueryValueA pointed at: at most claimedLength of them and
// never any beyond the end of the block (a resource may claim a string
// longer than its data). A pointer outside the block gives nothing.
ByteString CopyFromBlock(const ByteString& block, const void* pointer, std::size_t claimedLength);

// "LLLLCCCC" from the first translation entry (language in the low 16 bits,
// code page in the high 16 bits; missing bytes read as zero).
Text TranslationKeyFromEntry(const ByteString& entry);

// label, "：", spaces up to a 12-byte label column, value.
Text VersionLine(const Text& label, const Text& value);

// The value of the first line with the label, trimmed of blanks; "" if none.
Text VersionValueFromLines(const TextList& lines, const Text& label);
// The value labelled "描述".
Text DescriptionFromLines(const TextList& lines);
