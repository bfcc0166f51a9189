// The five removal lists on a machine whose entries malware named, typed and
// sized: every entry is listed with texts that stay inside their data, and
// every listed entry goes by its own delete button, taking nothing else.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "support/time_limits.h"
#include "support/dialog_answerer.h"
#include "support/hostile_seed.h"
#include "support/main_window_fixture.h"

using hostile::Bytes;
using hostile::Terminated;

namespace {

struct HostileValue {
  const char* what;
  Text name;
  DWORD type;
  ByteString data;
  bool removedEverywhere = false;  // the names the shared removal may trip on
};

// Values of every type where text is read, of every awkward size, under
// every awkward name. The data of the text ones is a plain path, so that it
// can be told apart from what a buffer overrun would show.
std::vector<HostileValue> HostileValues() {
  const Text path = "C:\\hv\\mal.exe";
  return {
      {"multi-string", "hv multi", REG_MULTI_SZ, Bytes(Text("C:\\hv\\one\0C:\\hv\\two\0\0", 22))},
      {"binary without a zero, over 255 bytes", "hv binary", REG_BINARY, hostile::Filled(300, 'B')},
      {"qword", "hv qword", REG_QWORD, hostile::Qword(0x0041424344454647ull)},
      {"none, no data", "hv none", REG_NONE, ByteString()},
      {"dword", "hv dword", REG_DWORD, hostile::Dword(0x00434241)},
      {"odd length, unterminated", "hv odd", REG_SZ, Bytes("C:\\hv\\odd")},
      {"ends in half a character", "hv half", REG_SZ, Bytes("C:\\hv\\\xD6")},
      {"one megabyte", "hv big", REG_SZ, Terminated(hostile::Repeat("C:\\hv\\", 1 << 17))},
      {"expandable", "hv expand", REG_EXPAND_SZ, Terminated("%SystemRoot%\\hv.exe")},
      {"name at the length limit", hostile::Repeat("n", 16383), REG_SZ, Terminated(path), true},
      {"semicolon", "hv a;b", REG_SZ, Terminated(path)},
      {"quote and switch", "hv \"q\" /va", REG_SZ, Terminated(path), true},
      {"percent", "hv %PATH%", REG_SZ, Terminated(path)},
      {"leading blanks", "  hv lead", REG_SZ, Terminated(path)},
      {"trailing blanks", "hv trail  ", REG_SZ, Terminated(path)},
      {"second byte 0x5C inside", "hv " + hostile::kTrailBackslash + " x", REG_SZ, Terminated(path)},
      {"second byte 0x5C at the end", "hv " + hostile::kTrailBackslash, REG_SZ, Terminated(path), true},
      {"backslash", "hv a\\b", REG_SZ, Terminated(path), true},
      {"unnamed (default) value", "", REG_SZ, Terminated(path), true},
  };
}

// Failure messages name an entry by its first bytes only: some names are
// sixteen thousand characters long.
Text Short(const Text& text) { return text.size() > 80 ? text.substr(0, 80) + "..." : text; }

// Makes the row the only selected one, as a click on it would.
void SelectOnly(MainWindowFixture& fixture, ResultList& list, int row) {
  for (int other = 0; other < list.RowCount(); ++other) list.SelectRow(other, false);
  fixture.FocusRow(list, row);
}

int RowWithPath(const ResultList& list, int column, const Text& path) {
  for (int row = 0; row < list.RowCount(); ++row) {
    if (list.GetCellText(row, column) == path) return row;
  }
  return -1;
}

// Every cell holds whole characters and no more than the data it came from.
void ExpectCellsBounded(const ResultList& list, int row, int columns, std::size_t limit, const Text& what) {
  for (int column = 0; column < columns; ++column) {
    const Text cell = list.GetCellText(row, column);
    EXPECT_TRUE(hostile::WholeCharacters(cell)) << what << ", column " << column;
    EXPECT_LE(cell.size(), limit) << what << ", column " << column;
  }
}

struct ValueList {
  const char* name;
  HKEY root;
  Text rootName;
  Text key;
  ResultList MainControls::*list;
  int refresh, remove, pathColumn, columns;
  bool listsUnnamed;  // the approvals leave the unnamed value out
  bool removesAll;    // every value, or only the names of shared concern
};

// The locations whose entries are values, one per list that has them.
const ValueList kValueLists[] = {
    {"startup Run", HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
     &MainControls::超级列表框6, ButtonId(14), ButtonId(15), 2, 3, true, true},
    {"shell execute hooks", HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE",
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellExecuteHooks", &MainControls::超级列表框4,
     ButtonId(10), ButtonId(11), 3, 4, true, false},
    {"approved shell extensions", HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE",
     "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved", &MainControls::超级列表框4,
     ButtonId(10), ButtonId(11), 3, 4, false, false},
    {"browser toolbars", HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar",
     &MainControls::超级列表框5, ButtonId(12), ButtonId(13), 3, 4, true, false},
};

class HostileValueLists : public ::testing::TestWithParam<ValueList> {};

TEST_P(HostileValueLists, ListsEveryValueAndRemovesEachAloneByItsButton) {
  const ValueList& where = GetParam();
  std::vector<HostileValue> values = HostileValues();
  const std::string before = hostile::DumpTree(where.root, where.key);
  hostile::Seed seed;
  ASSERT_TRUE(seed.Key(where.root, where.key));
  // The unnamed value is seeded only where it is an entry and free.
  const bool hadDefault = !where.listsUnnamed || hostile::ValueExists(where.root, where.key, "");
  // A decoy the backslash name must not be taken for: value "b" of the
  // subkey "hv a". Nobody asks to delete it.
  ASSERT_TRUE(seed.String(where.root, where.key + "\\hv a", "b", "decoy"));
  const std::string withDecoy = hostile::DumpTree(where.root, where.key);
  for (const HostileValue& value : values) {
    if (value.name.empty() && hadDefault) continue;
    ASSERT_TRUE(seed.Value(where.root, where.key, value.name, value.type, value.data)) << value.what;
  }

  MainWindowFixture fixture;
  ResultList& list = fixture.Controls().*where.list;
  fixture.Click(where.refresh);
  const Text prefix = where.rootName + "\\" + where.key + "\\";
  for (const HostileValue& value : values) {
    if (value.name.empty() && hadDefault) continue;
    const int row = RowWithPath(list, where.pathColumn, prefix + value.name);
    ASSERT_GE(row, 0) << "not listed: " << value.what;
    ExpectCellsBounded(list, row, where.columns, prefix.size() + value.name.size() + value.data.size() + 64,
                       value.what);
  }

  // Each prompt costs two seconds here (the display has no window manager):
  // one list removes every value, the others the names of shared concern.
  for (const HostileValue& value : values) {
    if ((value.name.empty() && hadDefault) || !(where.removesAll || value.removedEverywhere)) continue;
    const Text path = prefix + value.name;
    const int row = RowWithPath(list, where.pathColumn, path);
    ASSERT_GE(row, 0) << value.what;
    SelectOnly(fixture, list, row);
    DialogAnswerer answerer({{IDYES, ""}});
    fixture.Click(where.remove);
    ASSERT_EQ(answerer.Seen().size(), 1u) << value.what;
    EXPECT_EQ(Short(answerer.Seen()[0].message), Short("是否删除\r\n" + path)) << value.what;
    EXPECT_FALSE(hostile::ValueExists(where.root, where.key, value.name)) << "still there: " << value.what;
    EXPECT_EQ(RowWithPath(list, where.pathColumn, path), -1) << "row kept: " << value.what;
  }
  // Only what was asked for went: the decoy and every other value stay.
  EXPECT_TRUE(hostile::ValueExists(where.root, where.key + "\\hv a", "b")) << "the decoy went";
  if (where.removesAll) {
    EXPECT_EQ(hostile::TreeDifference(withDecoy, hostile::DumpTree(where.root, where.key)), "");
  } else {
    for (const HostileValue& value : values) {
      if (value.removedEverywhere || value.name.empty()) continue;
      EXPECT_TRUE(hostile::ValueExists(where.root, where.key, value.name)) << "went unasked: " << value.what;
    }
  }
  seed.Undo();
  EXPECT_EQ(hostile::TreeDifference(before, hostile::DumpTree(where.root, where.key)), "");
}

INSTANTIATE_TEST_SUITE_P(Lists, HostileValueLists, ::testing::ValuesIn(kValueLists),
                         [](const ::testing::TestParamInfo<ValueList>& info) {
                           Text name;
                           for (const char* c = info.param.name; *c; ++c) name += *c == ' ' ? '_' : *c;
                           return name;
                         });

// Subkey names at the limits, for the lists whose entries are keys.
struct HostileKey {
  const char* what;
  Text name;
  bool removed = false;  // taken out by its button (each prompt costs two seconds)
};

std::vector<HostileKey> HostileKeys() {
  return {
      {"long name", hostile::Repeat("k", 170), true},
      {"long name of two-byte characters", hostile::Repeat("键", 85), true},
      {"semicolon", "hk a;b", true},
      {"quote", "hk \"q\""},
      {"percent", "hk %PATH%"},
      {"blanks around", "  hk blank  "},
      {"second byte 0x5C", "hk " + hostile::kTrailBackslash, true},
  };
}

TEST(HostileKeyLists, ProtocolHandlersWithOddNamesAndClassesAreListedAndRemoved) {
  const Text key = "SOFTWARE\\Classes\\PROTOCOLS\\Handler";
  hostile::Seed seed;
  ASSERT_TRUE(seed.Key(HKEY_LOCAL_MACHINE, key));
  const std::string before = hostile::DumpTree(HKEY_LOCAL_MACHINE, key);
  // Class identifiers that name nothing, themselves, or are not text at all.
  const Text selfClass = "{0000AAAA-0000-0000-0000-00000000AAAA}";
  ASSERT_TRUE(seed.String(HKEY_CLASSES_ROOT, "CLSID\\" + selfClass + "\\InProcServer32", "", selfClass));
  const std::vector<std::pair<DWORD, ByteString>> identifiers = {
      {REG_SZ, Terminated("{DEADDEAD-0000-0000-0000-000000000000}")},
      {REG_SZ, Terminated(selfClass)},
      {REG_BINARY, hostile::Filled(600, '{')},
      {REG_DWORD, hostile::Dword(7)},
      {REG_SZ, Terminated(hostile::Repeat("{", 1 << 20))},
      {REG_SZ, Bytes("{\xD6")},
      {REG_MULTI_SZ, Bytes(Text("{a}\0{b}\0\0", 9))},
  };
  const std::vector<HostileKey> keys = HostileKeys();
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const auto& [type, data] = identifiers[i % identifiers.size()];
    ASSERT_TRUE(seed.Value(HKEY_LOCAL_MACHINE, key + "\\" + keys[i].name, "CLSID", type, data)) << keys[i].what;
  }
  // One with a subkey of its own: only the console tool can take it.
  ASSERT_TRUE(seed.Key(HKEY_LOCAL_MACHINE, key + "\\hk deep\\inner"));
  // A name at the registry's limit of 255 characters: its path is past what
  // the ANSI functions take whole.
  const Text longest = hostile::Repeat("K", 255);
  ASSERT_TRUE(seed.WideString(HKEY_LOCAL_MACHINE, key + "\\" + longest, "CLSID", selfClass));

