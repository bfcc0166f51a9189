// Text and byte-string operations on GBK text.
//
// A Text is a byte string in code page 936 without embedded zero bytes; every
// length and position counts bytes. A byte of 0x80 or above starts a two-byte
// character, and every scan here steps over its second byte. This file is a
// leaf: no Windows dependency, usable everywhere.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Text = std::string;
using ByteString = std::vector<unsigned char>;
using TextList = std::vector<Text>;

inline bool IsLeadByte(unsigned char byte) { return byte >= 0x80; }

// Position of the last backslash that is a character of its own, never the
// second byte of a two-byte character (which may be 0x5C); Text::npos when
// there is none. The one rule by which paths are split.
std::size_t LastBackslash(const Text& text);
// Whether the text ends in such a backslash.
bool EndsWithBackslash(const Text& text);

// Concatenation of two or more texts, in order.
template <typename... Parts>
Text ConcatText(const Parts&... parts) {
  Text result;
  (result.append(parts), ...);
  return result;
}

// -1, 0 or 1 by unsigned byte-wise comparison; case matters.
int CompareText(const Text& a, const Text& b);
std::size_t TextLength(const Text& text);
// First / last n bytes: the whole text when it is shorter, "" for n < 1.
Text LeftBytes(const Text& text, long long n);
Text RightBytes(const Text& text, long long n);
// ASCII A-Z lowered; both bytes of a two-byte character are copied unchanged.
Text ToLowerCase(const Text& text);
// Spaces are 0x20 and the full-width space A1 A1.
Text TrimSpaces(const Text& text);
Text RemoveAllSpaces(const Text& text);
// maxParts < 0: unlimited. See the definition for the exact rules.
TextList SplitText(const Text& text, const Text& delimiter = ",", long long maxParts = -1);
Text SpaceText(long long n);
Text RepeatText(long long n, const Text& text);

Text ToText(long long number);
Text ToText(int number);
Text ToText(unsigned int number);
Text ToText(bool value);                 // "真" / "假"
Text ToText(const ByteString& bytes);    // up to the first zero byte
Text ToText(const Text& text);
Text ToText(const char* text);
// Full-width letters, digits and signs become ASCII first; then a decimal
// integer is read from the start (leading white space, one sign). "" gives 0.
// The result wraps to 32 bits like the registry's numbers.
int32_t ToInteger(const Text& text);
int32_t ToInteger(double number);        // truncated
// Upper-case hexadecimal digits without prefix or padding.
Text HexText(uint32_t number);

ByteString ToBytes(const Text& text);
std::size_t ByteLength(const ByteString& bytes);
ByteString ZeroBytes(long long n);

// Typed little-endian reads from a byte string at a 1-based position; bytes
// beyond the end read as zero.
enum class ValueType { Byte, Int16, Int32, Int64, Float32, Float64, Truth, Text };
struct TypedValue {
  int64_t integer = 0;   // Byte, Int16, Int32, Int64, Truth
  double real = 0;       // Float32, Float64
  Text text;             // Text
};
TypedValue ReadTypedValue(const ByteString& bytes, ValueType type, long long position = 1);
