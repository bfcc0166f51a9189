// The file pages on files that malware made: truncated and lying programs,
// names at the length limit, read-only and locked
// files in the Startup folder; hosts files that split characters across
// blocks or hold zero bytes. Every file is listed, each goes by its delete
// button when it can go at all, and a save never changes a byte that the
// box did not show.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "host/files.h"
#include "support/time_limits.h"
#include "support/dialog_answerer.h"
#include "support/fixtures.h"
#include "support/hostile_seed.h"
#include "support/main_window_fixture.h"

using hostile::Bytes;

namespace {

ByteString ReadWhole(const Text& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  return ByteString(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

int RowWithPath(const ResultList& list, const Text& path) {
  for (int row = 0; row < list.RowCount(); ++row) {
    if (list.GetCellText(row, 2) == path) return row;
  }
  return -1;
}

struct HostileFile {
  const char* what;
  Text name;
  ByteString bytes;
  DWORD attributes;
};

TEST(HostileFiles, StartupFolderListsEveryFileAndDeletesEachByItsButton) {
  const Text folder = GetSpecialFolder(kFolderStartup);
  ASSERT_FALSE(folder.empty());
  const ByteString program = ReadWhole(fixture::kComponentDll);
  ASSERT_GT(program.size(), 1024u);
  // The same resource with its translation table renamed: no key to look up.
  ByteString untranslated = program;
  const std::string table("T\0r\0a\0n\0s\0l\0a\0t\0i\0o\0n\0", 22);
  const auto at = std::search(untranslated.begin(), untranslated.end(), table.begin(), table.end());
  ASSERT_NE(at, untranslated.end());
  *at = 'X';
  const std::vector<HostileFile> files = {
      {"headers only", "hv cut.dll", ByteString(program.begin(), program.begin() + 600), 0},
      {"cut in the resources", "hv cut late.dll", ByteString(program.begin(), program.end() - 200), 0},
      {"no translation table", "hv untranslated.dll", untranslated, 0},
      {"empty", "hv empty.exe", ByteString(), 0},
      {"read-only", "hv read only.exe", Bytes("MZ"), FILE_ATTRIBUTE_READONLY},
      {"hidden system", "hv hidden.exe", Bytes("MZ"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
      {"name at MAX_PATH", "hv " + hostile::Repeat("m", 259 - folder.size() - 7) + ".exe", Bytes("MZ"), 0},
  };
  hostile::Seed seed;
  for (const HostileFile& file : files) {
    ASSERT_TRUE(seed.File(folder + file.name, file.bytes)) << file.what;
    if (file.attributes != 0) SetFileAttributesA((folder + file.name).c_str(), file.attributes);
  }
  ASSERT_TRUE(seed.Copy(fixture::kLongClaimDll, folder + "hv long claim.dll"));
  const Text locked = folder + "hv locked.exe";
  ASSERT_TRUE(seed.File(locked, Bytes("MZ")));
  const HANDLE lock = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);

  MainWindowFixture fixture;
  ResultList& list = fixture.Controls().超级列表框7;
  fixture.Click(ButtonId(17));
  std::vector<Text> names;
  for (const HostileFile& file : files) names.push_back(file.name);
  names.push_back("hv long claim.dll");
  for (const Text& name : names) {
    const int row = RowWithPath(list, folder + name);
    ASSERT_GE(row, 0) << "not listed: " << name;
    const Text description = list.GetCellText(row, 1);
    EXPECT_TRUE(hostile::WholeCharacters(description)) << name;
    EXPECT_LE(description.size(), 64u) << name;
  }
  EXPECT_GE(RowWithPath(list, locked), 0);

  for (const Text& name : names) {
    const int row = RowWithPath(list, folder + name);
    ASSERT_GE(row, 0) << name;
    fixture.FocusRow(list, row);
    DialogAnswerer answerer({{IDYES, ""}});
    fixture.Click(ButtonId(16));
    EXPECT_EQ(answerer.Seen().size(), 1u) << name;
    EXPECT_FALSE(hostile::FileThere(folder + name)) << "still there: " << name;
    EXPECT_EQ(RowWithPath(list, folder + name), -1) << "row kept: " << name;
  }
  // A file another process holds cannot go; it stays listed and nothing breaks.
  const int lockedRow = RowWithPath(list, locked);
  ASSERT_GE(lockedRow, 0);
  fixture.FocusRow(list, lockedRow);
  {
    DialogAnswerer answerer({{IDYES, ""}});
    fixture.Click(ButtonId(16));
  }
  EXPECT_TRUE(hostile::FileThere(locked));
  EXPECT_GE(RowWithPath(list, locked), 0);
  CloseHandle(lock);
}

struct HostsCase {
  const char* what;
  ByteString bytes;
  bool savable;  // the box shows the file faithfully
};

TEST(HostileFiles, HostsFileIsShownWholeAndSavedWithoutLosingAByte) {
  const Text hosts = GetSpecialFolder(kFolderSystem) + "drivers\\etc\\hosts";
  // A two-byte character across the first block boundary, and across many.
  Text straddling = hostile::Repeat("a", 1023) + "域" + "\r\n";
  Text everywhere;
  for (int i = 0; i < 300; ++i) everywhere += "127.0.0.1 " + hostile::Repeat("域", 500) + "x\r\n";
  ByteString zero = Bytes("127.0.0.1 a\r\n");
  zero.push_back(0);
  const ByteString after = Bytes("127.0.0.1 hidden.example\r\n");
  zero.insert(zero.end(), after.begin(), after.end());
  const std::vector<HostsCase> cases = {
      {"character across the block boundary", Bytes(straddling), true},
      {"characters across every boundary, 300 KB", Bytes(everywhere), true},
      {"a zero byte hides the lines after it", zero, false},
      {"ends in half a character", Bytes("127.0.0.1 a\r\n\xD6"), false},
      {"empty", ByteString(), true},
  };
  hostile::Seed seed;
  MainWindowFixture fixture;
  MainControls& c = fixture.Controls();
  for (const HostsCase& test : cases) {
    ASSERT_TRUE(seed.OverrideFile(hosts, test.bytes)) << test.what;
    fixture.Click(ButtonId(5));
    const Text shown = c.编辑框1.Content();
    EXPECT_TRUE(hostile::WholeCharacters(shown)) << test.what;
    if (test.savable) {
      EXPECT_EQ(shown, Text(test.bytes.begin(), test.bytes.end())) << test.what;
    }
    DialogAnswerer answerer({{IDOK, ""}});
    fixture.Click(ButtonId(3));
    EXPECT_EQ(ReadWhole(hosts), test.bytes) << "a save changed the file: " << test.what;
    EXPECT_EQ(answerer.Seen().size(), test.savable ? 0u : 1u) << test.what;
  }
}

TEST(HostileFiles, BootIniWithAHugeTimeoutStaysInsideItsBox) {
  const Text windows = GetSpecialFolder(kFolderWindows);
  const Text bootIni = windows.substr(0, 3) + "boot.ini";
  hostile::Seed seed;
  ASSERT_TRUE(seed.OverrideFile(
      bootIni, Bytes("[boot loader]\r\ntimeout=" + hostile::Repeat("秒", 20000) + "\r\n[operating systems]\r\n")));
  MainWindowFixture fixture;
  fixture.Click(ButtonId(27));
  const Text timeout = fixture.Controls().编辑框7.Content();
  EXPECT_TRUE(hostile::WholeCharacters(timeout));
  EXPECT_LE(timeout.size(), 10240u);
}

}  // namespace

namespace {

// Malware pads hosts with megabytes of blank lines so that its redirections
// sit far below what anybody scrolls to.
TEST(HostileFiles, APaddedHostsFileLoadsInReasonableTimeAndMemory) {
  const Text hosts = GetSpecialFolder(kFolderSystem) + "drivers\\etc\\hosts";
  const std::size_t padding = 8u << 20;
  const Text tail = "127.0.0.1 www.example.com\r\n";
  ByteString bytes(padding, ' ');
  for (std::size_t i = 80; i < padding; i += 82) {
    bytes[i] = '\r';
    bytes[i + 1] = '\n';
  }
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  hostile::Seed seed;
  ASSERT_TRUE(seed.OverrideFile(hosts, bytes));
  MainWindowFixture fixture;
  const std::size_t memoryBefore = hostile::PrivateBytes();
  const DWORD start = GetTickCount();
  fixture.Click(ButtonId(5));
  const DWORD elapsed = GetTickCount() - start;
  // The box holds the text twice over (its own wide copy): some 16 MB more.
  EXPECT_LT(hostile::PrivateBytes(), memoryBefore + (128u << 20));
  EXPECT_LT(elapsed, TimeLimit(15000));
  const Text shown = fixture.Controls().编辑框1.Content();
  EXPECT_EQ(shown.size(), bytes.size());
  EXPECT_EQ(shown.substr(shown.size() - tail.size()), tail);
}

}  // namespace
