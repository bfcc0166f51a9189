// Version information read from the fixture binaries.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/version_block.h"
#include "host/version_info.h"
#include "support/fixtures.h"
#include "support/hostile_seed.h"

namespace {

TEST(VersionInfoTest, AllTwelveLinesInOrderWithTheirPadding) {
  const TextList expected = {
      "备注：      测试用的注释",
      "公司名：    Veltro 测试公司",
      "描述：      Veltro 测试组件",
      "文件版本：  1.2.3.4",
      "内部名称：  veltro_component",
      "版权：      版权所有 (C) Veltro",
      "合法商标：  Veltro 商标",
      "原文件名：  veltro_component.dll",
      "个人用编译版说明：私有",
      "产品名称：  Veltro 测试产品",
      "产品版本：  1.2",
      "特殊编译版说明：特殊",
  };
  TextList lines{"stale"};
  ReadVersionInfoLines(fixture::kComponentDll, lines);
  EXPECT_EQ(lines, expected);
  ReadVersionInfoLines(fixture::kComponentExe, lines);
  EXPECT_EQ(lines, expected);
}

TEST(VersionInfoTest, Descriptions) {
  struct Case {
    Text path;
    std::size_t lineCount;
    Text description;
  };
  const Case cases[] = {
      {fixture::kComponentDll, 12, fixture::kComponentDescription},
      {fixture::kComponentExe, 12, fixture::kComponentDescription},
      {fixture::kEnglishDll, 2, fixture::kEnglishDescription},   // key 040904E4
      {fixture::kSecondLanguageDll, 0, ""},                      // only the first entry counts
      {fixture::kBlankDescriptionDll, 2, ""},
      {fixture::kPaddedDescriptionDll, 1, fixture::kPaddedDescription},
      {fixture::kEmptyStringsDll, 0, ""},
      {fixture::kNoVersionDll, 0, ""},
      {fixture::kDirectory + "no such file.dll", 0, ""},
      {"", 0, ""},
  };
  for (const Case& c : cases) {
    TextList lines{"stale"};
    ReadVersionInfoLines(c.path, lines);
    EXPECT_EQ(lines.size(), c.lineCount) << c.path;
    EXPECT_EQ(GetFileDescription(c.path), c.description) << c.path;
  }
}

// A name without a folder is the System folder's file: the version
// functions alone would find a namesake beside the program first.
TEST(VersionInfoTest, ABareNameIsTheSystemFoldersFile) {
  char folder[MAX_PATH] = {}, program[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  const Text beside = Text(program).substr(0, LastBackslash(program) + 1);
  hostile::Seed seed;
  ASSERT_TRUE(seed.Copy(fixture::kEnglishDll, Text(folder) + "\\veltro_bare.dll"));
  ASSERT_TRUE(seed.Copy(fixture::kPaddedDescriptionDll, beside + "veltro_bare.dll"));
  ASSERT_TRUE(seed.Copy(fixture::kPaddedDescriptionDll, beside + "veltro_beside_only.dll"));
  EXPECT_EQ(GetFileDescription("veltro_bare.dll"), fixture::kEnglishDescription);
  EXPECT_EQ(GetFileDescription("veltro_beside_only.dll"), "");
}

TEST(VersionInfoTest, StringClaimingMoreThanItsDataStaysInsideTheBlock) {
  const Text description = GetFileDescription(fixture::kLongClaimDll);
  EXPECT_EQ(Text("Veltro").compare(0, description.size(), description), 0) << description;
}

TEST(VersionInfoTest, CopyFromBlockIsBoundedByTheBlock) {
  const ByteString block{'a', 'b', 'c', 'd'};
  const unsigned char outside = 'x';
  struct Case {
    const void* pointer;
    std::size_t claimed;
    ByteString expected;
  };
  const Case cases[] = {
      {block.data(), 4, block},
      {block.data() + 1, 2, ByteString{'b', 'c'}},
      {block.data() + 2, 100, ByteString{'c', 'd'}},   // claim beyond the block
      {block.data() + 3, static_cast<std::size_t>(-1), ByteString{'d'}},
      {block.data() + 4, 1, ByteString{}},              // just past the end
      {&outside, 1, ByteString{}},
      {nullptr, 4, ByteString{}},
  };
  for (const Case& c : cases) EXPECT_EQ(CopyFromBlock(block, c.pointer, c.claimed), c.expected) << c.claimed;
}

}  // namespace