  MainWindowFixture fixture;
  ResultList& list = fixture.Controls().超级列表框4;
  fixture.Click(ButtonId(10));
  const Text prefix = "HKEY_LOCAL_MACHINE\\" + key + "\\";
  std::vector<HostileKey> all = keys;
  all.push_back({"key with a subkey", "hk deep", true});
  all.push_back({"name of 255 characters", longest, true});
  for (const HostileKey& entry : all) {
    const int row = RowWithPath(list, 3, prefix + entry.name);
    ASSERT_GE(row, 0) << "not listed: " << entry.what;
    EXPECT_EQ(Short(list.GetCellText(row, 0)), Short(entry.name)) << entry.what;
    ExpectCellsBounded(list, row, 4, 1024, entry.what);
  }
  for (const HostileKey& entry : all) {
    if (!entry.removed) continue;
    const int row = RowWithPath(list, 3, prefix + entry.name);
    ASSERT_GE(row, 0) << entry.what;
    SelectOnly(fixture, list, row);
    DialogAnswerer answerer({{IDYES, ""}});
    fixture.Click(ButtonId(11));
    EXPECT_EQ(answerer.Seen().size(), 1u) << entry.what;
    EXPECT_FALSE(hostile::KeyExists(HKEY_LOCAL_MACHINE, key + "\\" + entry.name)) << "still there: " << entry.what;
  }
  seed.Undo();
  EXPECT_EQ(hostile::TreeDifference(before, hostile::DumpTree(HKEY_LOCAL_MACHINE, key)), "");
}

