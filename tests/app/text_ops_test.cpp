// Text operations on GBK bytes: every scan must step over trail bytes.
#include <gtest/gtest.h>

#include "base/text_ops.h"

namespace {

const Text kBackslashTrail = "\x87\x5C";   // "嘰": its trail byte is a backslash
const Text kFullWidthSpace = "\xA1\xA1";

TEST(TextOpsTest, SplitText) {
  struct Case {
    Text text, delimiter;
    long long maxParts;
    TextList expected;
  };
  const Case cases[] = {
      {"a,,b", ",", -1, {"a", "", "b"}},
      {"a,b,", ",", -1, {"a", "b"}},                 // no empty last piece
      {",a", ",", -1, {"", "a"}},
      {"", ",", -1, {}},
      {"a,b", ",", 0, {}},
      {"a,b", "", -1, {"a,b"}},
      {"a,b,c,d", ",", 2, {"a", "b"}},               // the remainder is dropped
      {"a::b::", "::", -1, {"a", "b"}},
      {"x" + kBackslashTrail + "\\y", "\\", -1, {"x" + kBackslashTrail, "y"}},
      {"\xB1" "A,b", "A", -1, {"\xB1" "A,b"}},       // "A" inside a character never matches
      {"ab\xB1", ",", -1, {"ab\xB1"}},               // a cut-off lead byte at the end
  };
  for (const Case& c : cases) EXPECT_EQ(SplitText(c.text, c.delimiter, c.maxParts), c.expected) << c.text;
}

TEST(TextOpsTest, SpacesAndCase) {
  struct Case {
    Text text, trimmed, withoutSpaces;
  };
  const Case cases[] = {
      {"  a b  ", "a b", "ab"},
      {kFullWidthSpace + " a" + kFullWidthSpace, "a", "a"},
      {kFullWidthSpace + " ", "", ""},
      // B0 A1 then A1 A1: only the last pair is a space.
      {"\xB0\xA1" + kFullWidthSpace, "\xB0\xA1", "\xB0\xA1"},
      // A1 A1 then A1 B0: only the first pair is a space.
      {"\xA1\xA1\xA1\xB0", "\xA1\xB0", "\xA1\xB0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TrimSpaces(c.text), c.trimmed) << c.text;
    EXPECT_EQ(RemoveAllSpaces(c.text), c.withoutSpaces) << c.text;
  }
  EXPECT_EQ(ToLowerCase("ABC\xC1" "AZ"), "abc\xC1" "Az");   // the trail byte 0x41 stays
  EXPECT_EQ(CompareText("\xB1", "a"), 1);                   // bytes compare unsigned
  EXPECT_EQ(RightBytes("abc", 9), "abc");
  EXPECT_EQ(HexText(0xFFFFFFFFu), "FFFFFFFF");
}

TEST(TextOpsTest, ToInteger) {
  struct Case {
    Text text;
    int32_t expected;
  };
  const Case cases[] = {
      {"", 0},   {"12abc", 12},   {"  -7", -7},   {"abc", 0},   {"--1", 0},
      {"\xA3\xB1\xA3\xB2", 12},             // full-width 1 2
      {"\xA3\xAD\xA3\xB3", -3},             // full-width minus 3
      {"4294967297", 1},                    // wraps to 32 bits
  };
  for (const Case& c : cases) EXPECT_EQ(ToInteger(c.text), c.expected) << c.text;
  EXPECT_EQ(ToInteger(1e20), INT32_MAX);
}

TEST(TextOpsTest, ReadTypedValue) {
  const ByteString bytes{0x01, 0x02, 0x03, 0x04, 'h', 'i', 0, 'x'};
  EXPECT_EQ(ReadTypedValue(bytes, ValueType::Int32).integer, 0x04030201);
  EXPECT_EQ(ReadTypedValue(bytes, ValueType::Text, 5).text, "hi");
  EXPECT_EQ(ReadTypedValue(bytes, ValueType::Text, 8).text, "x");         // no zero before the end
  EXPECT_EQ(ReadTypedValue(bytes, ValueType::Int32, 7).integer, 0x7800);  // missing bytes are zero
  EXPECT_EQ(ReadTypedValue(bytes, ValueType::Int64, 40).integer, 0);
  EXPECT_EQ(ToText(ByteString{'a', 0, 'c'}), "a");
}

}  // namespace
