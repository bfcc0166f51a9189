// The file behind stored command lines, in every form Windows reads, in
// both registry views: real files in the prefix's folders.
#include "host/command_file.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "host/files.h"
#include "host/native_view.h"
#include "scan/registry_scratch.h"
#include "support/fixtures.h"

namespace {

// Files the test puts in place and removes (with the real System folder
// in view, as the product probes it).
class PlacedFiles {
 public:
  ~PlacedFiles() {
    const NativeFileView nativeFiles;
    for (auto path = paths_.rbegin(); path != paths_.rend(); ++path) {
      if (!DeleteFileA(path->c_str())) RemoveDirectoryA(path->c_str());
    }
  }
  void Folder(const Text& path) {
    const NativeFileView nativeFiles;
    CreateDirectoryA(path.c_str(), nullptr);
    paths_.push_back(path);
  }
  void File(const Text& path, const Text& from) {
    const NativeFileView nativeFiles;
    ASSERT_TRUE(CopyFileA(from.c_str(), path.c_str(), FALSE)) << path;
    paths_.push_back(path);
  }

 private:
  std::vector<Text> paths_;
};

struct Case {
  RegistryView view;
  Text commandLine;
  Text path;   // lower-cased; "" for none
  bool found;
};

TEST(CommandFileTest, TheFileWindowsWouldRun) {
  const Text windows = GetSpecialFolder(kFolderWindows), system = GetSpecialFolder(kFolderSystem);
  const bool wow = OnSixtyFourBitWindows();
  const Text wowSystem = wow ? windows + "SysWOW64\\" : system;
  const Text folder = "C:\\veltro cmd\\";
  PlacedFiles files;
  files.Folder("C:\\veltro cmd");
  files.File(folder + "a b.exe", fixture::kComponentExe);
  files.File(folder + "lib.dll", fixture::kEnglishDll);
  files.File(folder + "veltro.sys", fixture::kEnglishDll);
  files.File(system + "veltro_cmd.exe", fixture::kComponentExe);
  files.File(system + "veltro_cmd.dll", fixture::kEnglishDll);
  files.File(system + "drivers\\veltro_cmd.sys", fixture::kEnglishDll);
  if (wow) files.File(wowSystem + "veltro_cmd.exe", fixture::kComponentExe);
  files.File(windows + "veltro_win.exe", fixture::kComponentExe);
  RegistryScratch registry;
  const Text appPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
  registry.Key(HKEY_LOCAL_MACHINE, appPaths + "veltro_app.exe");
  registry.String(HKEY_LOCAL_MACHINE, appPaths + "veltro_app.exe", "", "\"" + folder + "a b.exe\"");
  if (wow) {
    const Text copy = "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
    registry.Key(HKEY_LOCAL_MACHINE, copy + "veltro_app32.exe");
    registry.String(HKEY_LOCAL_MACHINE, copy + "veltro_app32.exe", "", folder + "lib.dll");
  }

  const RegistryView native = RegistryView::Native, thirtyTwo = RegistryView::ThirtyTwoBit;
  const Text ab = ToLowerCase(folder + "a b.exe"), lib = ToLowerCase(folder + "lib.dll");
  const Text cmdExe = ToLowerCase(system + "veltro_cmd.exe"), wowCmdExe = ToLowerCase(wowSystem + "veltro_cmd.exe");
  std::vector<Case> cases = {
      {native, "\"" + folder + "a b.exe\" /c", ab, true},
      {native, folder + "a b.exe /nosplash /minimized", ab, true},
      {native, folder + "a b /x", ab, true},   // ".exe" added as CreateProcess does
      {native, "  " + folder + "a b.exe  ", ab, true},
      {native, "%SystemRoot%\\veltro_win.exe -k", ToLowerCase(windows + "veltro_win.exe"), true},
      {native, "veltro_cmd.exe", cmdExe, true},
      {native, "veltro_cmd /background", cmdExe, true},
      {native, "veltro_win.exe", ToLowerCase(windows + "veltro_win.exe"), true},
      {native, "veltro_app.exe", ab, true},
      {native, "veltro_app", ab, true},
      {native, "rundll32.exe \"" + folder + "lib.dll\",Start", lib, true},
      {native, "rundll32 veltro_cmd.dll,Entry 1", ToLowerCase(system + "veltro_cmd.dll"), true},
      {native, "%SystemRoot%\\system32\\rundll32.exe veltro_cmd,Entry", ToLowerCase(system + "veltro_cmd.dll"), true},
      {native, "regsvr32 /s /i \"" + folder + "lib.dll\"", lib, true},
      {native, "Explorer.exe \"" + folder + "a b.exe\"", ab, true},
      {native, "explorer.exe c:\\veltro-nowhere\\x.exe", "c:\\veltro-nowhere\\x.exe", false},
      {native, "\\SystemRoot\\System32\\drivers\\veltro_cmd.sys", ToLowerCase(system + "drivers\\veltro_cmd.sys"), true},
      {native, "System32\\drivers\\veltro_cmd.sys", ToLowerCase(system + "drivers\\veltro_cmd.sys"), true},
      {native, "\\??\\" + folder + "veltro.sys", ToLowerCase(folder + "veltro.sys"), true},
      // Nothing there: where Windows would have looked first.
      {native, "c:\\veltro-nowhere\\x.exe /a", "c:\\veltro-nowhere\\x.exe", false},
      {native, "veltro_absent.exe", ToLowerCase(system + "veltro_absent.exe"), false},
      {native, "rundll32.exe c:\\veltro-nowhere\\y.dll,Start", "c:\\veltro-nowhere\\y.dll", false},
      {native, "\"C:\\veltro cmd\"", "c:\\veltro cmd", false},   // a folder is no program
      {native, "", "", false},
      {native, "   ", "", false},
      // The 32-bit view's System folder is SysWOW64, its App Paths the copy.
      {thirtyTwo, "veltro_cmd.exe", wowCmdExe, true},
      {thirtyTwo, "%SystemRoot%\\system32\\veltro_cmd.exe /x", wowCmdExe, true},
      {thirtyTwo, folder + "a b.exe /x", ab, true},
  };
  if (wow) cases.push_back({thirtyTwo, "veltro_app32.exe", lib, true});
  for (const Case& c : cases) {
    const CommandFile file = ResolveCommandFile(c.view, c.commandLine);
    EXPECT_EQ(ToLowerCase(file.path), c.path) << c.commandLine;
    EXPECT_EQ(file.found, c.found) << c.commandLine;
  }

  // Values that name several files: judged by a stranger's file if any.
  const Case listed[] = {
      {native, "Explorer.exe c:\\veltro-nowhere\\x.exe", "c:\\veltro-nowhere\\x.exe", false},
      {native, "veltro_win.exe,\"" + folder + "a b.exe\"", ab, true},
      {native, "veltro_cmd.dll  veltro_win.exe", ToLowerCase(system + "veltro_cmd.dll"), true},
      {thirtyTwo, "%SystemRoot%\\system32\\veltro_cmd.exe", wowCmdExe, true},
      {native, " , ", "", false},
  };
  for (const Case& c : listed) {
    const CommandFile file = ResolveListedFiles(c.view, c.commandLine);
    EXPECT_EQ(ToLowerCase(file.path), c.path) << c.commandLine;
    EXPECT_EQ(file.found, c.found) << c.commandLine;
  }
}

bool MakeShortcut(const Text& shortcut, const Text& target) {
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  IPersistFile* file = nullptr;
  bool saved = false;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link)))) {
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, shortcut.c_str(), -1, wide, MAX_PATH);
    saved = SUCCEEDED(link->SetPath(target.c_str())) &&
            SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
            SUCCEEDED(file->Save(wide, TRUE));
    if (file != nullptr) file->Release();
    link->Release();
  }
  CoUninitialize();
  return saved;
}

// A shortcut in the Startup folder stands for its target; other files and
// a shortcut that cannot be read for themselves.
TEST(CommandFileTest, AShortcutIsItsTarget) {
  const Text folder = GetSpecialFolder(kFolderTemp);
  const Text target = folder + "veltro-target.exe", shortcut = folder + "veltro-target.lnk";
  const Text broken = folder + "veltro-broken.lnk";
  PlacedFiles files;
  files.File(target, fixture::kComponentExe);
  files.File(broken, fixture::kEnglishDll);
  ASSERT_TRUE(MakeShortcut(shortcut, target));
  const CommandFile followed = ResolveStartupFolderFile(shortcut);
  EXPECT_EQ(ToLowerCase(followed.path), ToLowerCase(target));
  EXPECT_TRUE(followed.found);
  EXPECT_EQ(ResolveStartupFolderFile(target).path, target);
  EXPECT_EQ(ResolveStartupFolderFile(broken).path, broken);
  DeleteFileA(shortcut.c_str());
}

}  // namespace
