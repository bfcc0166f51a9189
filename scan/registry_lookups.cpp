#include "scan/registry_lookups.h"

#include "host/registry.h"
#include "host/registry_presence.h"

void ListPresentSubkeys(int root, const Text& keyPath, TextList& names) {
  if (RegistryKeyPresent(root, keyPath)) ListSubkeys(root, keyPath, names);
}

Text ClassNameOf(const Text& classId) {
  return ReadRegistryText(kClassesRoot, "CLSID\\" + classId + "\\");
}

Text ClassServerOf(const Text& classId) {
  return ReadRegistryText(kClassesRoot, "CLSID\\" + classId + "\\InProcServer32\\");
}

Text ResolveClsidServer(const Text& classId) {
  return ReadRegistryText(kLocalMachine, "SOFTWARE\\Classes\\CLSID\\" + classId + "\\InProcServer32\\");
}
