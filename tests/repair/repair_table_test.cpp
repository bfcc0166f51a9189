// The enciphered repair table: decipherment, the stored table against its
// plain form in the repository, and the record checks on the real registry.
#include <gtest/gtest.h>
#include <openssl/des.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "ui/controls.h"
#include "repair/repair_table.h"
#include "repair/restriction_repair.h"
#include "repair_fixture.h"
#include "support/test_window.h"

namespace {

// Enciphers exactly the given plain blocks (the test chooses prefix and padding).
ByteString Encipher(const ByteString& plain, const unsigned char (&key)[8]) {
  DES_cblock keyBlock;
  std::memcpy(keyBlock, key, 8);
  DES_key_schedule schedule;
  DES_set_key_unchecked(&keyBlock, &schedule);
  ByteString out(plain.size());
  for (std::size_t offset = 0; offset + 8 <= plain.size(); offset += 8) {
    DES_cblock in;
    std::memcpy(in, &plain[offset], 8);
    DES_ecb_encrypt(&in, reinterpret_cast<DES_cblock*>(&out[offset]), &schedule, DES_ENCRYPT);
  }
  return out;
}

// Length prefix, payload, then zero bytes up to totalSize.
ByteString Framed(int32_t length, const Text& payload, std::size_t totalSize) {
  ByteString plain;
  const uint32_t bits = static_cast<uint32_t>(length);
  for (int i = 0; i < 4; ++i) plain.push_back(static_cast<unsigned char>(bits >> (8 * i)));
  plain.insert(plain.end(), payload.begin(), payload.end());
  plain.resize(totalSize, 0);
  return plain;
}

const unsigned char kKey[8] = {'k', 'e', 'y', 't', 'e', 'x', 't', 0};

TEST(DecryptDataTest, LengthAndPaddingChecks) {
  struct Case {
    const char* name;
    ByteString enciphered;
    Text expected;
  };
  const ByteString sixteen = Encipher(Framed(9, "123456789", 16), kKey);
  const Case cases[] = {
      {"padded", Encipher(Framed(3, "abc", 8), kKey), "abc"},
      {"no padding needed", Encipher(Framed(4, "abcd", 8), kKey), "abcd"},
      {"two blocks", sixteen, "123456789"},
      {"largest padding, 7 bytes", Encipher(Framed(5, "abcde", 16), kKey), "abcde"},
      {"a whole block of padding", Encipher(Framed(4, "abcd", 16), kKey), ""},
      {"length 0", Encipher(Framed(0, "", 8), kKey), ""},
      {"negative length", Encipher(Framed(-1, "abcd", 8), kKey), ""},
      {"length beyond the data", Encipher(Framed(5, "abcd", 8), kKey), ""},
      {"huge length", Encipher(Framed(0x7FFFFFFF, "abcd", 8), kKey), ""},
      {"not a multiple of 8", ByteString(sixteen.begin(), sixteen.begin() + 12), ""},
      {"empty", ByteString(), ""},
  };
  for (const Case& c : cases) {
    const ByteString plain = DecryptData(c.enciphered, "keytext");
    EXPECT_EQ(Text(plain.begin(), plain.end()), c.expected) << c.name;
  }
}

TEST(DecryptDataTest, KeyTextIsXoredIntoEightBytes) {
  // A 10-byte key text wraps: bytes 9 and 10 are XORed into key bytes 1 and 2.
  const unsigned char wrapped[8] = {'a' ^ 'i', 'b' ^ 'j', 'c', 'd', 'e', 'f', 'g', 'h'};
  EXPECT_EQ(ToText(DecryptData(Encipher(Framed(2, "ok", 8), wrapped), "abcdefghij")), "ok");
  // Two GBK characters and two letters: six bytes and two zero bytes.
  const unsigned char gbk[8] = {0xD0, 0xDE, 0xB8, 0xB4, 'V', 't', 0, 0};
  EXPECT_EQ(RepairTableKey(), "\xD0\xDE\xB8\xB4Vt");
  EXPECT_EQ(ToText(DecryptData(Encipher(Framed(2, "ok", 8), gbk), RepairTableKey())), "ok");
}

// The plain table of the repository, as the generator prepares it: GBK,
// comment and empty lines dropped, records joined by "\r\n".
Text RepositoryPlainTable() {
  const std::string here = __FILE__;
  const std::string path = "Z:" + here.substr(0, here.find("tests/repair/")) + "tools/repair_table/plain.txt";
  std::ifstream file(path, std::ios::binary);
  EXPECT_TRUE(file.good()) << path;
  std::string utf8, line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (!utf8.empty()) utf8 += "\r\n";
    utf8 += line;
  }
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                                  &wide[0], static_cast<int>(wide.size())));
  std::string gbk(wide.size() * 2, '\0');
  gbk.resize(WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), &gbk[0],
                                 static_cast<int>(gbk.size()), nullptr, nullptr));
  return gbk;
}

