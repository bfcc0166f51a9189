#include "scan/image_hijacks.h"

#include "ui/list_fill.h"
#include "ui/prompts.h"
#include "host/registry.h"
#include "host/version_info.h"
#include "scan/registry_lookups.h"

namespace {

const char kOptionsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\";

}  // namespace

void ScanImageHijacks(ResultList& list) {
  ListFill fill(list);   // drawn a few times a second, not for every row
  list.ClearRows();
  TextList names;
  ListPresentSubkeys(kLocalMachine, kOptionsKey, names);
  const Text prefix = RootName(kLocalMachine) + "\\" + kOptionsKey;
  for (const Text& name : names) {
    ProcessPendingEvents();
    // A Debugger value of any type redirects the start, even an empty one.
    if (!RegistryItemExists(kLocalMachine, kOptionsKey + name + "\\Debugger")) continue;
    const Text path = prefix + name + "\\Debugger";
    const Text debugger = ReadValueByFullPath(path);
    const Text description = GetFileDescription(debugger);
    const int row = list.InsertRow();
    list.SetCellText(row, 0, name);
    list.SetCellText(row, 1, description);
    list.SetCellText(row, 2, debugger);
    list.SetCellText(row, 3, path);
  }
}
