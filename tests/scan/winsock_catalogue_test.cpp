// Removal from a Winsock catalogue shaped like Windows XP's: twelve entries,
// one of them a layered provider that two protocol chains name.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
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

uint32_t Id(int number) { return 1000u + static_cast<uint32_t>(number); }

// Entry `number` has the id 1000 + number. chain: the entry numbers of its
// protocol chain, top layer first and base last; {} for a layered provider,
// {number} for a base provider.
ByteString PackedItem(int number, const std::vector<int>& chain) {
  ByteString item(kPackedItemBytes, 0);
  const Text path = "%SystemRoot%\\system32\\provider" + std::to_string(number) + ".dll";
  std::copy(path.begin(), path.end(), item.begin());
  PutWord(item, kCatalogEntryIdOffset, Id(number));
  PutWord(item, kChainLengthOffset, static_cast<uint32_t>(chain.size()));
  for (std::size_t link = 0; link < chain.size(); ++link) PutWord(item, kChainEntriesOffset + 4 * link, Id(chain[link]));
  for (std::size_t i = kChainEntriesOffset + 32; i < item.size(); ++i) item[i] = static_cast<unsigned char>(number + i);
  return item;
}

// The layered provider (5) has an empty chain; the chains (8, 11) name it
// first and a base provider after it.
ByteString PackedItem(int number) {
  if (number == 5) return PackedItem(number, {});
  if (number == 8 || number == 11) return PackedItem(number, {5, 1});
  return PackedItem(number, {number});
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

// An entry as seeded: its key name, and the chain of its item (see PackedItem).
struct Seeded {
  Text name;
  int number;
  std::vector<int> chain;
};

std::vector<RegistryValue> SeededValues(const Seeded& entry) {
  return {{"PackedCatalogItem", REG_BINARY, PackedItem(entry.number, entry.chain)},
          {"Version", REG_DWORD, {2, 0, 0, 0}}};
}

// Two layered providers A (2) and B (3) over two base providers (1, 6);
// A's chains run through B, as when a security product layers itself over
// what malware installed before it.
const std::vector<Seeded> kLayered = {
    {Name(1), 1, {1}}, {Name(2), 2, {}}, {Name(3), 3, {}}, {Name(4), 4, {2, 3, 1}},
    {Name(5), 5, {3, 1}}, {Name(6), 6, {6}}, {Name(7), 7, {2, 3, 6}},
};
// Four entries Windows reads (the count is 4) and keys it does not read:
// above the count, below 1, not twelve digits (numbered from 20 here).
const std::vector<Seeded> kStrays = {
    {Name(0), 20, {20}}, {Name(5), 21, {21}}, {"00000000003", 22, {22}}, {"Backup", 23, {23}}};
std::vector<Seeded> WithStrays(std::vector<Seeded> entries) {
  entries.insert(entries.end(), kStrays.begin(), kStrays.end());
  return entries;
}

TEST(WinsockChainsTest, OtherProvidersKeepTheirChainsAndKeysWindowsDoesNotReadStay) {
  struct Case {
    const char* what;
    std::vector<Seeded> before;
    DWORD count;
    Text removed;
    std::vector<Seeded> after;   // every key afterwards
    int serial;                  // 7 before
  };
  const std::vector<Seeded> fourBases = {{Name(1), 1, {1}}, {Name(2), 2, {2}}, {Name(3), 3, {3}}, {Name(4), 4, {4}}};
  const Case cases[] = {
      {"B, below A: A keeps both its chains, B's own chain goes", kLayered, 7, Name(3),
       {{Name(1), 1, {1}}, {Name(2), 2, {}}, {Name(3), 4, {2, 1}}, {Name(4), 6, {6}}, {Name(5), 7, {2, 6}}}, 8},
      {"A, on top: B keeps its chains", kLayered, 7, Name(2),
       {{Name(1), 1, {1}}, {Name(2), 3, {}}, {Name(3), 4, {3, 1}}, {Name(4), 5, {3, 1}}, {Name(5), 6, {6}},
        {Name(6), 7, {3, 6}}}, 8},
      {"a base provider: every chain over it goes", kLayered, 7, Name(1),
       {{Name(1), 2, {}}, {Name(2), 3, {}}, {Name(3), 6, {6}}, {Name(4), 7, {2, 3, 6}}}, 8},
      {"an entry Windows reads: the others are renumbered, no stray joins them", WithStrays(fourBases), 4, Name(2),
       WithStrays({{Name(1), 1, {1}}, {Name(2), 3, {3}}, {Name(3), 4, {4}}}), 8},
      {"a key above the count goes alone", WithStrays(fourBases), 4, Name(5),
       {fourBases[0], fourBases[1], fourBases[2], fourBases[3], kStrays[0], kStrays[2], kStrays[3]}, 7},
  };
  for (const Case& c : cases) {
    RegistryScratch scratch;
    for (const Seeded& entry : c.before) {
      const Text key = kEntries + "\\" + entry.name;
      scratch.Key(HKEY_LOCAL_MACHINE, key);
      for (const RegistryValue& value : SeededValues(entry)) {
        scratch.Value(HKEY_LOCAL_MACHINE, key, value.name, value.type, value.data);
      }
    }
    scratch.Number(HKEY_LOCAL_MACHINE, kCatalogue, "Num_Catalog_Entries", c.count);
    scratch.Number(HKEY_LOCAL_MACHINE, kCatalogue, "Serial_Access_Num", 7);

    EXPECT_TRUE(RemoveWinsockEntry(ParseListedEntry("HKEY_LOCAL_MACHINE\\" + kEntries + "\\" + c.removed))) << c.what;
    TextList names, expectedNames;
    ListSubkeys(kLocalMachine, kEntries, names);
    for (const Seeded& entry : c.after) {
      expectedNames.push_back(entry.name);
      EXPECT_EQ(ValuesOf(kEntries + "\\" + entry.name), SeededValues(entry)) << c.what << ": " << entry.name;
    }
    std::sort(names.begin(), names.end());
    std::sort(expectedNames.begin(), expectedNames.end());
    EXPECT_EQ(names, expectedNames) << c.what;
    const int live = static_cast<int>(std::count_if(c.after.begin(), c.after.end(), [](const Seeded& e) {
      return e.number < 20;
    }));
    EXPECT_EQ(ReadRegistryNumber(kLocalMachine, kCatalogue + "\\Num_Catalog_Entries"), live) << c.what;
    EXPECT_EQ(ReadRegistryNumber(kLocalMachine, kCatalogue + "\\Serial_Access_Num"), c.serial) << c.what;
  }
}

}  // namespace
