// The Winsock catalogue scan over catalogues of the test's own.
#include <gtest/gtest.h>

#include "host/files.h"
#include "host/version_info.h"
#include "registry_scratch.h"
#include "scan/winsock_providers.h"

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
      // A bare name found in the System folder: shown and described as stored.
      {"A\\04", PackedItem("ws2_32.dll"), {"04", GetFileDescription("ws2_32.dll"), "ws2_32.dll"}},
      {"A\\05", PackedItem("%windir%\\veltro.dll"), {"05", "", "%windir%\\veltro.dll"}},
      {"A\\06", ByteString{'a', 'b', 'c'}, {"06", "", "abc"}},   // no zero byte: ends with the data
      {"A\\07", ByteString{}, {"07", "", ""}},
      {"B\\01", PackedItem("c:\\veltro\\lsp.dll"), {"01", "", "c:\\veltro\\lsp.dll"}},
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

}  // namespace
