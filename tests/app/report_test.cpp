// The report: what a helper reads of a damaged machine, saved from the
// window or written by "Veltro.exe /report FILE"; and the lists' copying.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/main_window.h"
#include "app/report.h"
#include "app/report_actions.h"
#include "host/backup.h"
#include "host/files.h"
#include "support/dialog_answerer.h"
#include "support/hostile_seed.h"
#include "support/main_window_fixture.h"
#include "support/time_limits.h"
#include "sysfiles/text_file_pages.h"

using hostile::Terminated;

namespace {

Text ReadWhole(const Text& path) {
  Text bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

// A folder of the test's own, removed with what is in it.
class TestFolder {
 public:
  TestFolder() : path_(GetSpecialFolder(kFolderTemp) + "vt report test\\") {
    Clear();
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TestFolder() {
    Clear();
    RemoveDirectoryA(path_.c_str());
  }
  const Text& Path() const { return path_; }
  // The names of the files in it.
  std::vector<Text> Files() const {
    std::vector<Text> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path_ + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
  }

 private:
  void Clear() const {
    for (const Text& name : Files()) DeleteFileA((path_ + name).c_str());
  }
  Text path_;
};

// The folder of Veltro.exe, beside the tests' folder.
Text ProgramFolder() {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  Text folder = self;
  folder = folder.substr(0, folder.rfind('\\'));
  return folder.substr(0, folder.rfind('\\') + 1);
}

// Runs Veltro.exe with the arguments; its exit code.
DWORD RunVeltro(const Text& arguments) {
  std::string command = "\"" + ProgramFolder() + "Veltro.exe\" " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return 0xDEAD;
  }
  DWORD code = 0xDEAD;
  if (WaitForSingleObject(process.hProcess, TimeLimit(180000)) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &code);
  } else {
    TerminateProcess(process.hProcess, 0xDEAD);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

// The report's pages: caption ("注册表修复 > 修复功能") to the lines under it.
std::map<Text, std::vector<Text>> Pages(const Text& report) {
  std::map<Text, std::vector<Text>> pages;
  std::vector<Text>* current = nullptr;
  std::size_t start = 0;
  while (start < report.size()) {
    std::size_t end = report.find("\r\n", start);
    if (end == Text::npos) end = report.size();
    const Text line = report.substr(start, end - start);
    const std::size_t close = line.find(" ===", 4);
    if (line.compare(0, 4, "=== ") == 0 && close != Text::npos) {
      // The caption, then what is said of the whole page (the count).
      current = &pages[line.substr(4, close - 4)];
      current->push_back(line.substr(close + 4));
    } else if (current != nullptr) {
      current->push_back(line);
    }
    start = end + 2;
  }
  return pages;
}

// The report without the lines that differ between two reports of one
// machine: the time, and where backups go (none for /report).
Text WithoutRunLines(const Text& report) {
  Text kept;
  std::size_t start = 0;
  while (start < report.size()) {
    std::size_t end = report.find("\r\n", start);
    end = end == Text::npos ? report.size() : end + 2;
    const Text line = report.substr(start, end - start);
    if (line.compare(0, 6, "时间：") != 0 && line.compare(0, 6, "备份：") != 0) kept += line;
    start = end;
  }
  return kept;
}

struct Expected {
  const char* page;
  Text first, second;   // both on one line of that page, in this order
};

bool HasLine(const std::vector<Text>& lines, const Expected& expected) {
  for (const Text& line : lines) {
    const std::size_t first = line.find(expected.first);
    if (first != Text::npos && line.find(expected.second, first + expected.first.size()) != Text::npos) return true;
  }
  return false;
}

const char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kHooks[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ShellExecuteHooks";
const char kToolbar[] = "SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar";
const char kOptions[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\vt report.exe";
const char kCatalog[] = "SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9\\vt catalog";
const char kService[] = "SYSTEM\\CurrentControlSet\\Services\\vt report svc";
const char kPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const char kNames[] = "SAM\\SAM\\Domains\\Account\\Users\\Names";
// A command whose characters end in the backslash byte, as malware names them.
const Text kCommand = "C:\\vt\\" + hostile::kTrailBackslash + "\\run.exe";

void SeedMachine(hostile::Seed& seed, const Text& startup) {
  ASSERT_TRUE(seed.String(HKEY_CURRENT_USER, kRun, "vt report run", kCommand));
  ASSERT_TRUE(seed.String(HKEY_LOCAL_MACHINE, kHooks, "{0000AAAA-0000-0000-0000-00000000AAAA}", "vt hook"));
  ASSERT_TRUE(seed.String(HKEY_LOCAL_MACHINE, kToolbar, "{0000CCCC-0000-0000-0000-00000000CCCC}", "vt bar"));
  ASSERT_TRUE(seed.String(HKEY_LOCAL_MACHINE, kOptions, "Debugger", "C:\\vt\\debugger.exe"));
  ASSERT_TRUE(seed.Value(HKEY_LOCAL_MACHINE, Text(kCatalog) + "\\entry 0", "PackedCatalogItem", REG_SZ,
                         Terminated("C:\\vt\\provider.dll")));
  ASSERT_TRUE(seed.String(HKEY_LOCAL_MACHINE, kService, "ImagePath", "C:\\vt\\service.exe"));
  ASSERT_TRUE(seed.String(HKEY_LOCAL_MACHINE, kService, "DisplayName", "vt 报告服务"));
  ASSERT_TRUE(seed.Value(HKEY_LOCAL_MACHINE, kService, "Start", REG_DWORD, hostile::Dword(2)));
  ASSERT_TRUE(seed.Value(HKEY_CURRENT_USER, kPolicies, "NoRun", REG_DWORD, hostile::Dword(1)));
  for (const char* key : {"SAM", "SAM\\SAM", "SAM\\SAM\\Domains", "SAM\\SAM\\Domains\\Account",
                          "SAM\\SAM\\Domains\\Account\\Users"}) {
    seed.KeepAccess(HKEY_LOCAL_MACHINE, key);
  }
  ASSERT_TRUE(seed.Key(HKEY_LOCAL_MACHINE, kNames));
  seed.KeepAccess(HKEY_LOCAL_MACHINE, kNames);
  ASSERT_TRUE(seed.Key(HKEY_LOCAL_MACHINE, Text(kNames) + "\\vt;clone$"));
  ASSERT_TRUE(seed.File(startup + "vt report.exe", hostile::Bytes("MZ")));
  ASSERT_TRUE(seed.OverrideFile(TextFilePagePath(TextFilePage::WinIni),
                                hostile::Bytes("[windows]\r\nload=C:\\vt\\winini.exe\r\n")));
  ASSERT_TRUE(seed.OverrideFile(TextFilePagePath(TextFilePage::Hosts),
                                hostile::Bytes("# comment\r\n\r\n127.0.0.1       localhost\r\n::1 localhost\r\n"
                                               "10.6.6.6\tbank.example.com # redirected\r\n")));
}

// Every seeded entry is on its page; the window's save dialog, answered as
// a user would, writes what /report writes.
TEST(Report, OfADamagedMachineHoldsEveryEntryOnItsPageAndTheDialogWritesWhatReportDoes) {
  const Text startup = GetSpecialFolder(kFolderStartup);
  ASSERT_FALSE(startup.empty());
  hostile::Seed seed;
  SeedMachine(seed, startup);
  if (HasFatalFailure()) return;
  TestFolder folder;

  const Text byCommand = folder.Path() + "by command.txt";
  const bool backupsBefore = FileExists(ProgramFolder() + "VeltroBackup");
  ASSERT_EQ(RunVeltro("/report \"" + byCommand + "\""), 0u);
  EXPECT_EQ(FileExists(ProgramFolder() + "VeltroBackup"), backupsBefore);
  const Text report = ReadWhole(byCommand);
  ASSERT_FALSE(report.empty());
  // VELTRO_REPORT_SAMPLE=FILE keeps a copy: the documentation's sample report.
  if (const char* sample = std::getenv("VELTRO_REPORT_SAMPLE")) CopyFileA(byCommand.c_str(), sample, FALSE);

  const Expected expected[] = {
      {"注册表修复 > 修复功能", "", "Policies\\Explorer\\NoRun"},
      {"注册表修复 > 免疫功能", "", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"},
      {"注册表修复 > 高级功能", "", "vt;clone$"},
      {"启动项目 > 注册表", kCommand + "\t", "\tHKEY_CURRENT_USER\\" + Text(kRun) + "\\vt report run"},
      {"启动项目 > 文件夹", startup + "vt report.exe", ""},
      {"启动项目 > win.ini", "load=C:\\vt\\winini.exe", ""},
      {"启动项目 > 服务", "vt 报告服务\t", "\tC:\\vt\\service.exe\t自动\tvt report svc"},
      {"HOSTS文件", "10.6.6.6\tbank.example.com # redirected", ""},
      {"浏览器加载", "", "\tHKEY_LOCAL_MACHINE\\" + Text(kToolbar) + "\\{0000CCCC-0000-0000-0000-00000000CCCC}"},
      {"Winsock 供应者", "entry 0\t", "\tHKEY_LOCAL_MACHINE\\" + Text(kCatalog) + "\\entry 0"},
      {"映像劫持", "C:\\vt\\debugger.exe", "\tHKEY_LOCAL_MACHINE\\" + Text(kOptions) + "\\Debugger"},
      {"资源管理", "", "\tHKEY_LOCAL_MACHINE\\" + Text(kHooks) + "\\{0000AAAA-0000-0000-0000-00000000AAAA}"},
  };
  const auto pages = Pages(report);
  for (const Expected& entry : expected) {
    const auto page = pages.find(entry.page);
    ASSERT_NE(page, pages.end()) << "no page " << entry.page;
    EXPECT_TRUE(HasLine(page->second, entry)) << entry.page << " lacks " << entry.first << " ... " << entry.second;
  }
  // Of hosts only the mapping; the comment, the blank and the two loopback
  // lines are counted.
  const auto& hosts = pages.at("HOSTS文件");
  EXPECT_NE(hosts.at(0).find("1 行映射名称；其余 4 行"), Text::npos) << hosts.at(0);
  EXPECT_EQ(hosts.size(), 3u);   // the count, the mapping, the blank line before the next page
  EXPECT_NE(report.find("备份：不做备份"), Text::npos);
  EXPECT_EQ(folder.Files(), std::vector<Text>{"by command.txt"});

  // The same machine in the window, saved from a list's menu.
  MainWindowFixture fixture(/*shown=*/false, MainWindowFixture::StartUpScan::Runs);
  MainControls& c = fixture.Controls();
  ASSERT_TRUE(fixture.PumpUntil([&] { return c.标签13.Caption() == "完毕！"; }, 120000));
  const Text byDialog = folder.Path() + "by dialog.txt";
  {
    DialogAnswerer answerer({{IDOK, byDialog}});
    PostMessageA(fixture.Window(), kRunEventMessage, ListId(6), static_cast<LPARAM>(ControlEvent::ReportAsked));
    fixture.Pump();
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_TRUE(answerer.Seen()[0].hasEdit);
  }
  const Text saved = ReadWhole(byDialog);
  EXPECT_EQ(WithoutRunLines(saved), WithoutRunLines(report));
  EXPECT_NE(saved.find("备份：" + BackupFolderShown()), Text::npos);
  {
    DialogAnswerer answerer({{IDCANCEL, folder.Path() + "cancelled.txt"}});
    PostMessageA(fixture.Window(), kRunEventMessage, ListId(6), static_cast<LPARAM>(ControlEvent::ReportAsked));
    fixture.Pump();
    EXPECT_EQ(answerer.Seen().size(), 1u);
  }
  EXPECT_EQ(folder.Files().size(), 2u);
}

// A report that cannot be written leaves nothing, not even half a file,
// and says so by its exit code; any other argument shows the usage.
TEST(Report, ThatCannotBeWrittenLeavesNothingAndFails) {
  TestFolder folder;
  ASSERT_TRUE(CreateDirectoryA((folder.Path() + "a folder").c_str(), nullptr));
  const Text targets[] = {
      folder.Path() + "no such folder\\report.txt",   // the folder is missing
      folder.Path() + "a folder",                      // the name is a folder's
  };
  for (const Text& target : targets) {
    EXPECT_NE(RunVeltro("/report \"" + target + "\""), 0u) << target;
    EXPECT_TRUE(folder.Files().empty()) << target;
  }
  EXPECT_FALSE(FileExists(folder.Path() + "no such folder"));
  RemoveDirectoryA((folder.Path() + "a folder").c_str());
}

// A thousand services and a hosts file of 4 MB are reported in well under a
// second: the report adds nothing noticeable to the scan.
TEST(Report, OfAThousandServicesAndFourMegabytesOfHostsIsWrittenInUnderASecond) {
  MainWindowFixture fixture;
  MainControls& c = fixture.Controls();
  for (int i = 0; i < 1000; ++i) {
    const int row = c.系统服务列表.InsertRow();
    const Text name = "vt service " + std::to_string(i);
    for (int column = 0; column < 4; ++column) c.系统服务列表.SetCellText(row, column, name + " 服务描述");
    c.系统服务列表.SetCellText(row, 4, name);
  }
  Text hosts;
  std::size_t mappings = 0;
  while (hosts.size() < (4u << 20)) {
    hosts += "# padding that malware adds to hide what follows\r\n\r\n";
    hosts += "10.6.6." + std::to_string(mappings % 250) + "\tvt" + std::to_string(mappings) + ".example.com\r\n";
    ++mappings;
  }
  c.编辑框1.SetContent(hosts);
  ASSERT_EQ(c.编辑框1.Content().size(), hosts.size());
  TestFolder folder;

  // The fastest of three: other work on a shared test machine only slows.
  Text report;
  DWORD elapsed = 0xFFFFFFFF;
  for (int round = 0; round < 3; ++round) {
    const DWORD start = GetTickCount();
    report = ComposeReport(c, ReportBackups::ThisRunsFolder);
    ASSERT_TRUE(WriteReport(folder.Path() + "large.txt", report));
    elapsed = std::min<DWORD>(elapsed, GetTickCount() - start);
  }
  std::printf("report of 1000 services and a %u-byte hosts file: %lu ms\n", static_cast<unsigned>(hosts.size()),
              static_cast<unsigned long>(elapsed));
  EXPECT_LT(elapsed, TimeLimit(1000));
  const auto pages = Pages(report);
  EXPECT_EQ(pages.at("启动项目 > 服务").size(), 1000u + 3u);   // the count, the captions, the rows, a blank
  EXPECT_EQ(pages.at("HOSTS文件").size(), mappings + 2u);
}

TEST(Report, CommandLineIsReportFileWindowOrUsage) {
  using K = CommandLine::Kind;
  const struct {
    const char* arguments;
    K kind;
    const char* file;
  } cases[] = {
      {"", K::Window, ""},
      {"   ", K::Window, ""},
      {"/report C:\\r.txt", K::Report, "C:\\r.txt"},
      {"/REPORT \"C:\\my reports\\r.txt\"", K::Report, "C:\\my reports\\r.txt"},
      {"-report C:/out/r.txt", K::Report, "C:\\out\\r.txt"},
      {"/report", K::Usage, ""},
      {"/report \"\"", K::Usage, ""},
      {"/report a b", K::Usage, ""},
      {"/scan", K::Usage, ""},
      {"C:\\r.txt", K::Usage, ""},
  };
  for (const auto& test : cases) {
    const CommandLine line = ParseCommandLine(test.arguments);
    EXPECT_EQ(line.kind, test.kind) << test.arguments;
    EXPECT_EQ(line.reportFile, test.file) << test.arguments;
  }
}

Text ClipboardText() {
  Text text;
  if (!OpenClipboard(nullptr)) return "(clipboard busy)";
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* chars = static_cast<const char*>(GlobalLock(data))) text = chars;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

void PressWithControl(HWND list, WPARAM key) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  SendMessageA(list, WM_KEYDOWN, key, 0);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
}

// Ctrl+C copies exactly the selected rows, every cell (the zero-width path
// too) tab-separated; Ctrl+A selects all rows only where several may be
// selected.
TEST(Report, ControlCCopiesExactlyTheSelectedRows) {
  MainWindowFixture fixture;
  MainControls& c = fixture.Controls();
  ResultList& startup = c.超级列表框6;
  for (int row = 0; row < 4; ++row) {
    const int added = startup.InsertRow();
    startup.SetCellText(added, 0, "C:\\vt\\" + std::to_string(row) + ".exe");
    // A value may hold line breaks and tabs: they must not make lines or cells.
    startup.SetCellText(added, 1, row == 2 ? "" : "描述" + std::to_string(row) + "\r\n=== 伪造\t");
    startup.SetCellText(added, 2, "HKEY_CURRENT_USER\\Run\\" + hostile::kTrailBackslash + std::to_string(row));
  }
  startup.SelectRow(1);
  startup.SelectRow(2);
  PressWithControl(startup.Handle(), 'C');
  EXPECT_EQ(ClipboardText(),
            "C:\\vt\\1.exe\t描述1  === 伪造 \tHKEY_CURRENT_USER\\Run\\" + hostile::kTrailBackslash + "1\r\n" +
                "C:\\vt\\2.exe\t\tHKEY_CURRENT_USER\\Run\\" + hostile::kTrailBackslash + "2\r\n");

  PressWithControl(startup.Handle(), 'A');
  for (int row = 0; row < 4; ++row) EXPECT_TRUE(startup.IsRowSelected(row)) << row;
  PressWithControl(startup.Handle(), 'C');
  const Text all = ClipboardText();
  EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 4);

  ResultList& single = c.超级列表框5;
  for (int row = 0; row < 3; ++row) single.SetCellText(single.InsertRow(), 0, "vt " + std::to_string(row));
  single.SelectRow(1);
  PressWithControl(single.Handle(), 'A');
  EXPECT_FALSE(single.IsRowSelected(0));
  EXPECT_FALSE(single.IsRowSelected(2));
  PressWithControl(single.Handle(), 'C');
  EXPECT_EQ(ClipboardText(), "vt 1\t\t\t\r\n");

  // Nothing selected: the clipboard keeps what it had.
  single.SelectRow(1, false);
  PressWithControl(single.Handle(), 'C');
  EXPECT_EQ(ClipboardText(), "vt 1\t\t\t\r\n");
}

}  // namespace
