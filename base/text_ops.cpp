// Text and byte-string operations on GBK text. Every scan steps over the
// second byte of a two-byte character, so that a trail byte equal to an ASCII
// delimiter or letter is never taken for one.
#include "base/text_ops.h"

#include <cmath>
#include <cstring>

namespace {

// Length in bytes of the character starting at position; a lead byte at the
// very end of the text (a damaged character) counts as one byte.
std::size_t CharLength(const Text& text, std::size_t position) {
  if (IsLeadByte(static_cast<unsigned char>(text[position])) && position + 1 < text.size()) return 2;
  return 1;
}

// Length of the space at position (1 for 0x20, 2 for A1 A1), 0 when none.
std::size_t SpaceLength(const Text& text, std::size_t position) {
  if (text[position] == ' ') return 1;
  if (position + 1 < text.size() && static_cast<unsigned char>(text[position]) == 0xA1 &&
      static_cast<unsigned char>(text[position + 1]) == 0xA1) {
    return 2;
  }
  return 0;
}

std::size_t ClampCount(long long n, std::size_t size) {
  if (n < 1) return 0;
  return static_cast<unsigned long long>(n) < size ? static_cast<std::size_t>(n) : size;
}

// Full-width ASCII forms (A3 A1..A3 FE) and the full-width space (A1 A1)
// become their one-byte forms; everything else is copied.
Text ToHalfWidth(const Text& text) {
  Text result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = CharLength(text, i);
    const auto lead = static_cast<unsigned char>(text[i]);
    if (length == 2) {
      const auto trail = static_cast<unsigned char>(text[i + 1]);
      if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
        result.push_back(static_cast<char>(trail - 0x80));
      } else if (lead == 0xA1 && trail == 0xA1) {
        result.push_back(' ');
      } else {
        result.append(text, i, 2);
      }
    } else {
      result.push_back(text[i]);
    }
    i += length;
  }
  return result;
}

bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

int CompareText(const Text& a, const Text& b) {
  const int order = a.compare(b);   // char_traits<char> compares as unsigned char
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

std::size_t TextLength(const Text& text) { return text.size(); }

Text LeftBytes(const Text& text, long long n) { return text.substr(0, ClampCount(n, text.size())); }

Text RightBytes(const Text& text, long long n) {
  const std::size_t count = ClampCount(n, text.size());
  return text.substr(text.size() - count);
}

Text ToLowerCase(const Text& text) {
  Text result = text;
  for (std::size_t i = 0; i < result.size();) {
    const std::size_t length = CharLength(result, i);
    if (length == 1 && result[i] >= 'A' && result[i] <= 'Z') result[i] = static_cast<char>(result[i] - 'A' + 'a');
    i += length;
  }
  return result;
}

Text TrimSpaces(const Text& text) {
  std::size_t begin = 0;
  while (begin < text.size()) {
    const std::size_t space = SpaceLength(text, begin);
    if (space == 0) break;
    begin += space;
  }
  // The end of the last character that is not a space, found walking
  // forward: a trailing A1 A1 may be the tail of another character.
  std::size_t end = begin;
  for (std::size_t i = begin; i < text.size();) {
    const std::size_t space = SpaceLength(text, i);
    if (space != 0) {
      i += space;
    } else {
      i += CharLength(text, i);
      end = i;
    }
  }
  return text.substr(begin, end - begin);
}

Text RemoveAllSpaces(const Text& text) {
  Text result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t space = SpaceLength(text, i);
    if (space != 0) {
      i += space;
      continue;
    }
    const std::size_t length = CharLength(text, i);
    result.append(text, i, length);
    i += length;
  }
  return result;
}

TextList SplitText(const Text& text, const Text& delimiter, long long maxParts) {
  TextList pieces;
  if (text.empty() || maxParts == 0) return pieces;
  if (delimiter.empty()) {
    pieces.push_back(text);
    return pieces;
  }
  const auto reached = [&] { return maxParts > 0 && static_cast<long long>(pieces.size()) >= maxParts; };
  std::size_t pieceStart = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text.compare(i, delimiter.size(), delimiter) == 0) {
      pieces.push_back(text.substr(pieceStart, i - pieceStart));
      if (reached()) return pieces;
      i += delimiter.size();
      pieceStart = i;
    } else {
      i += CharLength(text, i);
    }
  }
  if (pieceStart < text.size()) pieces.push_back(text.substr(pieceStart));
  return pieces;
}

