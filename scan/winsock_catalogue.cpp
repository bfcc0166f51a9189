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

Text EntryName(std::size_t number) {
  char name[16];
  std::snprintf(name, sizeof name, "%012u", static_cast<unsigned>(number));
  return name;
}

// Whether Windows reads the key as an entry: it reads 000000000001 up to
// the count and nothing else, so a key above the count or of another name
// is no entry of the live catalogue.
bool IsLiveEntryName(const Text& name, int32_t count) {
  if (name.size() != 12 || !std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  long long number = 0;
  for (char digit : name) number = number * 10 + (digit - '0');
  return number >= 1 && number <= count;
}

// The protocol chain of an entry that is a chain (two links or more, the
// base provider last); empty for a layer, a base provider or an item too
// short to hold the whole chain.
std::vector<uint32_t> ChainOf(const ByteString& item) {
  std::vector<uint32_t> links;
  const int32_t length = static_cast<int32_t>(ReadWord(item, kChainLengthOffset));
  if (length < 2 || length > kMaxChainLength || item.size() < kChainEntriesOffset + 4 * kMaxChainLength) return links;
  for (int32_t link = 0; link < length; ++link) {
    links.push_back(ReadWord(item, kChainEntriesOffset + 4 * static_cast<std::size_t>(link)));
  }
  return links;
}

// Whether the item's chain names the id, whatever its length says.
bool ChainNames(const ByteString& item, uint32_t id) {
  const int32_t length = static_cast<int32_t>(ReadWord(item, kChainLengthOffset));
  for (int32_t link = 0; length > 1 && link < std::min(length, kMaxChainLength); ++link) {
    if (ReadWord(item, kChainEntriesOffset + 4 * static_cast<std::size_t>(link)) == id) return true;
  }
  return false;
}

void PutWord(ByteString& bytes, std::size_t offset, uint32_t word) {
  for (std::size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<unsigned char>(word >> (8 * i));
}

// The entry as it stays once the provider with the id is gone: as it is
// when its chain does not name the id; with the id taken out of a chain
// that still has a layer above its base, so that the other layers of that
// chain keep the protocol. false when the chain cannot work without the id:
// nothing but its base would remain, the id was the base, or the chain
// cannot be rewritten.
bool TakeOutOfChain(Entry& entry, uint32_t id) {
  const ByteString* item = PackedItemOf(entry);
  if (item == nullptr || !ChainNames(*item, id)) return true;
  std::vector<uint32_t> links = ChainOf(*item);
  if (links.empty() || links.back() == id) return false;
  links.erase(std::remove(links.begin(), links.end(), id), links.end());
  if (links.size() < 2) return false;
  for (RegistryValue& value : entry.values) {
    if (&value.data != item) continue;
    PutWord(value.data, kChainLengthOffset, static_cast<uint32_t>(links.size()));
    for (std::size_t link = 0; link < static_cast<std::size_t>(kMaxChainLength); ++link) {
      PutWord(value.data, kChainEntriesOffset + 4 * link, link < links.size() ? links[link] : 0);
    }
  }
  return true;
}

// The live entry keys as they are now and the entries to write in their
// place: every one of them goes first, so that no old entry survives under
// a new number. Keys Windows does not read stay as they are.
bool WriteEntries(const Text& catalogKey, const TextList& present, const std::vector<Entry>& entries) {
  for (const Text& name : present) DeleteRegistryTree(kLocalMachine, catalogKey + "\\" + name);
  bool written = true;
  for (const Entry& entry : entries) {
    written = WriteKeyValues(kLocalMachine, catalogKey + "\\" + entry.name, entry.values) && written;
  }
  return written;
}

TextList LiveEntryNames(const Text& catalogKey, int32_t count) {
  TextList names, live;
  ListPresentSubkeys(kLocalMachine, catalogKey, names);
  for (const Text& name : names) {
    if (IsLiveEntryName(name, count)) live.push_back(name);
  }
  std::sort(live.begin(), live.end());
  return live;
}

// A key no catalogue of Windows reads: it goes alone, and nothing else changes.
bool RemoveKeyAlone(const ListedEntry& listed) {
  return BackUpRemoval(kWinsockRemoval.backupName, listed) && DeleteRegistryEntry(listed, RemovalRoute::ToolOnly);
}

}  // namespace

bool RemoveWinsockEntry(const ListedEntry& listed) {
  const RegistryEntry& path = listed.entry;
  const RegistryEntry catalog = EntryBelowRoot(kLocalMachine, path.key);   // Protocol_Catalog9, Catalog_Entries
  const Text folder = ToLowerCase(catalog.valueName);
  if (!listed.named || listed.listedValue || path.root != kLocalMachine ||
      (folder != "catalog_entries" && folder != "catalog_entries64")) {
    return RemoveKeyAlone(listed);
  }
  const Text catalogKey = path.key;
  const Text countPath = catalog.key + "\\Num_" + catalog.valueName;
  const Text serialPath = catalog.key + "\\Serial_Access_Num";
  const bool hadCount = RegistryItemExists(kLocalMachine, countPath);
  const int32_t oldCount = ReadRegistryNumber(kLocalMachine, countPath);
  if (!IsLiveEntryName(path.valueName, hadCount ? oldCount : 0)) return RemoveKeyAlone(listed);

  // The whole live catalogue first: nothing changes unless all of it was read.
  const TextList names = LiveEntryNames(catalogKey, oldCount);
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
    if (entry.name == removed->name) continue;
    Entry kept = entry;
    if (hasId && !TakeOutOfChain(kept, removedId)) continue;
    kept.name = EntryName(after.size() + 1);
    after.push_back(std::move(kept));
  }
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
  WriteEntries(catalogKey, LiveEntryNames(catalogKey, oldCount), before);
  if (hadCount) WriteRegistryValue(kLocalMachine, countPath, oldCount);
  if (hadSerial) WriteRegistryValue(kLocalMachine, serialPath, oldSerial);
  return false;
}
