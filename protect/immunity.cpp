#include "protect/immunity.h"

#include "ui/prompts.h"
#include "host/registry.h"
#include "host/registry_presence.h"
#include "host/registry_security.h"
#include "host/registry_views.h"
#include "protect/access_script.h"

const char kImmunityFailed[] = "失败";

namespace {

bool UnderCurrentUser(const Text& keyPath) {
  RegistryEntry entry;
  return ParseAbsoluteEntry(keyPath, entry) && entry.root == kCurrentUser;
}

// The key an absolute path names, below its root; one trailing backslash
// is allowed, as in every key path the user may type.
Text KeyBelowRoot(const RegistryEntry& entry) {
  const Text path = entry.Path();
  return EndsWithBackslash(path) ? path.substr(0, path.size() - 1) : path;
}

bool KeyPresent(const Text& keyPath) {
  RegistryEntry entry;
  return ParseAbsoluteEntry(keyPath, entry) && RegistryKeyPresent(entry.root, KeyBelowRoot(entry));
}

// The key a row names and, on 64-bit Windows, the 32-bit copy Windows keeps
// of it (HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\...): 32-bit programs write
// there, and Windows runs what they write. The row's own text comes first.
TextList KeysOfRow(const Text& rowKey) {
  TextList keys{rowKey};
  RegistryEntry entry;
  if (!ParseAbsoluteEntry(rowKey, entry) || entry.root == 0) return keys;
  const std::vector<KeyInView> views = ViewsOfKey(entry.root, KeyBelowRoot(entry));
  for (std::size_t i = 1; i < views.size(); ++i) keys.push_back(RootName(entry.root) + "\\" + views[i].key);
  return keys;
}

}  // namespace

Text RunImmunityScript(ResultList& list, const Text& suffix, const Text& status) {
  if (ShowMessageBox("确认是否继续操作", kYesNo, "Windows") != kResultYes) return Text();

  // Every row takes part, selected or not, whatever its state.
  const bool locking = suffix == kImmunitySuffix;
  Text script;
  std::vector<std::size_t> linesOfRow;
  const int rows = list.RowCount();
  for (int row = 0; row < rows; ++row) {
    const TextList keys = KeysOfRow(list.GetCellText(row, 0));
    std::size_t lines = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
      const Text& key = keys[i];
      // A key that is missing is created and locked: left absent, it would be
      // the one place malware could still create. A copy that is missing
      // has nothing to unlock.
      if (locking) {
        EnsureKeyExists(key);
      } else if (i > 0 && !KeyPresent(key)) {
        continue;
      }
      const bool userKey = suffix == kUnlockSuffix && UnderCurrentUser(key);
      const Text line = key + (userKey ? Text(kUnlockUserSuffix) : suffix);
      script += line;
      lines += CountScriptLines(line);
    }
    linesOfRow.push_back(lines);
  }

  const std::vector<bool> applied = ApplyAccessScript(script);

  // A row reads as done only when every line it gave, in every view, was
  // really applied.
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
