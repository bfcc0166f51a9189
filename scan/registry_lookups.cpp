#include "scan/registry_lookups.h"

#include "host/display_text.h"
#include "host/registry.h"
#include "host/registry_presence.h"

void ListPresentSubkeys(int root, const Text& keyPath, TextList& names) {
  if (RegistryKeyPresent(root, keyPath)) ListSubkeys(root, keyPath, names);
}

namespace {

Text ClassesKey(RegistryView view) { return view == RegistryView::Native ? "CLSID\\" : "Wow6432Node\\CLSID\\"; }

}  // namespace

Text ClassNameOf(const Text& classId, RegistryView view) {
  return ReadRegistryDisplayText(kClassesRoot, ClassesKey(view) + classId + "\\");
}

Text ClassServerOf(const Text& classId, RegistryView view) {
  return ReadRegistryText(kClassesRoot, ClassesKey(view) + classId + "\\InProcServer32\\");
}

Text ResolveClsidServer(const Text& classId, RegistryView view) {
  return ReadRegistryText(kLocalMachine, "SOFTWARE\\Classes\\" + ClassesKey(view) + classId + "\\InProcServer32\\");
}
