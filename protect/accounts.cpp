#include "protect/accounts.h"

#include "ui/prompts.h"
#include "ui/row_sink.h"
#include "host/backup.h"
#include "host/registry.h"
#include "host/registry_presence.h"
#include "host/registry_restore_file.h"
#include "host/registry_security.h"

const char kAccountNamesKey[] = "SAM\\SAM\\Domains\\Account\\Users\\Names";
const char kAccountBackupName[] = "account-remove";

namespace {

const char kMachine[] = "HKEY_LOCAL_MACHINE\\";

// From the hive's top down to the Names key.
const char* const kSamKeys[] = {
    "SAM", "SAM\\SAM", "SAM\\SAM\\Domains", "SAM\\SAM\\Domains\\Account", "SAM\\SAM\\Domains\\Account\\Users",
    kAccountNamesKey,
};

// Opened to Administrators (who run this) and the system, never to everyone.
const std::vector<KeyAccessEntry> kOpenAccess = {{KeyTrustee::Administrators, kKeyAccessFullControl, true},
                                                 {KeyTrustee::LocalSystem, kKeyAccessFullControl, true}};

Text NameKey(const Text& name) { return Text(kAccountNamesKey) + "\\" + name; }

TextList SamKeyPaths() {
  TextList paths;
  for (const char* key : kSamKeys) paths.push_back(kMachine + Text(key));
  return paths;
}

// Opens keys for the work of one scope and, on every way out of it, puts
// back exactly the access list each key had: an operation leaves the SAM's
// access lists as it found them. A key whose list cannot be read (a missing
// one among them) is left alone, as nothing could be put back.
class OpenedKeys {
 public:
  explicit OpenedKeys(const TextList& absoluteKeyPaths) {
    for (const Text& path : absoluteKeyPaths) {
      Kept kept{path, ByteString()};
      if (!ReadKeyAccessDescriptor(path, kept.descriptor)) continue;
      kept_.push_back(kept);
      ReplaceKeyAccessList(path, kOpenAccess);
    }
  }
  ~OpenedKeys() {
    for (auto kept = kept_.rbegin(); kept != kept_.rend(); ++kept) {
      WriteKeyAccessDescriptor(kept->path, kept->descriptor);
    }
  }
  OpenedKeys(const OpenedKeys&) = delete;
  OpenedKeys& operator=(const OpenedKeys&) = delete;

 private:
  struct Kept {
    Text path;
    ByteString descriptor;
  };
  std::vector<Kept> kept_;
};

// Where the SAM has no Names key (a system without one, or a test
// machine), there is nothing to list and nothing is created.
TextList AccountNames() {
  TextList names;
  if (!RegistryKeyPresent(kLocalMachine, kAccountNamesKey)) return names;
  const OpenedKeys opened(SamKeyPaths());
  ListSubkeys(kLocalMachine, kAccountNamesKey, names);
  return names;
}

// Said in every account backup: regedit alone cannot import it, since the
// SAM keys are closed to administrators again after each operation.
const wchar_t kRestoreNote[] =
    L"; 这是 Veltro 删除账户名之前的备份。SAM 的注册表项只对系统账户开放，直接双击导入会失败。\r\n"
    L"; 恢复方法：以管理员身份运行 Veltro，在“注册表修复”→“高级功能”页点“恢复用户”，输入本文件的完整路径，\r\n"
    L"; 确认后 Veltro 临时打开 SAM 的注册表项、导入本文件，再把它们的访问列表原样改回。\r\n";

// The account names a restore file brings back, "" for a file that is no
// account backup (it may touch nothing but name keys).
bool NamesInAccountBackup(const Text& file, TextList& names) {
  TextList keys;
  if (!ReadRestoreFileKeys(file, keys) || keys.empty()) return false;
  const Text prefix = ToLowerCase(kMachine + Text(kAccountNamesKey) + "\\");
  names.clear();
  for (const Text& key : keys) {
    if (key.size() <= prefix.size() || ToLowerCase(key.substr(0, prefix.size())) != prefix) return false;
    const Text rest = key.substr(prefix.size());
    const Text name = rest.substr(0, rest.find('\\'));
    if (name.empty()) return false;
    bool known = false;
    for (const Text& listed : names) known = known || listed == name;
    if (!known) names.push_back(name);
  }
  return true;
}

}  // namespace

void ShowAccounts(ResultList& list) {
  const TextList names = AccountNames();
  RowSink rows(list);
  for (const Text& name : names) rows.Add({name, "成功"});
}

void DeleteAccount(ResultList& list) {
  const Text name = list.GetCellText(list.CurrentRow(), 0);
  if (name.empty()) return;
  if (ShowMessageBox("是否删除\r\n" + name, kYesNoInformation, "Windows") != kResultYes) return;
  if (RegistryKeyPresent(kLocalMachine, kAccountNamesKey)) {
    TextList keys = SamKeyPaths();
    keys.push_back(kMachine + NameKey(name));
    const OpenedKeys opened(keys);
    // Read now that the keys are open to us.
    if (BackUpRegistry(kAccountBackupName, {TreeBackup(kLocalMachine, NameKey(name))}, kRestoreNote)) {
      DeleteRegistryItem(kLocalMachine, NameKey(name));
    }
  }
  ShowAccounts(list);
}

void RestoreAccount(ResultList& list) {
  // This run's newest account backup, else the folder the backups go to.
  Text file = LastBackupOf(kAccountBackupName);
  if (file.empty()) file = BackupFolderShown();
  if (!ShowInputBox("请输入要恢复的账户备份文件（*-account-remove.reg）", "恢复用户", file, file)) return;
  TextList names;
  if (!NamesInAccountBackup(file, names)) {
    ShowMessageBox("不是 Veltro 的账户备份文件：\r\n" + file, MB_ICONWARNING, "Windows");
    return;
  }
  Text question = "是否恢复";
  for (const Text& name : names) question += "\r\n" + name;
  if (ShowMessageBox(question, kYesNoInformation, "Windows") != kResultYes) return;
  bool restored = false;
  if (RegistryKeyPresent(kLocalMachine, kAccountNamesKey)) {
    TextList keys = SamKeyPaths();
    std::vector<RegistryBackupItem> items;
    for (const Text& name : names) items.push_back(TreeBackup(kLocalMachine, NameKey(name)));
    const OpenedKeys opened(keys);
    if (!BackUpRegistry("account-restore", items)) return;
    restored = ImportRegistryFile(file);
    for (const Text& name : names) restored = restored && RegistryKeyPresent(kLocalMachine, NameKey(name));
  }
  ShowAccounts(list);
  if (!restored) ShowMessageBox("账户未能恢复：\r\n" + file, MB_ICONWARNING, "Windows");
}
