// Reads one file, or a range of it, in blocks of fixed size, so that a long
// file can be handed on piece by piece without holding it whole.
#pragma once

#include <cstdint>

#include "base/text_ops.h"
#include "host/files.h"

class BlockFileReader {
 public:
  static constexpr int32_t kDefaultBlockSize = 10240;

  BlockFileReader() = default;
  BlockFileReader(const BlockFileReader&) = delete;
  BlockFileReader& operator=(const BlockFileReader&) = delete;

  // Opens the file shared for reading (others may read, not write) and
  // returns the number of blocks in the range, 0 when there is nothing to
  // read (the file is then closed again). A block size, start or length of 0
  // or below means 10240, the start of the file, the rest of the file.
  int32_t Open(const Text& path, int32_t blockSize = 0, int32_t start = 0, int32_t length = 0);
  // The bytes of block index (counted from 1); fewer at the end of the file,
  // none for an index outside the range or a closed reader.
  ByteString ReadBlock(int32_t index);
  void Close();

  bool IsOpen() const { return file_.IsOpen(); }
  int32_t BlockSize() const { return blockSize_; }
  int32_t LastBlockSize() const { return lastBlockSize_; }
  int32_t BlockCount() const { return blockCount_; }
  int32_t Start() const { return start_; }
  int32_t Length() const { return length_; }
  // Length of the whole file found by the last Open; -1 when it could not be
  // opened.
  int64_t FileLength() const { return fileLength_; }

 private:
  ReadOnlyFile file_;
  int32_t blockSize_ = 0;
  int32_t lastBlockSize_ = 0;   // 0 when the length is a whole multiple of the block size
  int32_t blockCount_ = 0;
  int32_t start_ = 0;
  int32_t length_ = 0;
  int64_t fileLength_ = -1;
};
