// String resources named by "@file,-id" references, read from the file's own
// string table: the way left where Windows offers no function for it.
#include <gtest/gtest.h>

#include "host/display_text.h"
#include "support/fixtures.h"

namespace {

TEST(DisplayTextTest, FileStringsComeFromTheirBlockOfSixteen) {
  const struct {
    Text file;
    unsigned id;
    Text expected;
  } cases[] = {
      {fixture::kStringsDll, 1, "应用程序体验"},
      {fixture::kStringsDll, 2, "在应用程序启动时为应用程序处理应用程序兼容性缓存请求"},
      {fixture::kStringsDll, 201, "Windows 音频"},   // block 13, after string 200 of the same block is absent
      {fixture::kStringsDll, 3251, "为通过组策略部署的软件处理安装、删除以及枚举请求"},
      {fixture::kStringsDll, 65535, "最后一个"},      // the last block, its last string
      {fixture::kStringsDll, 3, ""},                  // a block that holds other strings
      {fixture::kStringsDll, 999, ""},                // no such block
      {fixture::kStringsDll, 65536, ""},
      {fixture::kNoVersionDll, 1, ""},                // no string table
      {fixture::kDirectory + "veltro_missing.dll", 1, ""},
      {"", 1, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(LoadFileString(c.file, c.id), c.expected) << c.file << " " << c.id;
}

}  // namespace
