#include "ui/save_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

bool AskSavePath(HWND owner, const Text& folder, const Text& proposedName, Text& path) {
  // Long enough for any path the system takes; the proposed name starts it.
  std::vector<char> chosen(32768, '\0');
  proposedName.copy(chosen.data(), std::min(proposedName.size(), chosen.size() - 1));
  static const char kFilter[] = "文本文件 (*.txt)\0*.txt\0所有文件 (*.*)\0*.*\0";
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kFilter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = chosen.data();
  dialog.nMaxFile = static_cast<DWORD>(chosen.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrDefExt = "txt";
  // The current folder stays where it was: nothing else of Veltro's may
  // depend on where the user saved last.
  dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameA(&dialog)) return false;
  path = chosen.data();
  return true;
}
