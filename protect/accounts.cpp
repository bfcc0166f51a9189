#include "protect/accounts.h"

#include "ui/prompts.h"
#include "ui/row_sink.h"
#include "host/backup.h"
#include "host/registry.h"
#include "host/registry_security.h"
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

// Opened to Administrators (who run this) and the system, never to everyone.
const char kOpenCodes[] = " [1 17]";
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

// Closes the SAM keys again on every way out of the scope that opened
// them: returns, failures and exceptions alike.
class SamClosing {
 public:
  SamClosing() = default;
  ~SamClosing() { RunAccessScript(SamCloseScript()); }
  SamClosing(const SamClosing&) = delete;
  SamClosing& operator=(const SamClosing&) = delete;
};

}  // namespace

Text SamOpenScript() { return SamScript(kOpenCodes); }

Text SamOpenScriptForAccount(const Text& name) {
  return SamOpenScript() + "\r\nHKEY_LOCAL_MACHINE\\" + kAccountNamesKey + "\\" + name + kOpenCodes;
}

Text SamCloseScript() { return SamScript(kCloseCodes); }

void ShowAccounts(ResultList& list) {
  const SamClosing closing;
  RunAccessScript(SamOpenScript());
  TextList names;
  ListSubkeys(kLocalMachine, kAccountNamesKey, names);
  RowSink rows(list);
  for (const Text& name : names) rows.Add({name, "成功"});
}

namespace {

// The name key of one account, opened for the step and deleted.
void DeleteAccountKey(const Text& name) {
  if (name.find_first_of("\r\n") == Text::npos) {
    RunAccessScript(SamOpenScriptForAccount(name));
  } else {
    // A name is text whoever made the account chose; with a line break in it,
    // the script would take what follows for a key and an access list of its
    // own. That key's list is replaced by its path instead.
    RunAccessScript(SamOpenScript());
    const Text key = "HKEY_LOCAL_MACHINE\\" + Text(kAccountNamesKey) + "\\" + name;
    BackUpAccessLists("access-change", {key});
    ReplaceKeyAccessList(key, {{KeyTrustee::Administrators, kKeyAccessFullControl, true},
                               {KeyTrustee::LocalSystem, kKeyAccessFullControl, true}});
  }
  // Read now that the keys are open to us.
  BackUpRegistry("account-remove", {TreeBackup(kLocalMachine, Text(kAccountNamesKey) + "\\" + name)});
  DeleteRegistryItem(kLocalMachine, Text(kAccountNamesKey) + "\\" + name);
}

}  // namespace

void DeleteAccount(ResultList& list) {
  const Text name = list.GetCellText(list.CurrentRow(), 0);
  if (name.empty()) return;
  if (ShowMessageBox("是否删除\r\n" + name, kYesNoInformation, "Windows") != kResultYes) return;
  {
    const SamClosing closing;
    DeleteAccountKey(name);
  }
  ShowAccounts(list);
}
