// Removal from a Winsock catalogue shaped like Windows XP's: twelve entries,
// one of them a layered provider that two protocol chains name.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "host/registry.h"
#include "host/registry_values.h"
#include "registry_scratch.h"
#include "scan/entry_removal.h"
#include "scan/winsock_catalogue.h"
#include "scan/winsock_providers.h"
#include "support/dialog_answerer.h"

namespace {

const Text kCatalogue = "SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9";
const Text kEntries = kCatalogue + "\\Catalog_Entries";
constexpr std::size_t kPackedItemBytes = 260 + 372;   // MAX_PATH path + WSAPROTOCOL_INFOW

Text Name(int number) {
  char name[16];
  std::snprintf(name, sizeof name, "%012d", number);
  return name;
}

void PutWord(ByteString& bytes, std::size_t offset, uint32_t word) {
  for (int i = 0; i < 4; ++i) bytes[offset + static_cast<std::size_t>(i)] = static_cast<unsigned char>(word >> (8 * i));
}

// id 1000 + number; the layered provider (5) has an empty chain, the chains
// (8, 11) name it first and a base provider after it.
ByteString PackedItem(int number) {
  ByteString item(kPackedItemBytes, 0);
  const Text path = "%SystemRoot%\\system32\\provider" + std::to_string(number) + ".dll";
  std::copy(path.begin(), path.end(), item.begin());
  PutWord(item, kCatalogEntryIdOffset, 1000u + static_cast<uint32_t>(number));
  const bool chain = number == 8 || number == 11;
  PutWord(item, kChainLengthOffset, number == 5 ? 0u : chain ? 2u : 1u);
  PutWord(item, kChainEntriesOffset, chain ? 1005u : 1000u + static_cast<uint32_t>(number));
  if (chain) PutWord(item, kChainEntriesOffset + 4, 1001u);
  for (std::size_t i = kChainEntriesOffset + 32; i < item.size(); ++i) item[i] = static_cast<unsigned char>(number + i);
  return item;
}

std::vector<RegistryValue> ValuesOf(const Text& key) {
  std::vector<RegistryValue> values;
  EXPECT_TRUE(ReadKeyValues(kLocalMachine, key, values)) << key;
  return values;
}

class WinsockCatalogueTest : public testing::Test {
 protected:
  void SetUp() override {
    for (int number = 1; number <= 12; ++number) {
      const Text key = kEntries + "\\" + Name(number);
      scratch_.Key(HKEY_LOCAL_MACHINE, key);
      scratch_.Value(HKEY_LOCAL_MACHINE, key, "PackedCatalogItem", REG_BINARY, PackedItem(number));
      scratch_.String(HKEY_LOCAL_MACHINE, key, "ProtocolName", "Provider " + std::to_string(number));
      scratch_.Number(HKEY_LOCAL_MACHINE, key, "Version", 2);
      original_.push_back(ValuesOf(key));
    }
    scratch_.Number(HKEY_LOCAL_MACHINE, kCatalogue, "Num_Catalog_Entries", 12);
    scratch_.Number(HKEY_LOCAL_MACHINE, kCatalogue, "Serial_Access_Num", 41);
  }

  // Removes entry 5 through the page, as a user does.
  void RemoveLayeredProvider() {
    TestListHost host({150, 150, 150, 0});
    ScanWinsockProviders(host.List());
    host.List().SelectRow(FindRow(host.Rows(), 3, "HKEY_LOCAL_MACHINE\\" + kEntries + "\\" + Name(5)));
    DialogAnswerer answerer({{IDYES, ""}});
    RemoveCurrentEntry(host.List(), kWinsockRemoval);
    EXPECT_EQ(answerer.Seen().size(), 1u);
  }

  TextList EntryNames() {
    TextList names;
    ListSubkeys(kLocalMachine, kEntries, names);
    return names;
  }

  RegistryScratch scratch_;
  std::vector<std::vector<RegistryValue>> original_;   // entries 1..12
};

TEST_F(WinsockCatalogueTest, TheLayerAndItsChainsGoAndTheRestStaysContiguous) {
  RemoveLayeredProvider();
  // 5 and the chains 8 and 11 are gone; the others moved down, whole.
  const std::vector<int> kept = {1, 2, 3, 4, 6, 7, 9, 10, 12};
  TextList expectedNames;
  for (std::size_t i = 0; i < kept.size(); ++i) expectedNames.push_back(Name(static_cast<int>(i) + 1));
  ASSERT_EQ(EntryNames(), expectedNames);
  for (std::size_t i = 0; i < kept.size(); ++i) {
    EXPECT_EQ(ValuesOf(kEntries + "\\" + expectedNames[i]), original_[static_cast<std::size_t>(kept[i] - 1)])
        << "entry " << kept[i];
  }
  EXPECT_EQ(ReadRegistryNumber(kLocalMachine, kCatalogue + "\\Num_Catalog_Entries"), 9);
  EXPECT_EQ(ReadRegistryNumber(kLocalMachine, kCatalogue + "\\Serial_Access_Num"), 42);
}

TEST_F(WinsockCatalogueTest, AFailedWritePutsTheCatalogueBack) {
  // The catalogue key itself cannot be changed: the new count cannot be
  // written after the entries were renumbered.
  const Text locked = kCatalogue;
  ASSERT_TRUE(RegistryScratch::SetAccess(HKEY_LOCAL_MACHINE, locked, "D:P(A;;KR;;;WD)(A;;RCWD;;;BA)"));

  RemoveLayeredProvider();
  TextList expectedNames;
  for (int number = 1; number <= 12; ++number) expectedNames.push_back(Name(number));
  EXPECT_EQ(EntryNames(), expectedNames);
  for (int number = 1; number <= 12; ++number) {
    EXPECT_EQ(ValuesOf(kEntries + "\\" + Name(number)), original_[static_cast<std::size_t>(number - 1)])
        << "entry " << number;
  }
  EXPECT_EQ(ReadRegistryNumber(kLocalMachine, kCatalogue + "\\Num_Catalog_Entries"), 12);
  EXPECT_EQ(ReadRegistryNumber(kLocalMachine, kCatalogue + "\\Serial_Access_Num"), 41);
  ASSERT_TRUE(RegistryScratch::SetAccess(HKEY_LOCAL_MACHINE, locked, "D:P(A;;KA;;;WD)"));
}

}  // namespace
