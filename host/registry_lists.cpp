// Enumerating a key's subkeys and values. Both enumerators grow their
// buffers when an item does not fit and go on, so that one long name or one
// large value never hides the items after it.
#include <windows.h>

#include <algorithm>
#include <new>

#include "host/registry.h"
#include "host/registry_paths.h"
#include "host/scoped_handles.h"

namespace {

// Registry names count UTF-16 units; in code page 936 a unit can take two
// bytes, plus the terminating zero.
DWORD AnsiCapacity(DWORD units) { return units * 2u + 2u; }

constexpr int kMaxGrowths = 24;

}  // namespace

void ListSubkeys(int root, const Text& keyPath, TextList& names) {
  // Create semantics on purpose: listing a missing key leaves it created.
  ScopedKey key;
  if (CreateRegistryKey(RootKeyFromNumber(root), WithoutTrailingBackslash(keyPath), key) != ERROR_SUCCESS) {
    return;
  }
  DWORD maxNameUnits = 0;
  RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, nullptr, &maxNameUnits, nullptr, nullptr, nullptr,
                   nullptr, nullptr, nullptr);
  std::string buffer(std::max<DWORD>(256u, AnsiCapacity(maxNameUnits)), '\0');
  int growths = 0;
  for (DWORD index = 0;;) {
    DWORD length = static_cast<DWORD>(buffer.size());
    const LONG status =
        RegEnumKeyExA(key.Get(), index, &buffer[0], &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_MORE_DATA && growths < kMaxGrowths) {
      buffer.assign(buffer.size() * 2, '\0');
      ++growths;
      continue;   // the same index again
    }
    if (status != ERROR_SUCCESS) break;
    names.push_back(Text(buffer.data(), std::min<std::size_t>(length, buffer.size())).c_str());
    ++index;
  }
}

void ListValues(int root, const Text& keyPath, TextList& names, TextList& data) try {
  names.clear();
  data.clear();
  ScopedKey key;
  if (OpenRegistryKey(RootKeyFromNumber(root), WithoutTrailingBackslash(keyPath), MAXIMUM_ALLOWED, key) !=
      ERROR_SUCCESS) {
    return;
  }
  DWORD maxNameUnits = 0;
  DWORD maxDataBytes = 0;
  RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxNameUnits,
                   &maxDataBytes, nullptr, nullptr);
  std::string name(std::max<DWORD>(256u, AnsiCapacity(maxNameUnits)), '\0');
  ByteString value(std::max<DWORD>(256u, maxDataBytes + 2u), 0);
  int growths = 0;
  for (DWORD index = 0;;) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD dataLength = static_cast<DWORD>(value.size());
    const LONG status = RegEnumValueA(key.Get(), index, &name[0], &nameLength, nullptr, nullptr,
                                      value.data(), &dataLength);
    if (status == ERROR_MORE_DATA) {
      if (growths == kMaxGrowths) {   // a value that never fits: skip it, list the rest
        ++index;
        growths = 0;
        continue;
      }
      name.assign(name.size() * 2, '\0');
      value.assign(std::max<std::size_t>(value.size() * 2, dataLength + 2u), 0);
      ++growths;
      continue;
    }
    if (status != ERROR_SUCCESS) break;
    names.push_back(Text(name.data(), std::min<std::size_t>(nameLength, name.size())).c_str());
    // Text up to the first zero byte, never past the data returned.
    const std::size_t received = std::min<std::size_t>(dataLength, value.size());
    data.push_back(ToText(ByteString(value.begin(), value.begin() + static_cast<std::ptrdiff_t>(received))));
    ++index;
    growths = 0;
  }
} catch (const std::bad_alloc&) {
  // Values too big for this machine's memory: the listing fails as a whole.
  names.clear();
  data.clear();
}
