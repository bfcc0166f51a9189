// Special folders and initialisation-file entries.
#include <windows.h>
#include <shlobj.h>

#include "host/files.h"

namespace {

struct ShellFolder {
  int number;
  int csidl;
};

const ShellFolder kShellFolders[] = {
    {kFolderPersonal, CSIDL_PERSONAL}, {kFolderFavorites, CSIDL_FAVORITES},
    {kFolderDesktop, CSIDL_DESKTOPDIRECTORY}, {kFolderFonts, CSIDL_FONTS},
    {kFolderStartMenu, CSIDL_STARTMENU}, {kFolderPrograms, CSIDL_PROGRAMS},
    {kFolderStartup, CSIDL_STARTUP}, {kFolderAppData, CSIDL_APPDATA},
};

// The folder's path, "" on failure (including a path that did not fit).
Text FetchFolder(int folderNumber) {
  char buffer[MAX_PATH + 1] = {};
  for (const ShellFolder& folder : kShellFolders) {
    if (folder.number == folderNumber) {
      return SHGetSpecialFolderPathA(nullptr, buffer, folder.csidl, FALSE) ? Text(buffer) : Text();
    }
  }
  UINT length = 0;
  switch (folderNumber) {
    case kFolderWindows: length = GetWindowsDirectoryA(buffer, MAX_PATH); break;
    case kFolderSystem: length = GetSystemDirectoryA(buffer, MAX_PATH); break;
    case kFolderTemp: length = GetTempPathA(MAX_PATH, buffer); break;
    default: return Text();
  }
  if (length == 0 || length >= MAX_PATH) return Text();
  return Text(buffer, length);
}

// Leading spaces and control characters do not count.
Text SkipLeadingBlanks(const Text& text) {
  std::size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= 0x20) ++i;
  return text.substr(i);
}

}  // namespace

Text GetSpecialFolder(int folderNumber) {
  Text path = FetchFolder(folderNumber);
  if (!path.empty() && !EndsWithBackslash(path)) path += '\\';
  return path;
}

Text ReadProfileText(const Text& file, const Text& section, const Text& key, const Text& defaultText) {
  const Text fileName = SkipLeadingBlanks(file);
  const Text sectionName = SkipLeadingBlanks(section);
  const Text keyName = SkipLeadingBlanks(key);
  if (fileName.empty() || sectionName.empty() || keyName.empty()) return Text();
  constexpr DWORD kEntryLimit = 10240;
  std::string buffer(kEntryLimit, '\0');
  const DWORD length = GetPrivateProfileStringA(sectionName.c_str(), keyName.c_str(), defaultText.c_str(),
                                                &buffer[0], kEntryLimit, fileName.c_str());
  return Text(buffer.data(), length < kEntryLimit ? length : kEntryLimit - 1).c_str();
}

Text FullFilePath(const Text& path) {
  const bool drive = path.size() >= 3 && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':' &&
                     (path[2] == '\\' || path[2] == '/');
  const bool share = path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
  if (path.empty() || drive || share) return path;
  return GetSpecialFolder(kFolderSystem) + path;
}

Text ExpandEnvironment(const Text& text) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD needed = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (needed == 0) return text;
    // One spare byte: the ANSI function has been known to count one short
    // under double-byte code pages.
    std::string buffer(needed + 1u, '\0');
    const DWORD written = ExpandEnvironmentStringsA(text.c_str(), &buffer[0], needed + 1u);
    if (written == 0) return text;
    if (written <= needed + 1u) return ToText(buffer.c_str());
  }
  return text;
}
