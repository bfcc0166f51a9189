#include "host/command_file.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include "host/files.h"
#include "host/native_view.h"
#include "host/registry.h"

namespace {

const char kAppPaths[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

// Windows' programs that run what their arguments name: that file is what
// the user has to judge, not the host Windows ships. Explorer opens (runs)
// the file it is given, which is how malware rides on "Explorer.exe x.exe".
enum class Host { None, RunDll, RegSvr, Opener };

struct HostProgram {
  const char* name;
  Host host;
};

const HostProgram kHostPrograms[] = {
    {"rundll32.exe", Host::RunDll},
    {"rundll32", Host::RunDll},
    {"regsvr32.exe", Host::RegSvr},
    {"regsvr32", Host::RegSvr},
    {"explorer.exe", Host::Opener},
    {"explorer", Host::Opener},
};

// A file, not a folder: "C:\Program Files" is no program.
bool IsFile(const Text& path) {
  const NativeFileView nativeFiles;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

Text FileNameOf(const Text& path) {
  const std::size_t slash = LastBackslash(path);
  return slash == Text::npos ? path : path.substr(slash + 1);
}

bool HasExtension(const Text& path) { return FileNameOf(path).find('.') != Text::npos; }

bool HasFolder(const Text& path) { return LastBackslash(path) != Text::npos || path.find(':') != Text::npos; }

bool StartsWithCaseless(const Text& text, const char* head) {
  const Text lowered = ToLowerCase(head);
  return ToLowerCase(text.substr(0, lowered.size())) == lowered;
}

// Kernel forms of driver paths, and paths relative to the Windows folder,
// as the service control manager and the loader read them.
Text WithoutDriverPrefix(const Text& path) {
  const Text windows = GetSpecialFolder(kFolderWindows);   // ends in "\"
  if (StartsWithCaseless(path, "\\??\\")) return path.substr(4);
  if (StartsWithCaseless(path, "\\SystemRoot\\")) return windows + path.substr(12);
  const Text first = path.substr(0, path.find(' '));
  if (!windows.empty() && !first.empty() && first[0] != '\\' && first[0] != '"' &&
      first.find(':') == Text::npos && LastBackslash(first) != Text::npos) {
    return windows + path;   // "System32\drivers\x.sys"
  }
  return path;
}

// The App Paths entry of a bare name in the view's copy of the key.
Text AppPath(RegistryView view, const Text& name) {
  for (const KeyInView& key : ViewsOfKey(kLocalMachine, kAppPaths)) {
    if (key.view != view) continue;
    const Text stored = TrimSpaces(ReadRegistryText(kLocalMachine, key.key + "\\" + name + "\\"));
    if (stored.empty()) return Text();
    Text path = ExpandEnvironment(stored);
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
    return path;
  }
  return Text();
}

// The existing file a name means, trying the suffix Windows adds to a name
// without one; "" when there is none.
Text ExistingWithSuffix(RegistryView view, const Text& name, const char* suffix) {
  const Text path = FileSeenFrom(view, name);
  if (IsFile(path)) return path;
  if (!HasExtension(name) && IsFile(path + suffix)) return path + suffix;
  return Text();
}

// A name with or without folder, searched the way Windows searches a
// program (suffix ".exe") or a library (".dll"): a bare name in the System
// folder, the Windows folder, then App Paths. Never the current folder.
CommandFile Locate(RegistryView view, const Text& name, const char* suffix) {
  if (name.empty()) return {};
  if (HasFolder(name)) {
    const Text found = ExistingWithSuffix(view, name, suffix);
    return found.empty() ? CommandFile{FileSeenFrom(view, name), false} : CommandFile{found, true};
  }
  Text found = ExistingWithSuffix(view, name, suffix);
  if (found.empty()) found = ExistingWithSuffix(view, GetSpecialFolder(kFolderWindows) + name, suffix);
  if (found.empty()) {
    const Text listed = AppPath(view, name);
    if (listed.empty() && !HasExtension(name)) found = AppPath(view, name + suffix);
    else found = listed;
    if (!found.empty() && !IsFile(found)) found.clear();
  }
  return found.empty() ? CommandFile{FileSeenFrom(view, name), false} : CommandFile{found, true};
}

struct SplitCommand {
  CommandFile program;
  Text arguments;
};

// The program and the rest. A quoted program ends at its quote; an
// unquoted one at the first space after which an existing program is
// named, shortest first, as CreateProcess reads "C:\Program Files\a b.exe".
SplitCommand SplitProgram(RegistryView view, const Text& line) {
  if (line[0] == '"') {
    const std::size_t end = line.find('"', 1);
    const Text program = line.substr(1, end == Text::npos ? Text::npos : end - 1);
    return {Locate(view, program, ".exe"), end == Text::npos ? Text() : TrimSpaces(line.substr(end + 1))};
  }
  std::size_t space = line.find(' ');
  while (space != Text::npos) {
    const CommandFile candidate = Locate(view, line.substr(0, space), ".exe");
    if (candidate.found) return {candidate, TrimSpaces(line.substr(space + 1))};
    space = line.find(' ', space + 1);
  }
  const CommandFile whole = Locate(view, line, ".exe");
  if (whole.found) return {whole, Text()};
  // Nothing exists: the first word is what Windows would have tried first.
  space = line.find(' ');
  if (space == Text::npos) return {whole, Text()};
  return {Locate(view, line.substr(0, space), ".exe"), TrimSpaces(line.substr(space + 1))};
}

Host HostOf(const CommandFile& program) {
  const Text name = ToLowerCase(FileNameOf(program.path));
  for (const HostProgram& host : kHostPrograms) {
    if (name == host.name) return host.host;
  }
  return Host::None;
}

// The file named in a host's arguments: rundll32 takes "file,entry",
// regsvr32 and Explorer the first argument that is no "/switch".
Text HostedFile(Host host, const Text& arguments) {
  Text rest = arguments;
  while (host != Host::RunDll && !rest.empty() && (rest[0] == '/' || rest[0] == '-')) {
    const std::size_t space = rest.find(' ');
    rest = space == Text::npos ? Text() : TrimSpaces(rest.substr(space + 1));
  }
  if (rest.empty()) return Text();
  if (rest[0] == '"') {
    const std::size_t end = rest.find('"', 1);
    return rest.substr(1, end == Text::npos ? Text::npos : end - 1);
  }
  const std::size_t end = rest.find_first_of(host == Host::RunDll ? ", " : " ");
  return TrimSpaces(rest.substr(0, end));
}

}  // namespace

CommandFile ResolveCommandFile(RegistryView view, const Text& commandLine) {
  const Text line = TrimSpaces(WithoutDriverPrefix(TrimSpaces(ExpandEnvironment(TrimSpaces(commandLine)))));
  if (line.empty()) return {};
  const SplitCommand split = SplitProgram(view, line);
  const Host host = HostOf(split.program);
  if (host == Host::None) return split.program;
  const Text hosted = HostedFile(host, split.arguments);
  if (hosted.empty()) return split.program;
  return Locate(view, hosted, host == Host::Opener ? ".exe" : ".dll");
}

namespace {

// The path a shortcut stores, without searching for a target that moved
// (that would touch the network and show dialogs).
Text ShortcutTarget(const Text& path) {
  const HRESULT initialised = CoInitialize(nullptr);
  Text target;
  IShellLinkA* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      wchar_t widePath[MAX_PATH] = {};
      char stored[MAX_PATH] = {};
      if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH) > 0 &&
          SUCCEEDED(file->Load(widePath, STGM_READ)) &&
          link->GetPath(stored, MAX_PATH, nullptr, SLGP_RAWPATH) == S_OK) {
        target = ExpandEnvironment(stored);
      }
      file->Release();
    }
    link->Release();
  }
  if (SUCCEEDED(initialised)) CoUninitialize();
  return target;
}

}  // namespace

CommandFile ResolveStartupFolderFile(const Text& path) {
  const std::size_t dot = path.rfind('.');
  if (dot != Text::npos && ToLowerCase(path.substr(dot)) == ".lnk") {
    const Text target = ShortcutTarget(path);
    if (!target.empty()) return {target, IsFile(target)};
  }
  return {path, IsFile(path)};
}

CommandFile ResolveListedFiles(RegistryView view, const Text& text) {
  const Text expanded = ExpandEnvironment(text);
  std::vector<CommandFile> files;
  Text name;
  bool quoted = false;
  for (std::size_t i = 0; i <= expanded.size(); ++i) {
    const char c = i < expanded.size() ? expanded[i] : ' ';
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && (c == ' ' || c == ',')) {
      if (!name.empty()) files.push_back(Locate(view, name, ".exe"));
      name.clear();
    } else {
      name += c;
    }
  }
  if (files.empty()) return {};
  const Text windows = ToLowerCase(GetSpecialFolder(kFolderWindows));
  for (const CommandFile& file : files) {
    if (!file.found || windows.empty() || ToLowerCase(file.path.substr(0, windows.size())) != windows) return file;
  }
  return files.front();
}
