#include "app/command_line.h"

#include "ui/prompts.h"

namespace {

// Split as Windows programs split: blanks separate arguments, a pair of
// double quotes keeps blanks inside one (and is taken off).
TextList SplitArguments(const Text& arguments) {
  TextList split;
  Text current;
  bool quoted = false, inArgument = false;
  for (char c : arguments) {
    if (c == '"') {
      quoted = !quoted;
      inArgument = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inArgument) split.push_back(current);
      current.clear();
      inArgument = false;
    } else {
      current += c;
      inArgument = true;
    }
  }
  if (inArgument) split.push_back(current);
  return split;
}

}  // namespace

CommandLine ParseCommandLine(const Text& arguments) {
  CommandLine line;
  const TextList split = SplitArguments(arguments);
  if (split.empty()) return line;
  const Text option = ToLowerCase(split[0]);
  if (split.size() != 2 || (option != "/report" && option != "-report") || split[1].empty()) {
    line.kind = CommandLine::Kind::Usage;
    return line;
  }
  line.kind = CommandLine::Kind::Report;
  line.reportFile = split[1];
  // '/' is never the second byte of a two-byte character.
  for (char& c : line.reportFile) {
    if (c == '/') c = '\\';
  }
  return line;
}

void ShowUsage() {
  ShowMessageBox(
      "用法：\r\n"
      "\r\n"
      "Veltro.exe\r\n"
      "        打开窗口，检查并修复。\r\n"
      "\r\n"
      "Veltro.exe /report 文件名\r\n"
      "        不显示窗口，完整检查一遍，\r\n"
      "        把报告写入该文件后退出。\r\n"
      "        只读取：不修复、不删除、不做备份。\r\n"
      "        文件名含空格时请加引号。\r\n"
      "        写成功时退出码为 0，无法写入时不为 0。",
      MB_ICONINFORMATION, "Veltro");
}
