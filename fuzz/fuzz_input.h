// Carves a fuzzer's bytes into the arguments of the operation under test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  // A number from the next bytes (0 when they ran out).
  template <typename T>
  T Number() {
    T value{};
    const std::size_t take = size_ < sizeof(T) ? size_ : sizeof(T);
    std::memcpy(&value, data_, take);
    Advance(take);
    return value;
  }

  // Up to the next 0xFF byte (exclusive), or everything left.
  std::string Piece() {
    const void* stop = std::memchr(data_, 0xFF, size_);
    const std::size_t length = stop ? static_cast<std::size_t>(static_cast<const uint8_t*>(stop) - data_) : size_;
    std::string piece(reinterpret_cast<const char*>(data_), length);
    Advance(stop ? length + 1 : length);
    return piece;
  }

  std::string Rest() {
    std::string rest(reinterpret_cast<const char*>(data_), size_);
    Advance(size_);
    return rest;
  }

 private:
  void Advance(std::size_t n) { data_ += n; size_ -= n; }
  const uint8_t* data_;
  std::size_t size_;
};

// Texts carry no zero byte: cut at the first one, as the program's texts are.
inline std::string AsText(const std::string& bytes) { return std::string(bytes.c_str()); }
