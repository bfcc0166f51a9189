#include "repair/association_hijacks.h"

#include "host/registry.h"
#include "host/registry_presence.h"
#include "repair/restriction_scan.h"

namespace {

// Windows' own classes that start programs: a clean Windows (2000 to 7)
// defines them for the machine only, never under a user's own classes.
const char* const kProgramClasses[] = {".exe", "exefile", "secfile", "comfile", "piffile", "batfile", "cmdfile"};

const char kExeShellKey[] = ".exe\\shell";
const char kUserClasses[] = "Software\\Classes\\";

// The extensions (".xyz") whose class is exefile, other than ".exe" itself.
TextList ExtensionsRunAsPrograms() {
  TextList classes, found;
  ListSubkeys(kClassesRoot, Text(), classes);
  for (const Text& name : classes) {
    if (name.size() < 2 || name[0] != '.' || ToLowerCase(name) == ".exe") continue;
    if (ToLowerCase(ReadRegistryText(kClassesRoot, name + "\\")) == "exefile") found.push_back(name);
  }
  return found;
}

}  // namespace

void CheckAssociationHijacks(std::vector<RestrictionRow>& rows) {
  if (RegistryKeyPresent(kClassesRoot, kExeShellKey)) rows.push_back({"EXE文件关联被劫持", kExeShellKey});
  for (const char* name : kProgramClasses) {
    const Text key = kUserClasses + Text(name);
    if (RegistryKeyPresent(kCurrentUser, key)) rows.push_back({"当前用户的文件关联被修改 " + Text(name), key});
  }
  for (const Text& extension : ExtensionsRunAsPrograms()) {
    rows.push_back({"被关联为程序的文件类型 " + extension, extension});
  }
}

void RepairAssociationHijacks() {
  DeleteRegistryTree(kClassesRoot, kExeShellKey);
  for (const char* name : kProgramClasses) DeleteRegistryTree(kCurrentUser, kUserClasses + Text(name));
  // The mapping goes, the extension's other settings stay.
  for (const Text& extension : ExtensionsRunAsPrograms()) DeleteRegistryValue(kClassesRoot, extension, Text());
}

std::vector<RegistryBackupItem> AssociationHijackBackupItems() {
  std::vector<RegistryBackupItem> items{TreeBackup(kClassesRoot, kExeShellKey)};
  for (const char* name : kProgramClasses) items.push_back(TreeBackup(kCurrentUser, kUserClasses + Text(name)));
  for (const Text& extension : ExtensionsRunAsPrograms()) items.push_back(ValueBackup(kClassesRoot, extension, Text()));
  return items;
}

namespace {

const char kWinlogonKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

}  // namespace

void RepairInfectionPlaces() {
  const Text shell = Text(kWinlogonKey) + "\\Shell";
  if (ToLowerCase(ReadRegistryText(kLocalMachine, shell)) != "explorer.exe") {
    WriteRegistryValue(kLocalMachine, shell, "Explorer.exe");
  }
  RepairAssociationHijacks();
  RepairInfectionChecks();
}

std::vector<RegistryBackupItem> InfectionPlaceBackupItems() {
  std::vector<RegistryBackupItem> items{ValueBackup(kLocalMachine, kWinlogonKey, "Shell")};
  for (const RegistryBackupItem& item : AssociationHijackBackupItems()) items.push_back(item);
  for (const RegistryBackupItem& item : InfectionCheckBackupItems()) items.push_back(item);
  return items;
}
