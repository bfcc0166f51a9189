// Registry access against the real registry of the test prefix. Every test
// works below HKCU\Software\VeltroTest\Registry (or the same path under
// HKLM) and removes it afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/registry.h"

namespace {

const Text kBase = "Software\\VeltroTest\\Registry";
const Text kBackslashTrail = "\x87\x5C";   // "嘰": its trail byte is 0x5C

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { Remove(); }
  void TearDown() override { Remove(); }
  static void Remove() {
    RegDeleteTreeA(HKEY_CURRENT_USER, kBase.c_str());
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kBase.c_str());
  }
  static Text Path(const Text& rest) { return kBase + "\\" + rest; }

  // Raw access, bypassing the layer under test.
  static void PutRaw(const Text& key, const Text& name, DWORD type, const void* data, DWORD size) {
    EXPECT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, Path(key).c_str(), name.c_str(), type, data, size), ERROR_SUCCESS);
  }
  static DWORD RawType(const Text& key, const Text& name, DWORD* size = nullptr) {
    DWORD type = REG_NONE;
    RegGetValueA(HKEY_CURRENT_USER, Path(key).c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, size);
    return type;
  }
  static bool KeyExists(HKEY root, const Text& key) {
    HKEY handle = nullptr;
    const bool exists = RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS;
    if (exists) RegCloseKey(handle);
    return exists;
  }
};

TEST_F(RegistryTest, PathsSplitAtTheLastRealBackslash) {
  struct Case {
    Text path, key, name;
  };
  const Case cases[] = {
      {"Main\\Start Page", "Main", "Start Page"},
      {"Cdrom\\Deep\\Autorun", "Cdrom\\Deep", "Autorun"},
      {"Main\\", "Main", ""},                                       // the default value
      {"K" + kBackslashTrail + "\\N" + kBackslashTrail, "K" + kBackslashTrail, "N" + kBackslashTrail},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteRegistryValue(kCurrentUser, Path(c.path), "v")) << c.path;
    EXPECT_EQ(RawType(c.key, c.name), static_cast<DWORD>(REG_SZ)) << c.path;
    EXPECT_TRUE(RegistryItemExists(kCurrentUser, Path(c.path))) << c.path;
    EXPECT_EQ(ReadRegistryText(kCurrentUser, Path(c.path)), "v") << c.path;
  }
  // No backslash at all: a value directly under the root.
  ASSERT_TRUE(WriteRegistryValue(kCurrentUser, "VeltroTestRootValue", 7));
  EXPECT_EQ(ReadRegistryNumber(kCurrentUser, "VeltroTestRootValue"), 7);
  EXPECT_TRUE(DeleteRegistryItem(kCurrentUser, "VeltroTestRootValue"));
  EXPECT_FALSE(RegistryItemExists(kCurrentUser, "VeltroTestRootValue"));
}

TEST_F(RegistryTest, ReadsByKindAndDefault) {
  const DWORD five = 5;
  const BYTE blob[] = {1, 0, 2};
  PutRaw("T", "text", REG_SZ, "1", 2);
  PutRaw("T", "number", REG_DWORD, &five, 4);
  PutRaw("T", "blob", REG_BINARY, blob, 3);
  PutRaw("T", "multi", REG_MULTI_SZ, "a\0b\0", 5);
  struct Case {
    const char* name;
    Text text;
    int32_t number;
    ByteString bytes;
  };
  const ByteString fallback{9};
  const Case cases[] = {
      {"text", "1", -1, fallback},            // a number stored as text is no number
      {"number", "dflt", 5, fallback},
      {"blob", "dflt", -1, ByteString{1, 0, 2}},
      {"multi", "dflt", -1, fallback},
      {"missing", "dflt", -1, fallback},
  };
  for (const Case& c : cases) {
    const Text path = Path(Text("T\\") + c.name);
    EXPECT_EQ(ReadRegistryText(kCurrentUser, path, "dflt"), c.text) << c.name;
    EXPECT_EQ(ReadRegistryNumber(kCurrentUser, path, -1), c.number) << c.name;
    EXPECT_EQ(ReadRegistryBytes(kCurrentUser, path, fallback), c.bytes) << c.name;
  }
  // A root number outside 1..5 means HKEY_CURRENT_USER.
  EXPECT_EQ(ReadRegistryNumber(0, Path("T\\number")), 5);
  EXPECT_EQ(ReadRegistryNumber(9, Path("T\\number")), 5);
}

