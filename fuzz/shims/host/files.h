// Stand-in for the host's read-only file in native fuzzing builds: every
// path opens the same bytes, chosen by the fuzzer.
#pragma once

#include <algorithm>
#include <cstdint>

#include "base/text_ops.h"

inline ByteString g_fuzzFileBytes;

class ReadOnlyFile {
 public:
  ReadOnlyFile() = default;
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  bool Open(const Text&) { open_ = true; position_ = 0; return true; }
  bool IsOpen() const { return open_; }
  int64_t Length() const { return open_ ? static_cast<int64_t>(g_fuzzFileBytes.size()) : -1; }
  bool Seek(int64_t offset) {
    if (!open_ || offset < 0) return false;
    position_ = static_cast<std::size_t>(offset);
    return true;
  }
  ByteString Read(std::size_t byteCount) {
    if (!open_ || position_ >= g_fuzzFileBytes.size()) return ByteString();
    const std::size_t count = std::min(byteCount, g_fuzzFileBytes.size() - position_);
    ByteString bytes(g_fuzzFileBytes.begin() + static_cast<std::ptrdiff_t>(position_),
                     g_fuzzFileBytes.begin() + static_cast<std::ptrdiff_t>(position_ + count));
    position_ += count;
    return bytes;
  }
  void Close() { open_ = false; }

 private:
  bool open_ = false;
  std::size_t position_ = 0;
};