Text StoredPlainTable() { return ToText(DecryptData(StoredRepairTable(), RepairTableKey())); }

TEST(RepairTableTest, StoredBytesDecipherToTheRepositoryTable) {
  const Text plain = StoredPlainTable();
  ASSERT_FALSE(plain.empty());
  EXPECT_EQ(plain, RepositoryPlainTable());
}

// What the format requires of every stored record: seven fields, and a
// pending repair made of it that splits back into its five fields.
TEST(RepairTableTest, EveryPendingRecordSplitsBack) {
  for (const Text& record : SplitText(StoredPlainTable(), "\r\n")) {
    const TextList f = SplitText(record, "|");
    ASSERT_EQ(f.size(), 7u) << record;
    const Text pending = ConcatText(f[0], "|", f[1], "|", f[2], "|", f[4], "|", f[5]);
    EXPECT_EQ(SplitText(pending, "|").size(), 5u) << record;
  }
}

TEST(RepairTableTest, FreshPrefixHasNoFinding) {
  std::vector<RestrictionRow> found;
  TextList pending = {"stale"};
  CheckRepairTable(found, pending);
  EXPECT_EQ(FirstTwoColumns(found), std::vector<Row>());
  EXPECT_TRUE(pending.empty());
}

constexpr char kTestKey[] = "Software\\VeltroRepairTableTest";

class RepairRecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    snapshot_.AddKey(HKEY_CURRENT_USER, kTestKey);
    snapshot_.AddKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\VeltroRepairTableTest");
  }
  RegistrySnapshot snapshot_;
};

TEST_F(RepairRecordTest, ComparisonsOfNumbersAndTexts) {
  struct Case {
    const char* name;
    std::vector<std::pair<const char*, int32_t>> numbers;   // value name under the test key, REG_DWORD
    std::vector<std::pair<const char*, const char*>> texts; // value name, REG_SZ
    Text record;
    bool finding;
  };
  // Value names are under HKCU\Software\VeltroRepairTableTest (root 3) or the
  // same path under HKLM (root 4).
  const Case cases[] = {
      {"missing number reads 0", {}, {}, "n|3|Software\\VeltroRepairTableTest\\Y|1|d|0|=", false},
      {"missing number, not equal", {}, {}, "n|3|Software\\VeltroRepairTableTest\\Y|1|d|0|\xA1\xD9", true},
      {"greater, 6 > 5", {{"Y", 6}}, {}, "n|3|Software\\VeltroRepairTableTest\\Y|5|d|0|>", true},
      {"greater, 5 > 5", {{"Y", 5}}, {}, "n|3|Software\\VeltroRepairTableTest\\Y|5|d|0|>", false},
      {"signed: all bits set is -1", {{"Y", -1}}, {}, "n|3|Software\\VeltroRepairTableTest\\Y|5|d|0|>", false},
      {"less or equal", {{"Y", 5}}, {}, "n|3|Software\\VeltroRepairTableTest\\Y|5|d|0|\xA1\xDC", true},
      {"greater or equal", {{"Y", 4}}, {}, "n|3|Software\\VeltroRepairTableTest\\Y|5|d|0|\xA1\xDD", false},
      {"less", {{"Y", -7}}, {}, "n|3|Software\\VeltroRepairTableTest\\Y|-6|d|0|<", true},
      {"text read as number is 0", {}, {{"Y", "9"}}, "n|3|Software\\VeltroRepairTableTest\\Y|0|d|0|=", true},
      {"operand lower-cased, stored small", {}, {{"T", "abc"}}, "c|3|Software\\VeltroRepairTableTest\\T|ABC|d|x|=",
       true},
      {"stored text not lower-cased", {}, {{"T", "ABC"}}, "c|3|Software\\VeltroRepairTableTest\\T|ABC|d|x|=", false},
      {"capital sorts before small", {}, {{"T", "B"}}, "c|3|Software\\VeltroRepairTableTest\\T|b|d|x|>", false},
      {"bytes compare unsigned", {}, {{"T", "\xB0\xA1"}}, "c|3|Software\\VeltroRepairTableTest\\T|z|d|x|>", true},
      {"longer text sorts after", {}, {{"T", "explorer.exe x"}},
       "c|3|Software\\VeltroRepairTableTest\\T|Explorer.exe|d|x|>", true},
      {"missing text is empty", {}, {}, "c|3|Software\\VeltroRepairTableTest\\T|a|d|x|<", true},
      {"number read as text is empty", {{"T", 1}}, {}, "c|3|Software\\VeltroRepairTableTest\\T||d|x|=", true},
      {"machine root", {}, {}, "n|4|SOFTWARE\\VeltroRepairTableTest\\M|7|d|0|=", true},
      {"root that is no number means the user", {{"Y", 2}}, {},
       "n|x|Software\\VeltroRepairTableTest\\Y|2|d|0|=", true},
      {"unknown kind", {{"Y", 1}}, {}, "N|3|Software\\VeltroRepairTableTest\\Y|1|d|0|=", false},
      {"unknown operator", {{"Y", 1}}, {}, "n|3|Software\\VeltroRepairTableTest\\Y|1|d|0|==", false},
      {"six fields", {{"Y", 1}}, {}, "n|3|Software\\VeltroRepairTableTest\\Y|1|d|=", false},
      {"eight fields", {{"Y", 1}}, {}, "n|3|Software\\VeltroRepairTableTest\\Y|1|d|0|=|x", false},
  };
  WriteRegistryValue(kLocalMachine, "SOFTWARE\\VeltroRepairTableTest\\M", 7);
  for (const Case& c : cases) {
    DeleteRegistryItem(kCurrentUser, Text(kTestKey) + "\\Y");
    DeleteRegistryItem(kCurrentUser, Text(kTestKey) + "\\T");
    for (const auto& n : c.numbers) WriteRegistryValue(kCurrentUser, Text(kTestKey) + "\\" + n.first, n.second);
    for (const auto& t : c.texts) WriteRegistryValue(kCurrentUser, Text(kTestKey) + "\\" + t.first, t.second);
    std::vector<RestrictionRow> found;
    TextList pending;
    CheckRepairRecords(c.record, found, pending);
    EXPECT_EQ(found.size(), c.finding ? 1u : 0u) << c.name;
    EXPECT_EQ(pending.size(), c.finding ? 1u : 0u) << c.name;
  }
}