TEST_F(RegistryTest, TextNeverReadsPastItsData) {
  // Stored without a terminating zero, with an odd size, or with a zero
  // inside: the text is the bytes held, up to the first zero byte.
  PutRaw("Raw", "unterminated", REG_SZ, "abc", 3);
  PutRaw("Raw", "inner zero", REG_SZ, "ab\0cd", 6);
  PutRaw("Raw", "empty", REG_SZ, "", 0);
  EXPECT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\VeltroTest\\Registry\\Raw", L"odd", REG_SZ, L"xyzw", 7),
            ERROR_SUCCESS);   // three and a half UTF-16 units

  EXPECT_EQ(ReadRegistryText(kCurrentUser, Path("Raw\\unterminated")), "abc");
  EXPECT_EQ(ReadRegistryText(kCurrentUser, Path("Raw\\inner zero")), "ab");
  EXPECT_EQ(ReadRegistryText(kCurrentUser, Path("Raw\\empty"), "dflt"), "");
  const Text odd = ReadRegistryText(kCurrentUser, Path("Raw\\odd"));
  EXPECT_TRUE(odd == "xyz" || odd == "xyzw") << odd;
  TextList names, data;
  ListValues(kCurrentUser, Path("Raw"), names, data);
  ASSERT_EQ(names.size(), 4u);
  EXPECT_EQ(data[3], "abc");   // "unterminated", last in name order
}

TEST_F(RegistryTest, ExpandableTextIsExpandedOnlyWhenRead) {
  PutRaw("Env", "path", REG_EXPAND_SZ, "%SystemRoot%\\x", 15);
  const Text expanded = ReadRegistryText(kCurrentUser, Path("Env\\path"));
  EXPECT_EQ(expanded.find('%'), Text::npos) << expanded;
  EXPECT_EQ(expanded.substr(expanded.size() - 2), "\\x");
  TextList names, data;
  ListValues(kCurrentUser, Path("Env"), names, data);
  EXPECT_EQ(data, TextList{"%SystemRoot%\\x"});
}

TEST_F(RegistryTest, WritesCreateKeysAndStoreTheKind) {
  EXPECT_TRUE(WriteRegistryValue(kCurrentUser, Path("New\\Deeper\\n"), 1));
  DWORD size = 0;
  EXPECT_EQ(RawType("New\\Deeper", "n", &size), static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(size, 4u);
  EXPECT_TRUE(WriteRegistryValue(kCurrentUser, Path("New\\page"), "about:blank"));
  EXPECT_EQ(RawType("New", "page", &size), static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, 12u);
  EXPECT_TRUE(WriteRegistryValue(kCurrentUser, Path("New\\bytes"), ByteString{0, 1, 0}));
  EXPECT_EQ(ReadRegistryBytes(kCurrentUser, Path("New\\bytes")), (ByteString{0, 1, 0}));
  EXPECT_TRUE(WriteRegistryValue(kLocalMachine, Path("Machine\\n"), 3));
  EXPECT_EQ(ReadRegistryNumber(kLocalMachine, Path("Machine\\n")), 3);
  EXPECT_EQ(ReadRegistryNumber(kCurrentUser, Path("Machine\\n")), 0);
}

TEST_F(RegistryTest, DeleteTakesTheValueOrFailingThatTheEmptyKey) {
  WriteRegistryValue(kCurrentUser, Path("D\\value"), 1);
  WriteRegistryValue(kCurrentUser, Path("D\\Empty\\"), "default");
  WriteRegistryValue(kCurrentUser, Path("D\\Parent\\Child\\x"), 1);
  EXPECT_TRUE(DeleteRegistryItem(kCurrentUser, Path("D\\value")));
  EXPECT_FALSE(RegistryItemExists(kCurrentUser, Path("D\\value")));
  EXPECT_FALSE(DeleteRegistryItem(kCurrentUser, Path("D\\value")));   // gone: no value, no key

  // A trailing backslash: first the default value, then the key itself.
  EXPECT_TRUE(RegistryItemExists(kCurrentUser, Path("D\\Empty\\")));
  EXPECT_TRUE(DeleteRegistryItem(kCurrentUser, Path("D\\Empty\\")));
  EXPECT_FALSE(RegistryItemExists(kCurrentUser, Path("D\\Empty\\")));   // a key exists only through its default
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Path("D\\Empty")));
  EXPECT_TRUE(DeleteRegistryItem(kCurrentUser, Path("D\\Empty")));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Path("D\\Empty")));

  // Without a default value, a trailing backslash reaches the key at once.
  WriteRegistryValue(kCurrentUser, Path("D\\Bare\\x"), 1);
  EXPECT_TRUE(DeleteRegistryItem(kCurrentUser, Path("D\\Bare\\x")));
  EXPECT_TRUE(DeleteRegistryItem(kCurrentUser, Path("D\\Bare\\")));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Path("D\\Bare")));

  EXPECT_FALSE(DeleteRegistryItem(kCurrentUser, Path("D\\Parent")));   // has a subkey
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Path("D\\Parent\\Child")));
  EXPECT_FALSE(DeleteRegistryItem(kCurrentUser, "\\"));
}

