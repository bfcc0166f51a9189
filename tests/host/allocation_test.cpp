// A value too big for the machine's memory (as on the 32-bit build) makes the
// read fail as reads fail, never an exception out of the operation. This
// program puts a ceiling on its own allocations to stand for that memory.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "host/registry.h"
#include "host/registry_values.h"

namespace {
std::atomic<std::size_t> g_ceiling{static_cast<std::size_t>(-1)};
}  // namespace

void* operator new(std::size_t size) {
  if (size > g_ceiling) throw std::bad_alloc();
  if (void* memory = std::malloc(size ? size : 1)) return memory;
  throw std::bad_alloc();
}
// The library's operator delete frees with free(), as this new allocates.

namespace {

const char kKey[] = "Software\\VeltroAllocationTest";

TEST(AllocationTest, AHugeValueReadsAsFailedNotAsAnException) {
  const ByteString huge(8u << 20, 0x41);
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kKey, "Huge", REG_BINARY, huge.data(), static_cast<DWORD>(huge.size())),
            ERROR_SUCCESS);
  ASSERT_TRUE(WriteRegistryValue(kCurrentUser, Text(kKey) + "\\Small", "small"));
  g_ceiling = 1u << 20;
  TextList names = {"stale"}, data = {"stale"};
  std::vector<RegistryValue> values;
  bool read = true;
  EXPECT_NO_THROW({
    EXPECT_EQ(ReadRegistryBytes(kCurrentUser, Text(kKey) + "\\Huge", ByteString{1}), ByteString{1});
    EXPECT_EQ(ReadRegistryText(kCurrentUser, Text(kKey) + "\\Small"), "small");
    ListValues(kCurrentUser, kKey, names, data);
    read = ReadKeyValues(kCurrentUser, kKey, values);
  });
  g_ceiling = static_cast<std::size_t>(-1);
  EXPECT_TRUE(names.empty() && data.empty());
  EXPECT_FALSE(read);
  RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
}

}  // namespace
