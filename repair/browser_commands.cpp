#include "repair/browser_commands.h"

#include "host/registry.h"
#include "host/registry_presence.h"
#include "host/registry_views.h"

namespace {

const char kBrowsersKey[] = "SOFTWARE\\Clients\\StartMenuInternet";
const char kAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

// The file name (lower case) of the program a command or an icon location
// names: a quoted path, else the text up to its first ".exe", else its first
// word; an icon's ",index" is dropped.
Text ProgramFileName(const Text& command) {
  Text text = TrimSpaces(command);
  if (!text.empty() && text[0] == '"') {
    const std::size_t close = text.find('"', 1);
    text = text.substr(1, close == Text::npos ? Text::npos : close - 1);
  } else {
    const Text lowered = ToLowerCase(text);
    const std::size_t exe = lowered.find(".exe");
    text = exe != Text::npos ? text.substr(0, exe + 4) : text.substr(0, text.find_first_of(" ,"));
  }
  const std::size_t slash = LastBackslash(text);
  return ToLowerCase(slash == Text::npos ? text : text.substr(slash + 1));
}

bool EndsWithExe(const Text& name) {
  return name.size() > 4 && ToLowerCase(name.substr(name.size() - 4)) == ".exe";
}

struct BrowserCommand {
  Text commandKey;   // below HKEY_LOCAL_MACHINE
  Text program;      // the browser's own program file name; "" when unknown
  Text appPathsKey;  // App Paths of the same view
};

// The program a browser's key stands for: its name when that is a program's
// (Internet Explorer's "IEXPLORE.EXE"), else the program of its icon.
Text BrowserProgram(const Text& browserKey, const Text& browserName) {
  if (EndsWithExe(browserName)) return ToLowerCase(browserName);
  const Text icon = ProgramFileName(ReadRegistryText(kLocalMachine, browserKey + "\\DefaultIcon\\"));
  return EndsWithExe(icon) ? icon : Text();
}

// Every command whose program is not the browser's; a browser whose program
// is unknown is not judged.
std::vector<BrowserCommand> ForeignBrowserCommands() {
  std::vector<BrowserCommand> found;
  const std::vector<KeyInView> appPaths = ViewsOfKey(kLocalMachine, kAppPathsKey);
  for (const KeyInView& browsers : ViewsOfKey(kLocalMachine, kBrowsersKey)) {
    if (!RegistryKeyPresent(kLocalMachine, browsers.key)) continue;
    const Text appPathsKey = browsers.view == RegistryView::Native ? appPaths.front().key : appPaths.back().key;
    TextList names;
    ListSubkeys(kLocalMachine, browsers.key, names);
    for (const Text& name : names) {
      const Text browserKey = browsers.key + "\\" + name;
      const Text program = BrowserProgram(browserKey, name);
      if (program.empty() || !RegistryKeyPresent(kLocalMachine, browserKey + "\\shell")) continue;
      TextList verbs;
      ListSubkeys(kLocalMachine, browserKey + "\\shell", verbs);
      for (const Text& verb : verbs) {
        const Text commandKey = browserKey + "\\shell\\" + verb + "\\command";
        if (!RegistryValuePresent(kLocalMachine, commandKey, Text())) continue;
        if (ProgramFileName(ReadRegistryText(kLocalMachine, commandKey + "\\")) == program) continue;
        found.push_back({commandKey, program, appPathsKey + "\\" + program});
      }
    }
  }
  return found;
}

// The browser's own command from App Paths, quoted; "" when not recorded.
Text RecordedCommand(const BrowserCommand& command) {
  Text path = TrimSpaces(ReadRegistryText(kLocalMachine, command.appPathsKey + "\\"));
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
  if (ProgramFileName(path) != command.program) return Text();
  return "\"" + path + "\"";
}

}  // namespace

void CheckBrowserCommands(std::vector<RestrictionRow>& rows) {
  for (const BrowserCommand& command : ForeignBrowserCommands()) {
    rows.push_back({"浏览器的启动命令被修改 " + command.program, command.commandKey});
  }
}

void RepairBrowserCommands() {
  for (const BrowserCommand& command : ForeignBrowserCommands()) {
    const Text recorded = RecordedCommand(command);
    if (!recorded.empty()) WriteRegistryValue(kLocalMachine, command.commandKey + "\\", recorded);
  }
}

std::vector<RegistryBackupItem> BrowserCommandBackupItems() {
  std::vector<RegistryBackupItem> items;
  for (const BrowserCommand& command : ForeignBrowserCommands()) {
    items.push_back(ValueBackup(kLocalMachine, command.commandKey, Text()));
  }
  return items;
}