TEST_F(RegistryTest, ListValuesListsEveryValueWhole) {
  // Long data, a long name and a GBK name must not end the listing.
  const Text longData(300, 'd');
  const Text longName(300, 'n');
  const Text gbkName = "\xB1\xED" + kBackslashTrail;
  const Text gbkData = RepeatText(200, "\xB2\xE2");   // 400 bytes of 测
  WriteRegistryValue(kCurrentUser, Path("V\\a"), "first");
  WriteRegistryValue(kCurrentUser, Path("V\\b"), ByteString{'x', 'y', 0, 'z'});
  WriteRegistryValue(kCurrentUser, Path("V\\c"), longData);
  WriteRegistryValue(kCurrentUser, Path("V\\") + longName, "after long name");
  WriteRegistryValue(kCurrentUser, Path("V\\o"), gbkData);
  WriteRegistryValue(kCurrentUser, Path("V\\p"), 0x00343332);   // bytes "234\0"
  WriteRegistryValue(kCurrentUser, Path("V\\") + gbkName, "gbk");
  TextList names{"stale"}, data{"stale", "stale"};
  ListValues(kCurrentUser, Path("V"), names, data);
  const TextList expectedNames{"a", "b", "c", longName, "o", "p", gbkName};
  const TextList expectedData{"first", "xy", longData, "after long name", gbkData, "234", "gbk"};
  EXPECT_EQ(names, expectedNames);
  EXPECT_EQ(data, expectedData);

  ListValues(kCurrentUser, Path("Missing"), names, data);
  EXPECT_TRUE(names.empty());
  EXPECT_TRUE(data.empty());
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Path("Missing")));   // listing values creates nothing
}

TEST_F(RegistryTest, ListSubkeysGivesWholeNamesAndCreatesAMissingKey) {
  const Text longGbk = RepeatText(200, "\xB1\xED");   // 200 characters, 400 bytes
  const Text names[] = {"a;b", "plain", longGbk, "x" + kBackslashTrail};
  for (const Text& name : names) WriteRegistryValue(kCurrentUser, Path("S\\" + name + "\\v"), 1);
  TextList listed{"kept"};
  ListSubkeys(kCurrentUser, Path("S\\"), listed);
  EXPECT_EQ(listed, (TextList{"kept", "a;b", "plain", "x" + kBackslashTrail, longGbk}));

  TextList none;
  ListSubkeys(kLocalMachine, Path("Absent"), none);
  EXPECT_TRUE(none.empty());
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, Path("Absent")));
}

TEST_F(RegistryTest, ValuesByAbsolutePath) {
  WriteRegistryValue(kCurrentUser, Path("F\\five"), 5);
  WriteRegistryValue(kCurrentUser, Path("F\\zero"), 0);
  WriteRegistryValue(kCurrentUser, Path("F\\minus"), -4);
  WriteRegistryValue(kCurrentUser, Path("F\\text"), "hello");
  WriteRegistryValue(kCurrentUser, Path("F\\negative text"), "-3 apples");
  WriteRegistryValue(kCurrentUser, Path("F\\number text"), "12");
  WriteRegistryValue(kLocalMachine, Path("F\\machine"), "lm");
  struct Case {
    Text path, expected;
  };
  const Text user = "HKEY_CURRENT_USER\\" + kBase + "\\F\\";
  const Case cases[] = {
      {user + "five", "5"},
      {user + "zero", ""},
      {user + "minus", ""},
      {user + "text", "hello"},
      {user + "negative text", "-3 apples"},
      {user + "number text", "12"},
      {user + "missing", ""},
      {"hkey_current_user\\" + kBase + "\\F\\text", "hello"},
      {"HKEY_LOCAL_MACHINE\\" + kBase + "\\F\\machine", "lm"},
      {"HKLM\\" + kBase + "\\F\\text", "hello"},   // unknown root name: HKEY_CURRENT_USER
      {"HKEY_USERS", ""},
      {"HKEY_USERS\\", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadValueByFullPath(c.path), c.expected) << c.path;

  EXPECT_FALSE(DeleteByFullPath("HKEY_USERS\\"));
  EXPECT_FALSE(DeleteByFullPath("HKEY_USERS"));
  EXPECT_TRUE(DeleteByFullPath("HKEY_LOCAL_MACHINE\\" + kBase + "\\F\\machine"));
  EXPECT_EQ(ReadValueByFullPath("HKEY_LOCAL_MACHINE\\" + kBase + "\\F\\machine"), "");
  EXPECT_TRUE(DeleteByFullPath(user + "five"));
  EXPECT_EQ(ReadRegistryNumber(kCurrentUser, Path("F\\five"), -1), -1);
}

}  // namespace
