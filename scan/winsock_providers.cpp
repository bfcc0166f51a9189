#include "scan/winsock_providers.h"

#include <algorithm>

#include "host/files.h"
#include "host/registry.h"
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

// On 64-bit Windows "Catalog_Entries" is the catalogue of 32-bit programs,
// whose libraries they load from SysWOW64; "Catalog_Entries64" and every
// catalogue of 32-bit Windows belong to the native programs.
RegistryView ViewOfCatalog(const Text& catalog) {
  return ToLowerCase(catalog) == "catalog_entries" ? RegistryView::ThirtyTwoBit : RegistryView::Native;
}

// As stored when the file it names is there (a bare name in the System
// folder, where the loader finds it); a leading %SystemRoot% becomes the
// Windows folder.
Text ResolveProviderPath(const Text& path, RegistryView view) {
  if (path.empty() || FileExists(FileSeenFrom(view, path))) return path;
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
      const RegistryView view = ViewOfCatalog(catalog);
      const Text path =
          ResolveProviderPath(ProviderPath(ReadRegistryBytes(kLocalMachine, entryKey + "\\PackedCatalogItem")), view);
      // The row keeps the text; the description is the file's it names.
      AddEntryRow(rows, FileEntryRow(entry, view, path, prefix + catalog + "\\" + entry));
    }
  }
}
