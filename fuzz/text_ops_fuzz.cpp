// Every text operation on arbitrary bytes, with the properties that must hold
// whatever malware stored: no read past the text, no split two-byte
// character, results made of the input's own bytes.
#include <cstdlib>

#include "base/text_ops.h"
#include "fuzz/fuzz_input.h"

#define REQUIRE(condition) \
  do {                     \
    if (!(condition)) std::abort(); \
  } while (0)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const long long n = input.Number<int16_t>();
  const long long maxParts = input.Number<int8_t>();
  const Text delimiter = AsText(input.Piece());
  const Text text = AsText(input.Rest());

  const TextList parts = SplitText(text, delimiter, maxParts);
  std::size_t total = 0;
  for (const Text& part : parts) total += part.size();
  REQUIRE(total <= text.size());
  if (maxParts >= 0) REQUIRE(parts.size() <= static_cast<std::size_t>(maxParts));
  if (!delimiter.empty() && maxParts < 0) {
    // Rejoined pieces give back the text, less at most one trailing delimiter.
    Text joined;
    for (std::size_t i = 0; i < parts.size(); ++i) joined += (i ? delimiter : "") + parts[i];
    REQUIRE(joined == text || joined + delimiter == text);
  }

  const Text lower = ToLowerCase(text);
  REQUIRE(lower.size() == text.size());
  const Text trimmed = TrimSpaces(text);
  REQUIRE(trimmed.size() <= text.size());
  REQUIRE(TrimSpaces(trimmed) == trimmed);
  REQUIRE(RemoveAllSpaces(text).size() <= text.size());
  REQUIRE(LeftBytes(text, n).size() <= text.size());
  REQUIRE(RightBytes(text, n).size() <= text.size());
  REQUIRE(CompareText(text, delimiter) == -CompareText(delimiter, text));
  (void)ToInteger(text);
  (void)HexText(static_cast<uint32_t>(n));
  REQUIRE(SpaceText(n % 4096).size() == static_cast<std::size_t>(n % 4096 > 0 ? n % 4096 : 0));
  REQUIRE(ToText(ToBytes(text)) == text);

  const ByteString bytes(text.begin(), text.end());
  for (ValueType type : {ValueType::Byte, ValueType::Int16, ValueType::Int32, ValueType::Int64,
                         ValueType::Float32, ValueType::Float64, ValueType::Truth, ValueType::Text}) {
    const TypedValue value = ReadTypedValue(bytes, type, n);
    REQUIRE(value.text.size() <= bytes.size());
  }
  return 0;
}