TEST(HostileKeyLists, ImageHijacksOfEveryDebuggerTypeAreListedAndRemoved) {
  const Text key = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options";
  hostile::Seed seed;
  ASSERT_TRUE(seed.Key(HKEY_LOCAL_MACHINE, key));
  const std::vector<std::pair<DWORD, ByteString>> debuggers = {
      {REG_DWORD, hostile::Dword(0)},
      {REG_BINARY, hostile::Filled(400, 'D')},
      {REG_SZ, Terminated(hostile::Repeat("C:\\hv\\", 1 << 17))},
      {REG_SZ, Bytes("C:\\hv\\\xD6")},
      {REG_NONE, ByteString()},
      {REG_QWORD, hostile::Qword(1)},
      {REG_MULTI_SZ, Bytes(Text("a\0b\0\0", 5))},
  };
  const std::vector<HostileKey> keys = HostileKeys();
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const auto& [type, data] = debuggers[i % debuggers.size()];
    ASSERT_TRUE(seed.Value(HKEY_LOCAL_MACHINE, key + "\\" + keys[i].name, "Debugger", type, data)) << keys[i].what;
    ASSERT_TRUE(seed.Value(HKEY_LOCAL_MACHINE, key + "\\" + keys[i].name, "GlobalFlag", REG_DWORD, hostile::Dword(2)));
  }

  MainWindowFixture fixture;
  ResultList& list = fixture.Controls().超级列表框3;
  fixture.Click(ButtonId(8));
  const Text prefix = "HKEY_LOCAL_MACHINE\\" + key + "\\";
  for (const HostileKey& entry : keys) {
    const int row = RowWithPath(list, 3, prefix + entry.name + "\\Debugger");
    ASSERT_GE(row, 0) << "not listed: " << entry.what;
    EXPECT_EQ(Short(list.GetCellText(row, 0)), Short(entry.name)) << entry.what;
    ExpectCellsBounded(list, row, 4, (1u << 20) + 1024, entry.what);
  }
  for (const HostileKey& entry : keys) {
    if (!entry.removed) continue;
    const int row = RowWithPath(list, 3, prefix + entry.name + "\\Debugger");
    ASSERT_GE(row, 0) << entry.what;
    SelectOnly(fixture, list, row);
    DialogAnswerer answerer({{IDYES, ""}});
    fixture.Click(ButtonId(9));
    EXPECT_FALSE(hostile::ValueExists(HKEY_LOCAL_MACHINE, key + "\\" + entry.name, "Debugger")) << entry.what;
    // The executable's key and its other values stay.
    EXPECT_TRUE(hostile::ValueExists(HKEY_LOCAL_MACHINE, key + "\\" + entry.name, "GlobalFlag")) << entry.what;
    EXPECT_EQ(RowWithPath(list, 3, prefix + entry.name + "\\Debugger"), -1) << entry.what;
  }
}

