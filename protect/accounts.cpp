#include "protect/accounts.h"

#include "app/prompts.h"
#include "host/registry.h"
#include "protect/access_script.h"

const char kAccountNamesKey[] = "SAM\\SAM\\Domains\\Account\\Users\\Names";

namespace {

// From the hive's top down to the Names key.
const char* const kSamKeys[] = {
    "HKEY_LOCAL_MACHINE\\SAM",
    "HKEY_LOCAL_MACHINE\\SAM\\SAM",
    "HKEY_LOCAL_MACHINE\\SAM\\SAM\\Domains",
    "HKEY_LOCAL_MACHINE\\SAM\\SAM\\Domains\\Account",
    "HKEY_LOCAL_MACHINE\\SAM\\SAM\\Domains\\Account\\Users",
    "HKEY_LOCAL_MACHINE\\SAM\\SAM\\Domains\\Account\\Users\\Names",
};

const char kOpenCodes[] = " [10 17 18]";
const char kCloseCodes[] = " [17 18]";

Text SamScript(const char* codes) {
  Text script;
  for (const char* key : kSamKeys) {
    if (!script.empty()) script += "\r\n";
    script += Text(key) + codes;
  }
  return script;
}

void RunAccessScript(const Text& script) {
  // The listing and the deletion tell for themselves whether the keys opened.
  ApplyAccessScript(script);
}

}  // namespace

Text SamOpenScript() { return SamScript(kOpenCodes); }

Text SamOpenScriptForAccount(const Text& name) {
  return SamOpenScript() + "\r\nHKEY_LOCAL_MACHINE\\" + kAccountNamesKey + "\\" + name + kOpenCodes;
}

Text SamCloseScript() { return SamScript(kCloseCodes); }

void ShowAccounts(ResultList& list) {
  RunAccessScript(SamOpenScript());
  TextList names;
  ListSubkeys(kLocalMachine, kAccountNamesKey, names);
  list.ClearRows();
  for (const Text& name : names) {
    const int row = list.InsertRow();
    list.SetCellText(row, 0, name);
    list.SetCellText(row, 1, "成功");
  }
  RunAccessScript(SamCloseScript());
}

void DeleteAccount(ResultList& list) {
  const Text name = list.GetCellText(list.CurrentRow(), 0);
  if (name.empty()) return;
  if (ShowMessageBox("是否删除\r\n" + name, kYesNoInformation, "Windows") != kResultYes) return;
  RunAccessScript(SamOpenScriptForAccount(name));
  DeleteRegistryItem(kLocalMachine, Text(kAccountNamesKey) + "\\" + name);
  RunAccessScript(SamCloseScript());
  ShowAccounts(list);
}
