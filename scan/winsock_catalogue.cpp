#include "scan/winsock_catalogue.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "host/backup.h"
#include "host/registry.h"
#include "host/registry_presence.h"
#include "host/registry_values.h"
#include "scan/entry_removal.h"
#include "scan/registry_lookups.h"

namespace {

struct Entry {
  Text name;
  std::vector<RegistryValue> values;
};

uint32_t ReadWord(const ByteString& bytes, std::size_t offset) {
  if (bytes.size() < offset + 4) return 0;
  return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
         static_cast<uint32_t>(bytes[offset + 2]) << 16 | static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

const ByteString* PackedItemOf(const Entry& entry) {
  for (const RegistryValue& value : entry.values) {
    if (ToLowerCase(value.name) == "packedcatalogitem") return &value.data;
  }
  return nullptr;
}

// Whether the entry's protocol chain (of two or more links) names the id.
bool ChainNames(const Entry& entry, uint32_t id) {
  const ByteString* item = PackedItemOf(entry);
  if (item == nullptr) return false;
  const int32_t length = static_cast<int32_t>(ReadWord(*item, kChainLengthOffset));
  for (int32_t link = 0; length > 1 && link < std::min(length, kMaxChainLength); ++link) {
    if (ReadWord(*item, kChainEntriesOffset + 4 * static_cast<std::size_t>(link)) == id) return true;
  }
  return false;
}

Text EntryName(std::size_t number) {
  char name[16];
  std::snprintf(name, sizeof name, "%012u", static_cast<unsigned>(number));
  return name;
}

bool IsEntryName(const Text& name) {
  return name.size() == 12 && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The catalogue's entries written as given: every entry key there now goes
// first, so that no old entry survives under a new number.
bool WriteEntries(const Text& catalogKey, const TextList& present, const std::vector<Entry>& entries) {
  for (const Text& name : present) DeleteRegistryTree(kLocalMachine, catalogKey + "\\" + name);
  bool written = true;
  for (const Entry& entry : entries) {
    written = WriteKeyValues(kLocalMachine, catalogKey + "\\" + entry.name, entry.values) && written;
  }
  return written;
}

}  // namespace

bool RemoveWinsockEntry(const Text& absolutePath) {
  RegistryEntry path;
  const bool parsed = ParseAbsoluteEntry(absolutePath, path) && path.root == kLocalMachine;
  const RegistryEntry catalog = EntryBelowRoot(kLocalMachine, path.key);   // Protocol_Catalog9, Catalog_Entries
  const Text folder = ToLowerCase(catalog.valueName);
  if (!parsed || !IsEntryName(path.valueName) || (folder != "catalog_entries" && folder != "catalog_entries64")) {
    return BackUpRemoval(kWinsockRemoval.backupName, absolutePath) &&
           DeleteRegistryEntry(absolutePath, RemovalRoute::ToolOnly);
  }
  const Text catalogKey = path.key;
  const Text countPath = catalog.key + "\\Num_" + catalog.valueName;
  const Text serialPath = catalog.key + "\\Serial_Access_Num";

  // The whole catalogue first: nothing changes unless all of it was read.
  TextList names;
  ListPresentSubkeys(kLocalMachine, catalogKey, names);
  std::sort(names.begin(), names.end());
  std::vector<Entry> before;
  for (const Text& name : names) {
    Entry entry{name, {}};
    if (!ReadKeyValues(kLocalMachine, catalogKey + "\\" + name, entry.values)) return false;
    before.push_back(std::move(entry));
  }
  const auto removed = std::find_if(before.begin(), before.end(), [&](const Entry& e) { return e.name == path.valueName; });
  if (removed == before.end()) return !RegistryKeyPresent(kLocalMachine, path.Path());
  const ByteString* removedItem = PackedItemOf(*removed);
  const bool hasId = removedItem != nullptr && removedItem->size() >= kChainLengthOffset;
  const uint32_t removedId = hasId ? ReadWord(*removedItem, kCatalogEntryIdOffset) : 0;

  std::vector<Entry> after;
  for (const Entry& entry : before) {
    if (entry.name == removed->name || (hasId && ChainNames(entry, removedId))) continue;
    after.push_back({EntryName(after.size() + 1), entry.values});
  }
  const bool hadCount = RegistryItemExists(kLocalMachine, countPath);
  const int32_t oldCount = ReadRegistryNumber(kLocalMachine, countPath);
  const bool hadSerial = RegistryItemExists(kLocalMachine, serialPath);
  const int32_t oldSerial = ReadRegistryNumber(kLocalMachine, serialPath);

  // The catalogue, its count and its serial number as they are now.
  if (!BackUpRegistry(kWinsockRemoval.backupName,
                      {TreeBackup(kLocalMachine, catalogKey),
                       ValueBackup(kLocalMachine, catalog.key, "Num_" + catalog.valueName),
                       ValueBackup(kLocalMachine, catalog.key, "Serial_Access_Num")})) {
    return false;
  }
  const bool done = WriteEntries(catalogKey, names, after) &&
                    WriteRegistryValue(kLocalMachine, countPath, static_cast<int32_t>(after.size())) &&
                    WriteRegistryValue(kLocalMachine, serialPath, oldSerial + 1);
  if (done) return true;
  // Put back what was there; the rescan shows the truth either way.
  TextList now;
  ListPresentSubkeys(kLocalMachine, catalogKey, now);
  WriteEntries(catalogKey, now, before);
  if (hadCount) WriteRegistryValue(kLocalMachine, countPath, oldCount);
  if (hadSerial) WriteRegistryValue(kLocalMachine, serialPath, oldSerial);
  return false;
}
