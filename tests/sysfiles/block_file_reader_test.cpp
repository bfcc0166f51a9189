// The block reader against real files: the block arithmetic, ranges, and
// the sharing it grants while open.
#include <gtest/gtest.h>

#include <type_traits>

#include "sysfiles/block_file_reader.h"
#include "sysfiles/file_fixture.h"

static_assert(!std::is_copy_constructible<BlockFileReader>::value, "a reader owns its file");
static_assert(!std::is_copy_assignable<BlockFileReader>::value, "a reader owns its file");

namespace {

Text Bytes(std::size_t size) {
  Text text;
  for (std::size_t i = 0; i < size; ++i) text += static_cast<char>('a' + i % 26);
  return text;
}

Text AsText(const ByteString& bytes) { return Text(bytes.begin(), bytes.end()); }

}  // namespace

TEST(BlockFileReaderTest, BlockArithmetic) {
  struct Case {
    std::size_t fileSize;
    int32_t blockSize, start, length;
    int32_t count, size, lastSize, rangeStart, rangeLength;
  };
  const Case cases[] = {
      // size  block start len | count size last  start length
      {0, 1024, 0, 0, 0, 0, 0, 0, 0},            // nothing to read
      {1, 1024, 0, 0, 1, 1, 1, 0, 1},            // shorter than a block: both sizes are the length
      {1023, 1024, 0, 0, 1, 1023, 1023, 0, 1023},
      {1024, 1024, 0, 0, 1, 1024, 0, 0, 1024},   // an exact multiple has no last size
      {1025, 1024, 0, 0, 2, 1024, 1, 0, 1025},
      {3072, 1024, 0, 0, 3, 1024, 0, 0, 3072},
      {25000, 0, 0, 0, 3, 10240, 4520, 0, 25000},   // the default block size
      {3000, 1024, 100, 0, 3, 1024, 852, 100, 2900},
      {3000, 1024, 100, 2048, 2, 1024, 0, 100, 2048},
      {3000, 1024, 2500, 2048, 1, 500, 500, 2500, 500},   // cut at the end of the file
      {3000, 1024, 3000, 0, 0, 0, 0, 0, 0},               // start at the end
      {3000, 1024, 5000, 0, 0, 0, 0, 0, 0},               // start beyond it
      {3000, -5, -7, -9, 1, 3000, 3000, 0, 3000},         // negatives mean the defaults
  };
  TestFolder folder;
  for (const Case& c : cases) {
    const Text path = folder.Path() + "f" + std::to_string(c.fileSize);
    const Text content = Bytes(c.fileSize);
    ASSERT_TRUE(WriteWholeFile(path, content));
    BlockFileReader reader;
    const int32_t count = reader.Open(path, c.blockSize, c.start, c.length);
    SCOPED_TRACE(testing::Message() << c.fileSize << " " << c.blockSize << " " << c.start << " " << c.length);
    EXPECT_EQ(count, c.count);
    EXPECT_EQ(reader.IsOpen(), count > 0);   // nothing to read closes at once
    if (count == 0) continue;
    EXPECT_EQ(reader.BlockSize(), c.size);
    EXPECT_EQ(reader.LastBlockSize(), c.lastSize);
    EXPECT_EQ(reader.Start(), c.rangeStart);
    EXPECT_EQ(reader.Length(), c.rangeLength);
    Text joined;
    for (int32_t i = 1; i <= count; ++i) joined += AsText(reader.ReadBlock(i));
    EXPECT_EQ(joined, content.substr(static_cast<std::size_t>(c.rangeStart), static_cast<std::size_t>(c.rangeLength)));
    EXPECT_TRUE(reader.ReadBlock(0).empty());
    EXPECT_TRUE(reader.ReadBlock(-1).empty());
    EXPECT_TRUE(reader.ReadBlock(count + 1).empty());   // never past the range
    reader.Close();
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_TRUE(reader.ReadBlock(1).empty());
  }
}

TEST(BlockFileReaderTest, OpenSharesReadingOnlyAndMissingFileGivesNothing) {
  TestFolder folder;
  const Text path = folder.Path() + "shared.txt";
  ASSERT_TRUE(WriteWholeFile(path, Bytes(5000)));
  BlockFileReader reader;
  ASSERT_EQ(reader.Open(path, 1024), 5);
  EXPECT_EQ(reader.FileLength(), 5000);
  HANDLE other = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(other, INVALID_HANDLE_VALUE);   // others may read
  if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
  HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE);   // but not write
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
  EXPECT_EQ(AsText(reader.ReadBlock(5)), Bytes(5000).substr(4096));

  // Opening again closes the first file; a missing one leaves nothing open.
  EXPECT_EQ(reader.Open(folder.Path() + "missing.txt", 1024), 0);
  EXPECT_FALSE(reader.IsOpen());
  EXPECT_EQ(reader.FileLength(), -1);
  EXPECT_TRUE(reader.ReadBlock(1).empty());
}
