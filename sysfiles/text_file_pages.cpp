#include "sysfiles/text_file_pages.h"

#include "ui/prompts.h"
#include "host/files.h"
#include "sysfiles/text_file.h"

namespace {

enum class Base { WindowsFolder, DriveRoot, SystemFolder };

struct PageFile {
  TextFilePage page;
  Base base;
  const char* name;
};

const PageFile kPageFiles[] = {
    {TextFilePage::WinIni, Base::WindowsFolder, "win.ini"},
    {TextFilePage::SystemIni, Base::WindowsFolder, "system.ini"},
    {TextFilePage::AutoexecBat, Base::DriveRoot, "AUTOEXEC.BAT"},
    {TextFilePage::ConfigSys, Base::WindowsFolder, "Config.sys"},
    {TextFilePage::BootIni, Base::DriveRoot, "boot.ini"},
    {TextFilePage::Hosts, Base::SystemFolder, "drivers\\etc\\hosts"},
};
constexpr std::size_t kPageCount = sizeof(kPageFiles) / sizeof(kPageFiles[0]);

std::size_t IndexOf(TextFilePage page) {
  for (std::size_t i = 0; i < kPageCount; ++i) {
    if (kPageFiles[i].page == page) return i;
  }
  return 0;
}

// "C:\" of "C:\WINDOWS\"; "" for a Windows folder not on a drive letter.
Text DriveRoot(const Text& windowsFolder) {
  if (windowsFolder.size() < 3 || windowsFolder[1] != ':' || windowsFolder[2] != '\\') return Text();
  return LeftBytes(windowsFolder, 3);
}

TextFileState& PageState(TextFilePage page) {
  static TextFileState states[kPageCount];
  return states[IndexOf(page)];
}

// The hosts page reads through one reader that lives as long as the program.
BlockFileReader& SharedHostsReader() {
  static BlockFileReader reader;
  return reader;
}

}  // namespace

Text TextFilePagePath(TextFilePage page) {
  const PageFile& file = kPageFiles[IndexOf(page)];
  Text folder;
  switch (file.base) {
    case Base::WindowsFolder: folder = GetSpecialFolder(kFolderWindows); break;
    case Base::DriveRoot: folder = DriveRoot(GetSpecialFolder(kFolderWindows)); break;
    case Base::SystemFolder: folder = GetSpecialFolder(kFolderSystem); break;
  }
  // Without its folder the name alone would point into the current folder.
  return folder.empty() ? Text() : folder + file.name;
}

void LoadSystemFile(TextFilePage page, EditBox& edit, EditBox* bootTimeout) {
  TextFileState& state = PageState(page);
  if (state.loading) return;
  const Text path = TextFilePagePath(page);
  if (page == TextFilePage::Hosts) {
    LoadTextFile(edit, path, SharedHostsReader(), state);
  } else {
    BlockFileReader reader;
    LoadTextFile(edit, path, reader, state);
  }
  if (page == TextFilePage::BootIni && bootTimeout != nullptr) {
    bootTimeout->SetContent(path.empty() ? Text() : ReadProfileText(path, "boot loader", "timeout"));
  }
}

void SaveSystemFile(TextFilePage page, EditBox& edit) {
  const Text path = TextFilePagePath(page);
  switch (SaveTextFile(edit, path, PageState(page))) {
    case SaveResult::kRefusedLoading:
      ShowMessageBox("文件正在载入，请稍后再保存。", MB_ICONINFORMATION, "Windows");
      break;
    case SaveResult::kRefusedUnfaithful:
      ShowMessageBox("编辑框未能完整显示该文件（含零字节或无法显示的字符，或文件无法读取），"
                     "为防止损坏文件，未保存。",
                     MB_ICONINFORMATION, "Windows");
      break;
    case SaveResult::kNotWritten:
      // Said aloud: a silent failure would let the user take the edits as kept.
      ShowMessageBox("文件未能保存，原文件保持不变。", MB_ICONINFORMATION, "Windows");
      break;
    default:
      break;
  }
}
