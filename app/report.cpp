// The report, composed by walking the window definition: every list and
// text box in the order the window holds them, under its page's caption.
#include "app/report.h"

#include <string_view>

#include "app/report_header.h"
#include "app/row_facts.h"
#include "app/window_definition.h"
#include "host/file_verdicts.h"
#include "host/system_facts.h"
#include "ui/event_pacer.h"
#include "ui/list_copy.h"
#include "ui/prompts.h"

namespace {

const char kCellSeparator[] = "\t";   // cells may hold " | " themselves (a service's files)

// Columns a list fills with the same text on every row, or with a copy of
// another column: they tell a reader nothing.
struct SkippedColumn {
  int listId;
  int column;
};
const SkippedColumn kSkippedColumns[] = {
    {ListId(9), 1},   // the account's "成功", on every row
    {ListId(7), 2},   // the Startup-folder file's path, the same as its name
};

bool Skipped(int listId, int column) {
  for (const SkippedColumn& skipped : kSkippedColumns) {
    if (skipped.listId == listId && skipped.column == column) return true;
  }
  return false;
}

// One line per cell list: the cells kept, joined; empty cells at the end
// are dropped (an empty cell inside keeps its place).
Text JoinedCells(int listId, const TextList& cells) {
  std::size_t last = cells.size();
  while (last > 0 && (cells[last - 1].empty() || Skipped(listId, static_cast<int>(last - 1)))) --last;
  Text line;
  bool first = true;
  for (std::size_t i = 0; i < last; ++i) {
    if (Skipped(listId, static_cast<int>(i))) continue;
    if (!first) line += kCellSeparator;
    line += OneLineCell(cells[i]);
    first = false;
  }
  return line;
}

const ControlDefinition* DefinitionOf(int id) {
  for (const ControlDefinition& control : ControlDefinitions()) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

// "注册表修复 > 免疫功能": the page's caption after its tab control's own page.
Text PageCaption(int tabId, int page) {
  Text caption;
  for (const TabPages& tab : TabPageDefinitions()) {
    if (tab.tabId == tabId && page >= 0 && page < 8 && tab.captions[page] != nullptr) caption = tab.captions[page];
  }
  const ControlDefinition* tab = DefinitionOf(tabId);
  if (tab != nullptr && tab->tabId != 0) return PageCaption(tab->tabId, tab->page) + " > " + caption;
  return caption;
}

void AppendList(Text& report, const ResultList& list, int listId) {
  const int rows = list.RowCount();
  report += "（" + ToText(rows) + " 条）\r\n";
  if (rows == 0) return;
  report += "栏目：" + JoinedCells(listId, RowFactCaptions(listId)) + "\r\n";
  // Through the list copy's source: the same facts a copied row has. Each
  // cell is a message to the list, some tens of microseconds under Wine:
  // thousands of rows take long enough that the window must answer between
  // them, and a refresh run meanwhile may leave the list shorter.
  EventPacer pacer;
  for (int row = 0; row < rows; ++row) {
    pacer.LetEventsThrough();
    if (row >= list.RowCount()) break;
    report += JoinedCells(listId, RowCells(list, row)) + "\r\n";
  }
}

// Calls take(line) for every line of a box's text ("\r\n" between lines);
// a text that ends in "\r\n" opens no empty last line. Views, not copies:
// a hosts file of megabytes has hundreds of thousands of lines.
template <typename Take>
void ForEachLine(const Text& content, Take take) {
  const std::string_view text(content);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    take(text.substr(start, end - start));
    start = end + 2;
  }
}

void AppendTextLines(Text& report, const Text& content) {
  std::size_t count = 0;
  ForEachLine(content, [&](std::string_view) { ++count; });
  report += "（" + ToText(static_cast<long long>(count)) + " 行）\r\n";
  report += content;
  if (content.size() >= 2 && content.compare(content.size() - 2, 2, "\r\n") != 0) report += "\r\n";
  if (content.size() == 1) report += "\r\n";
}

void AppendHosts(Text& report, const Text& content) {
  const HostsMappings hosts = HostsMappingLines(content);
  report += "（" + ToText(static_cast<long long>(hosts.lines.size())) + " 行映射名称；其余 " +
            ToText(static_cast<long long>(hosts.others)) + " 行是注释、空行或本机回环，未列出）\r\n";
  for (const Text& line : hosts.lines) {
    report += line;
    report += "\r\n";
  }
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The next field of a hosts line from position i on ("" at a comment or
// the end); i moves past it.
std::string_view NextField(std::string_view line, std::size_t& i) {
  while (i < line.size() && IsBlank(line[i])) ++i;
  const std::size_t start = i;
  if (i < line.size() && line[i] == '#') return std::string_view();
  while (i < line.size() && !IsBlank(line[i]) && line[i] != '#') ++i;
  return line.substr(start, i - start);
}

bool IsLocalhost(std::string_view name) {
  static const char kLocalhost[] = "localhost";
  if (name.size() != sizeof(kLocalhost) - 1) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if ((name[i] | 0x20) != kLocalhost[i]) return false;
  }
  return true;
}

// Whether a line maps a name: not blank, not a comment, and not one of the
// loopback lines a clean machine has ("127.0.0.1 localhost", "::1 localhost").
bool MapsAName(std::string_view line) {
  std::size_t i = 0;
  const std::string_view address = NextField(line, i);
  if (address.empty()) return false;
  const std::string_view name = NextField(line, i);
  if (name.empty() || !NextField(line, i).empty()) return true;
  return !((address == "127.0.0.1" || address == "::1") && IsLocalhost(name));
}

}  // namespace

HostsMappings HostsMappingLines(const Text& content) {
  HostsMappings hosts;
  ForEachLine(content, [&](std::string_view line) {
    if (MapsAName(line)) {
      hosts.lines.emplace_back(line);
    } else {
      ++hosts.others;
    }
  });
  return hosts;
}

Text ProposedReportName() { return "Veltro-" + LocalTimeStamp().compact + ".txt"; }

Text ComposeReport(MainControls& c, ReportBackups backups) {
  // Who signed each file is otherwise worked out while the window is idle;
  // a report says it for every row. The window answers meanwhile.
  FinishSignatureChecks(ProcessPendingEvents);
  Text report = ReportHeader(backups);
  const HWND hosts = TextFilePageEdit(c, TextFilePage::Hosts).Handle();
  Text lastLabel;
  for (const ControlDefinition& control : ControlDefinitions()) {
    // The about page shows the program, not the machine.
    if (control.tabId == 0 || control.kind == ControlKind::AboutEdit) continue;
    if (control.kind == ControlKind::Label) lastLabel = control.caption;
    const bool list = control.kind == ControlKind::List || control.kind == ControlKind::MultiList;
    if (!list && control.kind != ControlKind::TextEdit && control.kind != ControlKind::ReadOnlyLine) continue;
    const HWND handle = FindControlById(c.window, control.id);
    if (control.kind == ControlKind::ReadOnlyLine) {
      // A one-line box beside its label, on the page just reported.
      report += lastLabel + "：" + EditBox(handle).Content() + "\r\n";
      continue;
    }
    // Not "[...]": the ini files' own section lines look like that.
    report += "\r\n=== " + PageCaption(control.tabId, control.page) + " ===";
    if (list) {
      AppendList(report, ResultList(handle), control.id);
    } else if (handle == hosts) {
      AppendHosts(report, EditBox(handle).Content());
    } else {
      AppendTextLines(report, EditBox(handle).Content());
    }
  }
  return report;
}
