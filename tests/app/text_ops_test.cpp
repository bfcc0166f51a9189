// Text operations on GBK bytes: every scan must step over trail bytes.
#include <gtest/gtest.h>

#include "app/text_ops.h"

namespace {

// "嘰" is 87 5C: its trail byte is a backslash. "表" is B1 ED.
const Text kBackslashTrail = "\x87\x5C";
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
  EXPECT_EQ(SplitText("a,b"), (TextList{"a", "b"}));
}

TEST(TextOpsTest, SpacesAndCase) {
  struct Case {
    Text text, trimmed, withoutSpaces;
  };
  const Case cases[] = {
      {"  a b  ", "a b", "ab"},
      {kFullWidthSpace + " a" + kFullWidthSpace, "a", "a"},
      {"   ", "", ""},
      {kFullWidthSpace, "", ""},
      // B0 A1 then A1 A1: the space at the end is a real one, the A1 inside
      // the first character is not.
      {"\xB0\xA1" + kFullWidthSpace, "\xB0\xA1", "\xB0\xA1"},
      // A1 then A1 A1 then B0: the first pair is the space, the second A1
      // starts the character A1 B0.
      {"\xA1\xA1\xA1\xB0", "\xA1\xB0", "\xA1\xB0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TrimSpaces(c.text), c.trimmed) << c.text;
    EXPECT_EQ(RemoveAllSpaces(c.text), c.withoutSpaces) << c.text;
  }
  // C1 is a lead byte: its trail "A" (0x41) stays as it is.
  EXPECT_EQ(ToLowerCase("ABC\xC1" "AZ"), "abc\xC1" "Az");
}

TEST(TextOpsTest, BytesAndCounts) {
  EXPECT_EQ(LeftBytes("abc", 5), "abc");
  EXPECT_EQ(LeftBytes("abc", -1), "");
  EXPECT_EQ(RightBytes("abc", 2), "bc");
  EXPECT_EQ(RightBytes("abc", 9), "abc");
  EXPECT_EQ(RightBytes("abc", 0), "");
  EXPECT_EQ(SpaceText(3), "   ");
  EXPECT_EQ(SpaceText(-2), "");
  EXPECT_EQ(RepeatText(3, "ab"), "ababab");
  EXPECT_EQ(RepeatText(0, "ab"), "");
  EXPECT_EQ(CompareText("a", "b"), -1);
  EXPECT_EQ(CompareText("\xB1", "a"), 1);   // unsigned bytes
  EXPECT_EQ(CompareText("ab", "a"), 1);
  EXPECT_EQ(CompareText("A", "a"), -1);
  EXPECT_EQ(CompareText("", ""), 0);
  EXPECT_EQ(HexText(0), "0");
  EXPECT_EQ(HexText(0x804), "804");
  EXPECT_EQ(HexText(0xFFFFFFFFu), "FFFFFFFF");
  EXPECT_EQ(ToText(ByteString{'a', 'b', 0, 'c'}), "ab");
  EXPECT_EQ(ToText(ByteString{'a', 'b'}), "ab");
  EXPECT_EQ(ToText(true), "真");
  EXPECT_EQ(ToText(-12), "-12");
  EXPECT_EQ(ZeroBytes(3), ByteString(3, 0));
  EXPECT_TRUE(ZeroBytes(0).empty());
}

TEST(TextOpsTest, ToInteger) {
  struct Case {
    Text text;
    int32_t expected;
  };
  const Case cases[] = {
      {"", 0},           {"12abc", 12},   {"  -7", -7},     {"+5", 5},
      {"abc", 0},        {"--1", 0},      {"\t\r\n 9", 9},
      {"\xA3\xB1\xA3\xB2", 12},           // full-width 1 2
      {"\xA3\xAD\xA3\xB3", -3},           // full-width minus 3
      {"\xA1\xA1" "4", 4},                // a full-width space is white space
      {"4294967297", 1},                  // wraps to 32 bits
  };
  for (const Case& c : cases) EXPECT_EQ(ToInteger(c.text), c.expected) << c.text;
  EXPECT_EQ(ToInteger(-2.9), -2);
  EXPECT_EQ(ToInteger(1e20), INT32_MAX);
}

TEST(TextOpsTest, ReadTypedValue) {
  const ByteString bytes{0x01, 0x02, 0x03, 0x04, 'h', 'i', 0, 'x'};
  EXPECT_EQ(ReadTypedValue(bytes, ValueType::Int32).integer, 0x04030201);
  EXPECT_EQ(ReadTypedValue(bytes, ValueType::Int16, 2).integer, 0x0302);
  EXPECT_EQ(ReadTypedValue(bytes, ValueType::Byte, 4).integer, 4);
  EXPECT_EQ(ReadTypedValue(bytes, ValueType::Text, 5).text, "hi");
  EXPECT_EQ(ReadTypedValue(bytes, ValueType::Text, 8).text, "x");   // no zero before the end
  EXPECT_EQ(ReadTypedValue(bytes, ValueType::Int32, 7).integer, 0x7800);   // missing bytes are zero
  EXPECT_EQ(ReadTypedValue(bytes, ValueType::Int64, 40).integer, 0);
  EXPECT_EQ(ReadTypedValue(ByteString{0xFF, 0xFF}, ValueType::Int16).integer, -1);
  EXPECT_EQ(ReadTypedValue(ByteString{0, 0, 0x80, 0x3F}, ValueType::Float32).real, 1.0);
}

}  // namespace
