// Registry values named by absolute textual path
// ("HKEY_LOCAL_MACHINE\SOFTWARE\...").
#include "host/registry.h"
#include "host/registry_paths.h"

Text ReadValueByFullPath(const Text& absolutePath) {
  RegistryEntry entry;
  if (!ParseAbsoluteEntry(absolutePath, entry)) return Text();
  // A text value comes back as it is, whatever number it starts with; a
  // REG_DWORD as its decimal digits when above zero.
  const Text text = ReadRegistryText(entry.root, entry.Path());
  if (!text.empty()) return text;
  const int32_t number = ReadRegistryNumber(entry.root, entry.Path());
  return number > 0 ? ToText(number) : Text();
}

bool DeleteByFullPath(const Text& absolutePath) {
  RegistryEntry entry;
  if (!ParseAbsoluteEntry(absolutePath, entry)) return false;
  return DeleteRegistryItem(entry.root, entry.Path());
}