TEST(HostileKeyLists, WinsockItemsShorterThanAPathAreListedAndRemoved) {
  const Text catalog = "SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9\\hv catalog";
  hostile::Seed seed;
  const std::vector<std::pair<DWORD, ByteString>> items = {
      {REG_BINARY, Bytes("C:")},            // shorter than any path, no zero
      {REG_BINARY, ByteString()},           // empty
      {REG_BINARY, Bytes("%SystemRoot")},   // shorter than the variable
      {REG_BINARY, Bytes("%SYSTEMROOT%")},  // the variable and nothing after it
      {REG_SZ, Terminated("C:\\hv\\provider.dll")},
      {REG_BINARY, hostile::Filled(1 << 20, 'P')},
      {REG_BINARY, Bytes("C:\\hv\\\xD6")},
  };
  for (std::size_t i = 0; i < items.size(); ++i) {
    ASSERT_TRUE(seed.Value(HKEY_LOCAL_MACHINE, catalog + "\\entry " + std::to_string(i), "PackedCatalogItem",
                           items[i].first, items[i].second));
  }
  MainWindowFixture fixture;
  ResultList& list = fixture.Controls().超级列表框2;
  fixture.Click(ButtonId(6));
  const Text prefix = "HKEY_LOCAL_MACHINE\\" + catalog + "\\entry ";
  for (std::size_t i = 0; i < items.size(); ++i) {
    const int row = RowWithPath(list, 3, prefix + std::to_string(i));
    ASSERT_GE(row, 0) << "entry " << i;
    ExpectCellsBounded(list, row, 4, (1u << 20) + 1024, "entry " + std::to_string(i));
  }
  for (std::size_t i = 0; i < items.size(); i += 3) {
    const int row = RowWithPath(list, 3, prefix + std::to_string(i));
    ASSERT_GE(row, 0) << "entry " << i;
    SelectOnly(fixture, list, row);
    DialogAnswerer answerer({{IDYES, ""}});
    fixture.Click(ButtonId(7));
    EXPECT_FALSE(hostile::KeyExists(HKEY_LOCAL_MACHINE, catalog + "\\entry " + std::to_string(i))) << i;
  }
  EXPECT_TRUE(hostile::KeyExists(HKEY_LOCAL_MACHINE, catalog));
}

}  // namespace

