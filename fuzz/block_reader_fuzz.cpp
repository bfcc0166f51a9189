// The block reader's arithmetic for any block size, start and length over any
// file: the blocks, read in order, are exactly the requested range.
#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "sysfiles/block_file_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  // Small block sizes keep the work per input bounded; the sign is the fuzzer's.
  const int32_t blockSize = input.Number<int16_t>();
  const int32_t start = input.Number<int32_t>();
  const int32_t length = input.Number<int32_t>();
  const std::string rest = input.Rest();
  g_fuzzFileBytes.assign(rest.begin(), rest.end());
  const int64_t fileLength = static_cast<int64_t>(g_fuzzFileBytes.size());

  BlockFileReader reader;
  const int32_t blocks = reader.Open("any", blockSize, start, length);
  const int64_t first = start > 0 ? start : 0;
  int64_t expected = length > 0 ? length : fileLength;
  if (first + expected > fileLength) expected = fileLength - first;
  if (expected <= 0) {
    if (blocks != 0 || reader.IsOpen()) std::abort();
    return 0;
  }

  ByteString joined;
  for (int32_t i = 1; i <= blocks; ++i) {
    const ByteString block = reader.ReadBlock(i);
    joined.insert(joined.end(), block.begin(), block.end());
  }
  const auto from = g_fuzzFileBytes.begin() + first;
  if (joined != ByteString(from, from + expected)) std::abort();
  if (!reader.ReadBlock(0).empty() || !reader.ReadBlock(blocks + 1).empty()) std::abort();
  return 0;
}
