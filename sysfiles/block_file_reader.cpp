#include "sysfiles/block_file_reader.h"

#include <algorithm>
#include <limits>

int32_t BlockFileReader::Open(const Text& path, int32_t blockSize, int32_t start, int32_t length) {
  Close();
  fileLength_ = -1;
  blockSize_ = lastBlockSize_ = blockCount_ = start_ = length_ = 0;
  if (!file_.Open(path)) return 0;
  fileLength_ = file_.Length();

  // The fields are 32-bit: a file beyond 2 GiB is read up to that size.
  const int64_t fileLength = std::min<int64_t>(fileLength_, std::numeric_limits<int32_t>::max());
  const int64_t first = start > 0 ? start : 0;
  int64_t count = length > 0 ? length : fileLength;
  if (first + count > fileLength) count = fileLength - first;
  if (count <= 0) {
    Close();
    return 0;
  }
  start_ = static_cast<int32_t>(first);
  length_ = static_cast<int32_t>(count);
  blockSize_ = blockSize > 0 ? blockSize : kDefaultBlockSize;
  if (length_ < blockSize_) {
    blockSize_ = lastBlockSize_ = length_;
    blockCount_ = 1;
    return blockCount_;
  }
  lastBlockSize_ = length_ % blockSize_;
  blockCount_ = length_ / blockSize_ + (lastBlockSize_ != 0 ? 1 : 0);
  return blockCount_;
}

ByteString BlockFileReader::ReadBlock(int32_t index) {
  if (index <= 0 || index > blockCount_ || !file_.IsOpen()) return ByteString();
  const int64_t offset = static_cast<int64_t>(start_) + static_cast<int64_t>(index - 1) * blockSize_;
  const int32_t size = (index == blockCount_ && lastBlockSize_ > 0) ? lastBlockSize_ : blockSize_;
  if (!file_.Seek(offset)) return ByteString();
  return file_.Read(static_cast<std::size_t>(size));
}

void BlockFileReader::Close() { file_.Close(); }
