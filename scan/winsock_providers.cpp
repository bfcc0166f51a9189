#include "scan/winsock_providers.h"

#include <algorithm>

#include "host/files.h"
#include "host/registry.h"
#include "host/version_info.h"
#include "scan/entry_row.h"
#include "scan/registry_lookups.h"

namespace {

const char kCatalogKey[] = "SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9";
const char kSystemRootVariable[] = "%systemroot%";

// The provider's path is single-byte text at the start of PackedCatalogItem,
// ended by a zero byte; an item cut short ends where its data ends.
Text ProviderPath(const ByteString& packedItem) {
  const auto end = std::find(packedItem.begin(), packedItem.end(), 0);
  return Text(packedItem.begin(), end);
}

// As stored when the file is found as it is or in the System folder (the
// loader searches there); a leading %SystemRoot% becomes the Windows folder.
Text ResolveProviderPath(const Text& path) {
  if (FileExists(path) || FileExists(GetSpecialFolder(kFolderSystem) + path)) return path;
  const std::size_t variableLength = sizeof kSystemRootVariable - 1;
  if (ToLowerCase(LeftBytes(path, static_cast<long long>(variableLength))) != kSystemRootVariable) return path;
  Text rest = path.substr(variableLength);
  if (!rest.empty() && rest[0] == '\\') rest.erase(0, 1);
  return GetSpecialFolder(kFolderWindows) + rest;
}

}  // namespace

void ScanWinsockProviders(ResultList& list) {
  RowSink rows(list);
  if (!rows.Accepting()) return;
  const Text catalogKey = kCatalogKey;
  const Text prefix = RootName(kLocalMachine) + "\\" + catalogKey + "\\";
  TextList catalogs;
  ListPresentSubkeys(kLocalMachine, catalogKey, catalogs);
  for (const Text& catalog : catalogs) {
    TextList entries;
    ListPresentSubkeys(kLocalMachine, catalogKey + "\\" + catalog, entries);
    rows.LetEventsThrough();
    for (const Text& entry : entries) {
      rows.LetEventsThrough();
      const Text entryKey = catalogKey + "\\" + catalog + "\\" + entry;
      const Text path =
          ResolveProviderPath(ProviderPath(ReadRegistryBytes(kLocalMachine, entryKey + "\\PackedCatalogItem")));
      AddEntryRow(rows, {entry, GetFileDescription(path), path, prefix + catalog + "\\" + entry});
    }
  }
}
