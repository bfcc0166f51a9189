#include "scan/winsock_providers.h"

#include <algorithm>

#include "ui/list_fill.h"
#include "ui/prompts.h"
#include "host/files.h"
#include "host/registry.h"
#include "host/version_info.h"
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
  ListFill fill(list);   // drawn a few times a second, not for every row
  list.ClearRows();
  const Text catalogKey = kCatalogKey;
  const Text prefix = RootName(kLocalMachine) + "\\" + catalogKey + "\\";
  TextList catalogs;
  ListPresentSubkeys(kLocalMachine, catalogKey, catalogs);
  for (const Text& catalog : catalogs) {
    TextList entries;
    ListPresentSubkeys(kLocalMachine, catalogKey + "\\" + catalog, entries);
    ProcessPendingEvents();
    for (const Text& entry : entries) {
      ProcessPendingEvents();
      const Text entryKey = catalogKey + "\\" + catalog + "\\" + entry;
      const Text path =
          ResolveProviderPath(ProviderPath(ReadRegistryBytes(kLocalMachine, entryKey + "\\PackedCatalogItem")));
      const Text description = GetFileDescription(path);
      const int row = list.InsertRow();
      list.SetCellText(row, 0, entry);
      list.SetCellText(row, 1, description);
      list.SetCellText(row, 2, path);
      list.SetCellText(row, 3, prefix + catalog + "\\" + entry);
    }
  }
}
