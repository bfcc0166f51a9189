// The Winsock catalogue scan against the real registry of the prefix.
#include <gtest/gtest.h>

#include "host/files.h"
#include "scan/winsock_providers.h"
#include "scan_fixtures.h"
#include "support/test_window.h"

namespace {

const Text kCatalog = "SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9";

constexpr std::size_t kName = 0, kDescription = 1, kServer = 2, kPath = 3;

// A packed item: the path, a zero byte and protocol data after it.
ByteString PackedItem(const Text& path, std::size_t trailing = 64) {
  ByteString bytes(path.begin(), path.end());
  bytes.push_back(0);
  bytes.insert(bytes.end(), trailing, 0xAB);
  return bytes;
}

TEST(WinsockProvidersTest, PathsResolveAndEachCatalogueFollowsTheOther) {
  const KnownFile file = DescribedFile();
  const Text windows = GetSpecialFolder(kFolderWindows);
  const Text system = GetSpecialFolder(kFolderSystem);
  ASSERT_FALSE(windows.empty());
  // A library in the System folder, named bare and through %SystemRoot%.
  const Text systemLibrary = "ws2_32.dll";
  ASSERT_TRUE(FileExists(system + systemLibrary));
  const Text systemRelative = system.substr(windows.size()) + systemLibrary;   // "system32\ws2_32.dll"

  struct Case {
    Text catalog, entry;
    ByteString item;
    Text shownPath;
  };
  const Case cases[] = {
      {"VeltroCatalogA", "000000000001", PackedItem(file.path), file.path},
      {"VeltroCatalogA", "000000000002", PackedItem("%SystemRoot%\\" + systemRelative), system + systemLibrary},
      {"VeltroCatalogA", "000000000003", PackedItem("%SYSTEMROOT%\\" + systemRelative), system + systemLibrary},
      {"VeltroCatalogA", "000000000004", PackedItem(systemLibrary), systemLibrary},
      {"VeltroCatalogA", "000000000005", PackedItem("%windir%\\veltro.dll"), "%windir%\\veltro.dll"},
      // No zero byte at all: the path ends with the data.
      {"VeltroCatalogA", "000000000006", ByteString{'a', 'b', 'c'}, "abc"},
      {"VeltroCatalogA", "000000000007", ByteString{}, ""},
      {"VeltroCatalogB", "000000000001", PackedItem("c:\\veltro\\lsp.dll"), "c:\\veltro\\lsp.dll"},
  };
  RegistryScratch scratch;
  scratch.Key(HKEY_LOCAL_MACHINE, kCatalog + "\\VeltroCatalogA");
  scratch.Key(HKEY_LOCAL_MACHINE, kCatalog + "\\VeltroCatalogB");
  for (const Case& c : cases) {
    RegistryScratch::Put(HKEY_LOCAL_MACHINE, kCatalog + "\\" + c.catalog + "\\" + c.entry, "PackedCatalogItem",
                         REG_BINARY, c.item);
  }
  // An entry without an item still gets its row.
  RegistryScratch::Put(HKEY_LOCAL_MACHINE, kCatalog + "\\VeltroCatalogB\\000000000002", "Other", REG_SZ,
                       ByteString{'x', 0});

  TestListHost host({150, 150, 150, 0});
  ScanWinsockProviders(host.List());
  const auto rows = host.Rows();
  const Text prefix = "HKEY_LOCAL_MACHINE\\" + kCatalog + "\\";
  int previous = -1;
  for (const Case& c : cases) {
    const int row = FindRow(rows, kPath, prefix + c.catalog + "\\" + c.entry);
    ASSERT_GE(row, 0) << c.catalog << "\\" << c.entry;
    EXPECT_EQ(rows[row][kName], c.entry);
    EXPECT_EQ(rows[row][kServer], c.shownPath) << c.entry;
    EXPECT_GT(row, previous);
    previous = row;
  }
  const int bare = FindRow(rows, kPath, prefix + "VeltroCatalogA\\000000000001");
  EXPECT_EQ(rows[bare][kDescription], file.description);
  const int other = FindRow(rows, kPath, prefix + "VeltroCatalogB\\000000000002");
  ASSERT_GE(other, 0);
  EXPECT_EQ(rows[other][kServer], "");
  EXPECT_EQ(rows[other][kDescription], "");
}

}  // namespace
