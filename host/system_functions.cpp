#include "host/system_functions.h"

#include <string>

FARPROC FindSystemFunction(const char* library, const char* name) {
  HMODULE module = GetModuleHandleA(library);
  if (module == nullptr) {
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::string path = std::string(folder, length) + "\\" + library;
    module = LoadLibraryA(path.c_str());
    if (module == nullptr) return nullptr;
  }
  return GetProcAddress(module, name);
}
