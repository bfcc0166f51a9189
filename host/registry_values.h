// A key's values whole: names, types and data byte for byte, for code that
// moves or restores entries as they are (the Winsock catalogue).
#pragma once

#include <cstdint>
#include <vector>

#include "base/text_ops.h"

struct RegistryValue {
  Text name;
  uint32_t type = 0;   // REG_* as stored
  ByteString data;
  bool operator==(const RegistryValue& other) const {
    return name == other.name && type == other.type && data == other.data;
  }
};

// Every value of an existing key, in the registry's order. false (values
// untouched) when the key cannot be read or a value cannot be read whole.
bool ReadKeyValues(int root, const Text& keyPath, std::vector<RegistryValue>& values);
// Creates the key when missing and writes each value as given; true when
// every value was written.
bool WriteKeyValues(int root, const Text& keyPath, const std::vector<RegistryValue>& values);
