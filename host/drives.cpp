#include "host/drives.h"

#include "host/files.h"

namespace {

bool FloppyLetter(char letter) { return letter == 'A' || letter == 'B'; }

}  // namespace

TextList LocalDriveRoots() {
  QuietDriveErrors quiet;
  TextList roots;
  const DWORD drives = GetLogicalDrives();
  for (int index = 0; index < 26; ++index) {
    if ((drives & (1u << index)) == 0) continue;
    const char letter = static_cast<char>('A' + index);
    const Text root = Text(1, letter) + ":\\";
    const UINT type = GetDriveTypeA(root.c_str());
    if (type == DRIVE_FIXED || (type == DRIVE_REMOVABLE && !FloppyLetter(letter))) roots.push_back(root);
  }
  return roots;
}

TextList ReadProfileKeys(const Text& file, const Text& section) {
  QuietDriveErrors quiet;
  // The key names come back each ended by a zero, the list by a second one;
  // a list that filled the buffer is read again with room to spare.
  for (DWORD size = 4096; size <= (1u << 24); size *= 4) {
    std::string buffer(size, '\0');
    const DWORD length = GetPrivateProfileStringA(section.c_str(), nullptr, "", &buffer[0], size, file.c_str());
    if (length + 2 >= size) continue;
    TextList keys;
    for (std::size_t start = 0; start < length;) {
      const std::size_t end = buffer.find('\0', start);
      if (end == std::string::npos || end == start) break;
      keys.push_back(buffer.substr(start, end - start));
      start = end + 1;
    }
    return keys;
  }
  return {};
}