namespace {

TEST(HostileServices, StartTypeGoesToTheListedServiceAndNowhereElse) {
  const Text services = "SYSTEM\\CurrentControlSet\\Services";
  hostile::Seed seed;
  // A name with a separator in it, a Start that is text, and a service that
  // malware removes while the list shows it.
  ASSERT_TRUE(seed.String(HKEY_LOCAL_MACHINE, services + "\\hv;svc", "ImagePath", "C:\\hv\\svc.exe"));
  ASSERT_TRUE(seed.String(HKEY_LOCAL_MACHINE, services + "\\hv;svc", "Start", "4"));
  ASSERT_TRUE(seed.String(HKEY_LOCAL_MACHINE, services + "\\hv gone", "ImagePath", "C:\\hv\\gone.exe"));
  ASSERT_TRUE(seed.Value(HKEY_LOCAL_MACHINE, services + "\\hv gone", "Start", REG_DWORD, hostile::Dword(3)));
  ASSERT_TRUE(seed.Value(HKEY_LOCAL_MACHINE, services + "\\hv qword", "ImagePath", REG_QWORD, hostile::Qword(7)));
  ASSERT_TRUE(seed.Value(HKEY_LOCAL_MACHINE, services + "\\hv qword", "Start", REG_QWORD, hostile::Qword(2)));
  ASSERT_TRUE(seed.String(HKEY_LOCAL_MACHINE, services + "\\hv qword", "Description", hostile::Repeat("描", 1 << 20)));

  MainWindowFixture fixture;
  MainControls& c = fixture.Controls();
  fixture.Click(ButtonId(28));
  auto rowOf = [&](const Text& name) {
    for (int row = 0; row < c.系统服务列表.RowCount(); ++row) {
      if (c.系统服务列表.GetCellText(row, 4) == name) return row;
    }
    return -1;
  };
  ASSERT_GE(rowOf("hv qword"), 0);
  EXPECT_EQ(c.系统服务列表.GetCellText(rowOf("hv qword"), 3), "");
  // A description of a megabyte goes to the label without stalling the window.
  const DWORD shown = GetTickCount();
  fixture.FocusRow(c.系统服务列表, rowOf("hv qword"));
  EXPECT_LT(GetTickCount() - shown, TimeLimit(3000));
  EXPECT_EQ(c.标签4.Caption().size(), 2u << 20);

  const int semicolon = rowOf("hv;svc");
  ASSERT_GE(semicolon, 0);
  EXPECT_EQ(c.系统服务列表.GetCellText(semicolon, 3), "");
  fixture.FocusRow(c.系统服务列表, semicolon);
  fixture.ChooseComboItem(4);
  EXPECT_EQ(c.系统服务列表.GetCellText(semicolon, 3), "禁用");
  DWORD start = 0, size = sizeof start, type = 0;
  EXPECT_EQ(
      RegGetValueA(HKEY_LOCAL_MACHINE, (services + "\\hv;svc").c_str(), "Start", RRF_RT_ANY, &type, &start, &size),
      ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(start, 4u);
  EXPECT_FALSE(hostile::KeyExists(HKEY_LOCAL_MACHINE, services + "\\hv"));

  const int gone = rowOf("hv gone");
  ASSERT_GE(gone, 0);
  fixture.FocusRow(c.系统服务列表, gone);
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, (services + "\\hv gone").c_str());
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, (services + "\\hv gone").c_str());
  fixture.ChooseComboItem(2);
  EXPECT_FALSE(hostile::KeyExists(HKEY_LOCAL_MACHINE, services + "\\hv gone"))
      << "a service key nobody has was made up";
}

}  // namespace

