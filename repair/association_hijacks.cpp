#include "repair/association_hijacks.h"

#include "host/registry.h"
#include "host/registry_presence.h"
#include "repair/browser_commands.h"
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

// The open command each program class has on every Windows from 2000 to 7
// (compared without case); a class no Windows has (nullptr) is foreign
// wherever it exists. Rogue anti-virus programs wrap these in their own.
struct ClassCommand {
  const char* name;
  const char* command;
};
const ClassCommand kProgramClassCommands[] = {
    {"comfile", "\"%1\" %*"}, {"batfile", "\"%1\" %*"}, {"cmdfile", "\"%1\" %*"},
    {"piffile", "\"%1\" %*"}, {"scrfile", "\"%1\" /S"}, {"secfile", nullptr},
};

Text OpenCommandKey(const ClassCommand& programClass) { return programClass.name + Text("\\shell\\open\\command"); }

// A missing command is no finding: a Windows without the class has nothing
// to put back.
bool CommandReplaced(const ClassCommand& programClass) {
  const Text key = OpenCommandKey(programClass);
  return RegistryValuePresent(kClassesRoot, key, Text()) &&
         ToLowerCase(ReadRegistryText(kClassesRoot, key + "\\")) != ToLowerCase(programClass.command);
}

bool ForeignClass(const ClassCommand& programClass) {
  return programClass.command == nullptr && RegistryKeyPresent(kClassesRoot, programClass.name);
}

}  // namespace

void CheckProgramClassCommands(std::vector<RestrictionRow>& rows) {
  for (const ClassCommand& programClass : kProgramClassCommands) {
    if (ForeignClass(programClass)) {
      rows.push_back({"不属于Windows的程序类 " + Text(programClass.name), programClass.name});
    } else if (programClass.command != nullptr && CommandReplaced(programClass)) {
      rows.push_back({"程序的打开命令被修改 " + Text(programClass.name), OpenCommandKey(programClass)});
    }
  }
}

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
  for (const ClassCommand& programClass : kProgramClassCommands) {
    items.push_back(programClass.command != nullptr ? ValueBackup(kClassesRoot, OpenCommandKey(programClass), Text())
                                                    : TreeBackup(kClassesRoot, programClass.name));
  }
  return items;
}

namespace {

const char kWinlogonKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

}  // namespace

void RepairProgramClassCommands() {
  for (const ClassCommand& programClass : kProgramClassCommands) {
    if (ForeignClass(programClass)) DeleteRegistryTree(kClassesRoot, programClass.name);
    if (programClass.command != nullptr && CommandReplaced(programClass)) {
      WriteRegistryValue(kClassesRoot, OpenCommandKey(programClass) + "\\", programClass.command);
    }
  }
}

void RepairInfectionPlaces() {
  const Text shell = Text(kWinlogonKey) + "\\Shell";
  if (ToLowerCase(ReadRegistryText(kLocalMachine, shell)) != "explorer.exe") {
    WriteRegistryValue(kLocalMachine, shell, "Explorer.exe");
  }
  RepairAssociationHijacks();
  RepairInfectionChecks();
  RepairProgramClassCommands();
  RepairBrowserCommands();
}

std::vector<RegistryBackupItem> InfectionPlaceBackupItems() {
  std::vector<RegistryBackupItem> items{ValueBackup(kLocalMachine, kWinlogonKey, "Shell")};
  for (const RegistryBackupItem& item : AssociationHijackBackupItems()) items.push_back(item);
  for (const RegistryBackupItem& item : InfectionCheckBackupItems()) items.push_back(item);
  for (const RegistryBackupItem& item : BrowserCommandBackupItems()) items.push_back(item);
  return items;
}
