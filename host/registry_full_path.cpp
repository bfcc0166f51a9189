// Registry values named by absolute textual path
// ("HKEY_LOCAL_MACHINE\SOFTWARE\...").
#include "host/registry.h"
#include "host/registry_paths.h"

Text ReadValueByFullPath(const Text& absolutePath) {
  AbsolutePath path;
  if (!SplitAbsolutePath(absolutePath, path)) return Text();
  // A text value comes back as it is, whatever number it starts with; a
  // REG_DWORD as its decimal digits when above zero.
  const Text text = ReadRegistryText(path.root, path.remainder);
  if (!text.empty()) return text;
  const int32_t number = ReadRegistryNumber(path.root, path.remainder);
  return number > 0 ? ToText(number) : Text();
}

bool DeleteByFullPath(const Text& absolutePath) {
  AbsolutePath path;
  if (!SplitAbsolutePath(absolutePath, path)) return false;
  return DeleteRegistryItem(path.root, path.remainder);
}
