#include "host/version_block.h"

#include <cstdint>
#include <cstdio>

namespace {
const char kColon[] = "：";
const char kDescriptionLabel[] = "描述";
constexpr long long kLabelWidth = 12;
}  // namespace

ByteString CopyFromBlock(const ByteString& block, const void* pointer, std::size_t claimedLength) {
  const auto* begin = block.data();
  const auto* end = begin + block.size();
  const auto* from = static_cast<const unsigned char*>(pointer);
  // Compared as addresses: the pointer need not lie inside the block.
  const auto address = reinterpret_cast<uintptr_t>(from);
  if (from == nullptr || address < reinterpret_cast<uintptr_t>(begin) ||
      address >= reinterpret_cast<uintptr_t>(end)) {
    return ByteString();
  }
  const std::size_t available = static_cast<std::size_t>(end - from);
  return ByteString(from, from + (claimedLength < available ? claimedLength : available));
}

Text TranslationKeyFromEntry(const ByteString& entry) {
  const uint32_t value = static_cast<uint32_t>(ReadTypedValue(entry, ValueType::Int32).integer);
  char text[9];
  std::snprintf(text, sizeof text, "%04X%04X", static_cast<unsigned>(value & 0xFFFFu),
                static_cast<unsigned>(value >> 16));
  return text;
}

Text VersionLine(const Text& label, const Text& value) {
  const Text head = label + kColon;
  return head + SpaceText(kLabelWidth - static_cast<long long>(head.size())) + value;
}

Text DescriptionFromLines(const TextList& lines) { return VersionValueFromLines(lines, kDescriptionLabel); }

Text VersionValueFromLines(const TextList& lines, const Text& label) {
  const std::size_t head = label.size() + Text(kColon).size();
  for (const Text& line : lines) {
    if (line.size() >= head && line.compare(0, label.size(), label) == 0) return TrimSpaces(line.substr(head));
  }
  return Text();
}