TEST_F(RepairRecordTest, FindingsFollowExistingRowsAndRebuildThePendingList) {
  WriteRegistryValue(kCurrentUser, Text(kTestKey) + "\\Y", 3);
  const Text table = Text("n|3|Software\\VeltroRepairTableTest\\Y|1|第一|0|\xA1\xD9\r\n") +
                     "\r\n"
                     "c|3|Software\\VeltroRepairTableTest\\Missing||第二|x|=\r\n"
                     "n|3|Software\\VeltroRepairTableTest\\Y|3|不是|0|<\r\n";
  std::vector<RestrictionRow> found = {{"目录", ""}};
  TextList pending = {"old|3|x|y|z"};
  CheckRepairRecords(table, found, pending);
  EXPECT_EQ(FirstTwoColumns(found), (std::vector<Row>{{"目录", ""},
                                                           {"第一", "Software\\VeltroRepairTableTest\\Y"},
                                                           {"第二", "Software\\VeltroRepairTableTest\\Missing"}}));
  EXPECT_EQ(pending, (TextList{"n|3|Software\\VeltroRepairTableTest\\Y|第一|0",
                               "c|3|Software\\VeltroRepairTableTest\\Missing|第二|x"}));
}

// Every record of the stored table: its damaged state is found, and the
// pending repair it leaves puts the documented default back.
TEST_F(RepairLocationsTest, EveryStoredRecordIsFoundAndRepaired) {
  const TextList records = SplitText(StoredPlainTable(), "\r\n");
  std::vector<Row> expected;
  for (const Text& record : records) {
    const TextList f = SplitText(record, "|");
    ASSERT_EQ(f.size(), 7u);
    const int root = ToInteger(f[1]);
    if (f[0] == "n") {
      const int32_t operand = ToInteger(f[3]);
      const bool plusOne = f[6] == ">" || f[6] == "\xA1\xD9";
      const bool minusOne = f[6] == "<";
      WriteRegistryValue(root, f[2], operand + (plusOne ? 1 : 0) - (minusOne ? 1 : 0));
    } else {
      ASSERT_TRUE(f[6] == ">" || f[6] == "\xA1\xD9" || f[6] == "=") << record;
      WriteRegistryValue(root, f[2], ToLowerCase(f[3]) + (f[6] == "=" ? "" : " c:\\virus.exe"));
    }
    expected.push_back({f[4], f[2]});
  }
  std::vector<RestrictionRow> found;
  TextList pending;
  CheckRepairTable(found, pending);
  EXPECT_EQ(FirstTwoColumns(found), expected);
  EXPECT_EQ(pending.size(), records.size());

  TestListHost host({200, 200, 50});   // the repair reads the rows as the list shows them
  for (const RestrictionRow& row : found) {
    const int index = host.List().InsertRow();
    host.List().SetCellText(index, 0, row.explanation);
    host.List().SetCellText(index, 1, row.path);
  }
  RepairPendingRecords(host.List(), pending);
  found.clear();
  CheckRepairTable(found, pending);
  EXPECT_EQ(FirstTwoColumns(found), std::vector<Row>());
  EXPECT_TRUE(pending.empty());
}

}  // namespace
