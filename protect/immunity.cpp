#include "protect/immunity.h"

#include "ui/prompts.h"
#include "host/registry.h"
#include "host/registry_security.h"
#include "protect/access_script.h"

const char kImmunityFailed[] = "失败";

namespace {

bool UnderCurrentUser(const Text& keyPath) {
  RegistryEntry entry;
  return ParseAbsoluteEntry(keyPath, entry) && entry.root == kCurrentUser;
}

}  // namespace

Text RunImmunityScript(ResultList& list, const Text& suffix, const Text& status) {
  if (ShowMessageBox("确认是否继续操作", kYesNo, "Windows") != kResultYes) return Text();

  // Every row takes part, selected or not, whatever its state.
  Text script;
  std::vector<std::size_t> linesOfRow;
  const int rows = list.RowCount();
  for (int row = 0; row < rows; ++row) {
    const Text key = list.GetCellText(row, 0);
    // A key that is missing is created and locked: left absent, it would be
    // the one place malware could still create.
    if (suffix == kImmunitySuffix) EnsureKeyExists(key);
    const bool userKey = suffix == kUnlockSuffix && UnderCurrentUser(key);
    const Text line = key + (userKey ? Text(kUnlockUserSuffix) : suffix);
    script += line;
    linesOfRow.push_back(CountScriptLines(line));
  }

  const std::vector<bool> applied = ApplyAccessScript(script);

  // A row reads as done only when every line it gave was really applied.
  std::size_t line = 0;
  for (int row = 0; row < rows; ++row) {
    bool done = linesOfRow[static_cast<std::size_t>(row)] > 0;
    for (std::size_t i = 0; i < linesOfRow[static_cast<std::size_t>(row)]; ++i, ++line) {
      done = done && line < applied.size() && applied[line];
    }
    list.SetCellText(row, 1, done ? status : Text(kImmunityFailed));
  }
  return script;
}

void ApplyImmunity(ResultList& list) { RunImmunityScript(list, kImmunitySuffix, "OK"); }

void RemoveImmunity(ResultList& list) { RunImmunityScript(list, kUnlockSuffix, "Del"); }

void AddImmunityKey(ResultList& list) {
  Text key;
  if (!ShowInputBox("请输入需要免疫的注册表项", "注册表免疫", Text(), key)) return;
  const int row = list.InsertRow();
  list.SetCellText(row, 0, key);
}

void RemoveImmunityKey(ResultList& list) {
  const int row = list.CurrentRow();
  const Text key = list.GetCellText(row, 0);
  if (key.empty()) return;
  if (ShowMessageBox("是否删除\r\n" + key, kYesNoInformation, "Windows") != kResultYes) return;
  // The prompt lets other events run: remove the row asked about, if it is still there.
  if (list.GetCellText(row, 0) == key) list.DeleteRow(row);
}