namespace {

// Key paths past MAX_PATH characters, which the ANSI functions refuse
// whole: malware gets a hijack no one sees by naming its key long enough.
TEST(HostileKeyLists, AHijackUnderAPathPastMaxPathIsListedAndRemoved) {
  const Text options = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options";
  const Text name = hostile::Repeat("L", 200) + ".exe";
  hostile::Seed seed;
  ASSERT_TRUE(seed.WideString(HKEY_LOCAL_MACHINE, options + "\\" + name, "Debugger", "C:\\hv\\long.exe"));
  ASSERT_TRUE(seed.WideString(HKEY_LOCAL_MACHINE, options + "\\" + name, "GlobalFlag", "2"));

  MainWindowFixture fixture;
  ResultList& list = fixture.Controls().超级列表框3;
  fixture.Click(ButtonId(8));
  const Text path = "HKEY_LOCAL_MACHINE\\" + options + "\\" + name + "\\Debugger";
  const int row = RowWithPath(list, 3, path);
  ASSERT_GE(row, 0) << "the hijack is not listed";
  EXPECT_EQ(list.GetCellText(row, 2), "C:\\hv\\long.exe");
  SelectOnly(fixture, list, row);
  DialogAnswerer answerer({{IDYES, ""}});
  fixture.Click(ButtonId(9));
  EXPECT_EQ(RowWithPath(list, 3, path), -1);
}

}  // namespace