Text SpaceText(long long n) { return n < 1 ? Text() : Text(static_cast<std::size_t>(n), ' '); }

Text RepeatText(long long n, const Text& text) {
  Text result;
  if (n < 1) return result;
  result.reserve(text.size() * static_cast<std::size_t>(n));
  for (long long i = 0; i < n; ++i) result += text;
  return result;
}

Text ToText(long long number) { return std::to_string(number); }
Text ToText(int number) { return std::to_string(number); }
Text ToText(unsigned int number) { return std::to_string(number); }
Text ToText(bool value) { return value ? "真" : "假"; }

Text ToText(const ByteString& bytes) {
  Text result;
  for (unsigned char byte : bytes) {
    if (byte == 0) break;
    result.push_back(static_cast<char>(byte));
  }
  return result;
}

Text ToText(const Text& text) { return text; }
Text ToText(const char* text) { return text ? Text(text) : Text(); }

int32_t ToInteger(const Text& text) {
  const Text ascii = ToHalfWidth(text);
  std::size_t i = 0;
  while (i < ascii.size() && IsWhiteSpace(ascii[i])) ++i;
  bool negative = false;
  if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) {
    negative = ascii[i] == '-';
    ++i;
  }
  uint32_t value = 0;   // wraps modulo 2^32 like a registry number
  for (; i < ascii.size() && ascii[i] >= '0' && ascii[i] <= '9'; ++i) {
    value = value * 10u + static_cast<uint32_t>(ascii[i] - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

int32_t ToInteger(double number) {
  if (std::isnan(number)) return 0;
  const double truncated = std::trunc(number);
  if (truncated >= 2147483647.0) return INT32_MAX;
  if (truncated <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(truncated);
}

Text HexText(uint32_t number) {
  static const char kDigits[] = "0123456789ABCDEF";
  Text digits;
  do {
    digits.insert(digits.begin(), kDigits[number & 0xF]);
    number >>= 4;
  } while (number != 0);
  return digits;
}

ByteString ToBytes(const Text& text) { return ByteString(text.begin(), text.end()); }

std::size_t ByteLength(const ByteString& bytes) { return bytes.size(); }

ByteString ZeroBytes(long long n) { return n < 1 ? ByteString() : ByteString(static_cast<std::size_t>(n), 0); }

TypedValue ReadTypedValue(const ByteString& bytes, ValueType type, long long position) {
  TypedValue value;
  // Byte i of the value, zero where it lies outside the string.
  const auto byteAt = [&](long long offset) -> unsigned char {
    const long long index = position - 1 + offset;
    if (index < 0 || static_cast<unsigned long long>(index) >= bytes.size()) return 0;
    return bytes[static_cast<std::size_t>(index)];
  };
  const auto little = [&](int count) {
    uint64_t result = 0;
    for (int i = count - 1; i >= 0; --i) result = (result << 8) | byteAt(i);
    return result;
  };
  switch (type) {
    case ValueType::Byte: value.integer = byteAt(0); break;
    case ValueType::Int16: value.integer = static_cast<int16_t>(little(2)); break;
    case ValueType::Int32: value.integer = static_cast<int32_t>(little(4)); break;
    case ValueType::Int64: value.integer = static_cast<int64_t>(little(8)); break;
    case ValueType::Truth: value.integer = static_cast<int32_t>(little(4)) != 0 ? 1 : 0; break;
    case ValueType::Float32: {
      const auto raw = static_cast<uint32_t>(little(4));
      float real;
      std::memcpy(&real, &raw, sizeof real);
      value.real = real;
      break;
    }
    case ValueType::Float64: {
      const uint64_t raw = little(8);
      double real;
      std::memcpy(&real, &raw, sizeof real);
      value.real = real;
      break;
    }
    case ValueType::Text:
      for (long long offset = 0;; ++offset) {
        const long long index = position - 1 + offset;
        if (index < 0 || static_cast<unsigned long long>(index) >= bytes.size()) break;
        const unsigned char byte = bytes[static_cast<std::size_t>(index)];
        if (byte == 0) break;
        value.text.push_back(static_cast<char>(byte));
      }
      break;
  }
  return value;
}

std::size_t LastBackslash(const Text& text) {
  std::size_t last = Text::npos;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(text[i]))) {
      ++i;   // the trail byte
    } else if (text[i] == '\\') {
      last = i;
    }
  }
  return last;
}

bool EndsWithBackslash(const Text& text) {
  const std::size_t last = LastBackslash(text);
  return last != Text::npos && last + 1 == text.size();
}
