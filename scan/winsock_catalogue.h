// Removal of a Winsock catalogue entry that leaves a catalogue Windows can
// load.
//
// Windows reads Protocol_Catalog9\Catalog_Entries\000000000001 upwards, as
// many as Num_Catalog_Entries says (Catalog_Entries64 and
// Num_Catalog_Entries64 likewise): a gap leaves programs without sockets.
// The removal deletes the entry and takes its id out of every protocol chain
// that names it; a chain goes with it only when nothing but its base would
// remain or the entry was that base (a chain [A, B, base] loses B and keeps
// working for A). It renumbers the rest from 000000000001 in their order
// with their values moved whole, writes the new count and raises
// Serial_Access_Num so that running programs reload. Keys Windows does not
// read (above the count, or not named by twelve digits) are left as they
// are, and one of them is removed alone. All or nothing: when a write
// fails, what was there is put back.
#pragma once

#include <vector>

#include "base/text_ops.h"

// The catalogue layout of one entry's PackedCatalogItem: the provider's path
// (MAX_PATH bytes), then WSAPROTOCOL_INFOW, whose catalogue entry id and
// protocol chain come after three flag words, the provider flags and the
// provider GUID.
constexpr std::size_t kCatalogEntryIdOffset = 260 + 16 + 4 + 16;
constexpr std::size_t kChainLengthOffset = kCatalogEntryIdOffset + 4;
constexpr std::size_t kChainEntriesOffset = kChainLengthOffset + 4;
constexpr int kMaxChainLength = 7;

struct ListedEntry;

// listed: a row's hidden cell, "HKEY_LOCAL_MACHINE\...\Catalog_Entries\NNN".
// true when the entry is gone afterwards. A path of any other shape is
// deleted as a key tree, as the page always did.
bool RemoveWinsockEntry(const ListedEntry& listed);
