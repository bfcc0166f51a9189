// Copies out of a version block at any offset with any claimed length, the
// translation key of any entry, and the description of any lines.
#include <cstdlib>

#include "fuzz/fuzz_input.h"
#include "host/version_block.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const int32_t offset = input.Number<int32_t>();
  const uint32_t claimed = input.Number<uint32_t>();
  const std::string rest = input.Rest();
  const ByteString block(rest.begin(), rest.end());

  // The pointer a hostile resource might yield: inside, at the end, or outside.
  const unsigned char* pointer = block.data() + (block.empty() ? 0 : (static_cast<uint32_t>(offset) % (block.size() + 8)));
  const ByteString copied = CopyFromBlock(block, pointer, claimed);
  if (copied.size() > claimed || copied.size() > block.size()) std::abort();

  const Text key = TranslationKeyFromEntry(copied);
  if (key.size() != 8) std::abort();

  const Text value = ToText(copied);
  const Text line = VersionLine("描述", value);
  const Text description = DescriptionFromLines({line, VersionLine(AsText(rest), value)});
  if (description.size() > value.size()) std::abort();
  return 0;
}
