#include "scan/image_hijacks.h"

#include "host/registry.h"
#include "scan/entry_row.h"
#include "scan/registry_lookups.h"

namespace {

const char kOptionsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options";

void ScanOptionsKey(RowSink& rows, const Text& optionsKey, RegistryView view) {
  TextList names;
  ListPresentSubkeys(kLocalMachine, optionsKey, names);
  const Text prefix = RootName(kLocalMachine) + "\\" + optionsKey + "\\";
  for (const Text& name : names) {
    rows.LetEventsThrough();
    // A Debugger value of any type redirects the start, even an empty one.
    if (!RegistryItemExists(kLocalMachine, optionsKey + "\\" + name + "\\Debugger")) continue;
    const Text path = prefix + name + "\\Debugger";
    const Text debugger = ReadValueByFullPath(path);
    AddEntryRow(rows, FileEntryRow(name, view, debugger, path));
  }
}

}  // namespace

void ScanImageHijacks(ResultList& list) {
  RowSink rows(list);
  if (!rows.Accepting()) return;
  for (const KeyInView& view : ViewsOfKey(kLocalMachine, kOptionsKey)) ScanOptionsKey(rows, view.key, view.view);
}
