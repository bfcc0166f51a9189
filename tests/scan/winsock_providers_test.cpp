// The Winsock catalogue scan over catalogues of the test's own.
#include <gtest/gtest.h>

#include "host/files.h"
#include "host/native_view.h"
#include "host/version_info.h"
#include "registry_scratch.h"
#include "scan/winsock_providers.h"
#include "support/hostile_seed.h"

namespace {

const Text kCatalog = "SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9\\";

// The path, a zero byte, then protocol data.
ByteString PackedItem(const Text& path) {
  ByteString bytes(path.c_str(), path.c_str() + path.size() + 1);
  bytes.insert(bytes.end(), 64, 0xAB);
  return bytes;
}

TEST(WinsockProvidersTest, PathsResolveAndCataloguesFollowEachOther) {
  const Text windows = GetSpecialFolder(kFolderWindows), system = GetSpecialFolder(kFolderSystem);
  ASSERT_TRUE(FileExists(system + "ws2_32.dll"));
  const Text inSystem = system.substr(windows.size()) + "ws2_32.dll";   // "system32\ws2_32.dll"
  const Text dll = fixture::kComponentDll;
  const Text wineDescription = GetFileDescription(system + "ws2_32.dll");
  const struct {
    Text entry;
    ByteString item;
    std::vector<Text> cells;
  } cases[] = {
      {"A\\01", PackedItem(dll), {"01", fixture::kComponentDescription, dll}},
      {"A\\02", PackedItem("%SystemRoot%\\" + inSystem), {"02", wineDescription, system + "ws2_32.dll"}},
      {"A\\03", PackedItem("%SYSTEMROOT%\\" + inSystem), {"03", wineDescription, system + "ws2_32.dll"}},
      // A bare name found in the System folder: shown as stored, described from there.
      {"A\\04", PackedItem("ws2_32.dll"), {"04", wineDescription, "ws2_32.dll"}},
      {"A\\05", PackedItem("%windir%\\veltro.dll"), {"05", "未知", "%windir%\\veltro.dll"}},
      {"A\\06", ByteString{'a', 'b', 'c'}, {"06", "未知", "abc"}},   // no zero byte: ends with the data
      {"A\\07", ByteString{}, {"07", "", ""}},
      {"B\\01", PackedItem("c:\\veltro\\lsp.dll"), {"01", "未知", "c:\\veltro\\lsp.dll"}},
  };
  RegistryScratch s;
  s.Key(HKEY_LOCAL_MACHINE, kCatalog + "VeltroA");
  s.Key(HKEY_LOCAL_MACHINE, kCatalog + "VeltroB");
  std::vector<std::pair<Text, std::vector<Text>>> expected;
  for (const auto& c : cases) {
    const Text key = kCatalog + "Veltro" + c.entry;
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), "PackedCatalogItem", REG_BINARY, c.item.data(),
                    static_cast<DWORD>(c.item.size()));
    expected.push_back({"HKEY_LOCAL_MACHINE\\" + key, c.cells});
  }
  ExpectRowsInOrder(ScanRows(ScanWinsockProviders, {150, 150, 150, 0}), expected, 3);
}

// On 64-bit Windows "Catalog_Entries" is the 32-bit programs' catalogue: its
// System folder is SysWOW64. A bare name is the System folder's file, never
// a namesake beside the program or in its current folder.
TEST(WinsockProvidersTest, EachCatalogueIsDescribedFromItsOwnSystemFolder) {
  const Text windows = GetSpecialFolder(kFolderWindows), system = GetSpecialFolder(kFolderSystem);
  char program[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  const Text beside = Text(program).substr(0, LastBackslash(program) + 1);
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, current);
  // 32-bit Windows has one catalogue, Catalog_Entries, and one System folder.
  const bool sixtyFour = OnSixtyFourBitWindows();
  const char* const nativeCatalog = sixtyFour ? "Catalog_Entries64" : "Catalog_Entries";
  const Text thirtyTwoBitDescription = sixtyFour ? fixture::kEnglishDescription : fixture::kComponentDescription;
  hostile::Seed seed;
  ASSERT_TRUE(seed.Copy(fixture::kComponentDll, system + "veltro_lsp.dll"));
  if (sixtyFour) {
    ASSERT_TRUE(seed.Copy(fixture::kEnglishDll, windows + "SysWOW64\\veltro_lsp.dll"));
  }
  ASSERT_TRUE(seed.Copy(fixture::kPaddedDescriptionDll, beside + "veltro_lsp.dll"));
  ASSERT_TRUE(seed.Copy(fixture::kPaddedDescriptionDll, Text(current) + "\\veltro_only_here.dll"));
  const Text inSystem = system.substr(windows.size()) + "veltro_lsp.dll";
  const struct {
    const char* catalog;
    Text stored;
    std::vector<Text> cells;   // "描述", "路径"
  } cases[] = {
      {nativeCatalog, "veltro_lsp.dll", {fixture::kComponentDescription, "veltro_lsp.dll"}},
      {nativeCatalog, "%SystemRoot%\\" + inSystem, {fixture::kComponentDescription, system + "veltro_lsp.dll"}},
      {"Catalog_Entries", "veltro_lsp.dll", {thirtyTwoBitDescription, "veltro_lsp.dll"}},
      {"Catalog_Entries", "%SystemRoot%\\" + inSystem, {thirtyTwoBitDescription, system + "veltro_lsp.dll"}},
      {"Catalog_Entries", system + "veltro_lsp.dll", {thirtyTwoBitDescription, system + "veltro_lsp.dll"}},
      {nativeCatalog, "veltro_only_here.dll", {"未知", "veltro_only_here.dll"}},
  };
  std::vector<std::pair<Text, std::vector<Text>>> expected;
  int number = 9900;
  for (const auto& c : cases) {
    const Text catalog = kCatalog + c.catalog;
    const Text entry = "00000000" + ToText(++number);
    ASSERT_TRUE(seed.Key(HKEY_LOCAL_MACHINE, catalog + "\\" + entry));   // goes whole, and only it
    ASSERT_TRUE(seed.Value(HKEY_LOCAL_MACHINE, catalog + "\\" + entry, "PackedCatalogItem", REG_BINARY,
                           PackedItem(c.stored)));
    std::vector<Text> cells{entry};
    cells.insert(cells.end(), c.cells.begin(), c.cells.end());
    expected.push_back({"HKEY_LOCAL_MACHINE\\" + catalog + "\\" + entry, cells});
  }
  const auto rows = ScanRows(ScanWinsockProviders, {150, 150, 150, 0});
  for (const auto& [path, cells] : expected) {
    const int row = FindRow(rows, 3, path);
    ASSERT_GE(row, 0) << path;
    EXPECT_EQ(std::vector<Text>(rows[row].begin(), rows[row].begin() + 3), cells) << path;
  }
}

}  // namespace
