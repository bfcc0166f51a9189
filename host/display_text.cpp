// References to string resources, resolved the way Windows offers where it
// does (looked up at run time), else from the file's string table.
#include <windows.h>

#include <string>

#include "host/display_text.h"
#include "host/files.h"
#include "host/native_view.h"
#include "host/registry.h"
#include "host/registry_paths.h"
#include "host/system_functions.h"
#include "host/wide_text.h"

namespace {

// Windows Vista and later; Windows XP (shlwapi 6).
using LoadMuiStringFunction = LONG(WINAPI*)(HKEY, LPCWSTR, LPWSTR, DWORD, LPDWORD, DWORD, LPCWSTR);
using LoadIndirectStringFunction = HRESULT(WINAPI*)(LPCWSTR, LPWSTR, UINT, void**);

constexpr unsigned kLargestStringId = 0xFFFF;
constexpr DWORD kAsImageResource = 0x20;   // LOAD_LIBRARY_AS_IMAGE_RESOURCE

struct StringReference {
  Text file;              // expanded, and full (FullFilePath)
  bool namedFolder = false;   // the file came with a folder, not as a bare name
  unsigned id = 0;
};

// "@file,-id" (the fallback already cut off). Separators are ASCII below
// 0x40, so no second byte of a GBK character is mistaken for one.
bool ParseReference(const Text& body, StringReference& reference) {
  if (body.size() < 4 || body[0] != '@') return false;
  const std::size_t comma = body.rfind(',');
  if (comma == Text::npos || comma < 2 || body.size() - comma < 3 || body[comma + 1] != '-') return false;
  unsigned id = 0;
  for (std::size_t i = comma + 2; i < body.size(); ++i) {
    if (body[i] < '0' || body[i] > '9') return false;
    id = id * 10 + static_cast<unsigned>(body[i] - '0');
    if (id > kLargestStringId) return false;
  }
  const Text file = ExpandEnvironment(body.substr(1, comma - 1));
  reference.file = FullFilePath(file);
  reference.namedFolder = reference.file == file;
  reference.id = id;
  return true;
}

// Windows' own reading of the value, which also finds the string in the
// language's .mui file beside the file. It would look for a bare file name
// along the search path (beside Veltro first), so only a reference with a
// folder is handed to it.
Text LoadThroughRegistry(int root, const Text& path) {
  static const auto load = SystemFunction<LoadMuiStringFunction>("advapi32.dll", "RegLoadMUIStringW");
  if (load == nullptr) return Text();
  const RegistryEntry location = EntryBelowRoot(root, path);
  ScopedKey key;
  if (OpenRegistryKey(RootKeyFromNumber(root), location.key, KEY_QUERY_VALUE, key) != ERROR_SUCCESS) return Text();
  const std::wstring name = WideText(location.valueName);
  std::wstring buffer(512, L'\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    // One unit kept back, so that the text always ends in a zero.
    const DWORD offered = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    DWORD needed = 0;
    const LONG status = load(key.Get(), name.c_str(), &buffer[0], offered, &needed, 0, nullptr);
    if (status == ERROR_SUCCESS) return NarrowText(buffer.c_str(), -1);
    if (status != ERROR_MORE_DATA || needed <= offered) return Text();
    buffer.assign(needed / sizeof(wchar_t) + 2, L'\0');
  }
  return Text();
}

Text LoadThroughShell(const StringReference& reference) {
  static const auto load = SystemFunction<LoadIndirectStringFunction>("shlwapi.dll", "SHLoadIndirectString");
  if (load == nullptr) return Text();
  const std::wstring source = WideText("@" + reference.file + ",-" + ToText(reference.id));
  std::wstring buffer(4096, L'\0');
  if (FAILED(load(source.c_str(), &buffer[0], static_cast<UINT>(buffer.size() - 1), nullptr))) return Text();
  return NarrowText(buffer.c_str(), -1);
}

}  // namespace

Text LoadFileString(const Text& file, unsigned id) {
  if (id > kLargestStringId) return Text();
  const std::wstring name = WideText(FullFilePath(file));
  if (name.empty()) return Text();
  HMODULE module = nullptr;
  {
    const NativeFileView nativeFiles;   // the file the reference names, not its 32-bit namesake
    // As an image resource (Vista and later) the resource functions also
    // look in the language's .mui file beside it; older systems refuse the
    // flag and take the file as data alone.
    module = LoadLibraryExW(name.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | kAsImageResource);
    if (module == nullptr) module = LoadLibraryExW(name.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  const ScopedLibrary library(module);
  if (module == nullptr) return Text();
  // Strings are kept sixteen to a block: block id / 16 + 1 holds string
  // id % 16, each a count of UTF-16 units followed by the units.
  const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id / 16 + 1), MAKEINTRESOURCEW(6));   // RT_STRING
  if (found == nullptr) return Text();
  const HGLOBAL loaded = LoadResource(module, found);
  const auto* units = static_cast<const WCHAR*>(loaded != nullptr ? LockResource(loaded) : nullptr);
  if (units == nullptr) return Text();
  const std::size_t unitCount = SizeofResource(module, found) / sizeof(WCHAR);
  std::size_t at = 0;
  for (unsigned skipped = 0; skipped < id % 16; ++skipped) {
    if (at >= unitCount) return Text();
    at += 1 + units[at];
  }
  if (at >= unitCount || units[at] > unitCount - at - 1) return Text();
  return NarrowText(units + at + 1, units[at]);
}

Text ReadRegistryDisplayText(int root, const Text& path) {
  const Text stored = ReadRegistryText(root, path);
  if (stored.empty() || stored[0] != '@') return stored;
  // The text after ";" is what to show when the string cannot be loaded.
  const std::size_t semicolon = stored.find(';');
  const Text body = stored.substr(0, semicolon);
  StringReference reference;
  if (ParseReference(body, reference)) {
    Text text;
    if (reference.namedFolder) text = LoadThroughRegistry(root, path);
    if (text.empty()) text = LoadThroughShell(reference);
    if (text.empty()) text = LoadFileString(reference.file, reference.id);
    if (!text.empty()) return text;
  }
  return semicolon == Text::npos ? stored : stored.substr(semicolon + 1);
}
