// Every change made through the window leaves a backup that undoes it: a
// snapshot of the keys (names, types, data, read wide) or of the file, the
// change as a user makes it, the backup imported with the prefix's own
// regedit (or the file copied back), and the snapshot again: identical.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "../scan/registry_scratch.h"
#include "../sysfiles/file_fixture.h"
#include "app/control_ids.h"
#include "host/backup.h"
#include "host/native_view.h"
#include "host/registry.h"
#include "host/registry_restore_file.h"
#include "scan/services.h"
#include "support/backup_places.h"
#include "support/dialog_answerer.h"
#include "support/hostile_seed.h"
#include "support/main_window_fixture.h"
#include "sysfiles/text_file_pages.h"

namespace {

struct Scope {
  HKEY root;
  std::wstring key;
};

// One sorted line per key and per value below the scope, data in hex.
void Dump(HKEY root, const std::wstring& key, std::vector<std::wstring>& lines, int depth) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return;
  lines.push_back(L"[" + key + L"]");
  std::vector<std::wstring> subkeys;
  wchar_t name[16384];
  std::vector<BYTE> data(1 << 20);
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = 16384, dataLength = static_cast<DWORD>(data.size()), type = 0;
    if (RegEnumValueW(handle, i, name, &nameLength, nullptr, &type, data.data(), &dataLength) != ERROR_SUCCESS) break;
    std::wstring line = key + L" | " + std::wstring(name, nameLength) + L" | " + std::to_wstring(type) + L" |";
    wchar_t hex[4];
    for (DWORD b = 0; b < dataLength; ++b) {
      std::swprintf(hex, 4, L"%02x", data[b]);
      line += hex;
    }
    // Importing a string stored without its terminator gives it one (the
    // way Windows stores a string whose next character is zero); the backup
    // file itself holds the exact bytes (checked on its own).
    const bool text = type == REG_SZ || type == REG_EXPAND_SZ;
    if (text && dataLength % 2 == 0 && (dataLength == 0 || data[dataLength - 2] != 0 || data[dataLength - 1] != 0)) {
      line += L"0000";
    }
    lines.push_back(line);
  }
  for (DWORD i = 0;; ++i) {
    DWORD length = 16384;
    if (RegEnumKeyExW(handle, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subkeys.emplace_back(name, length);
  }
  RegCloseKey(handle);
  if (depth < 16) {
    for (const std::wstring& child : subkeys) Dump(root, key + L"\\" + child, lines, depth + 1);
  }
}

std::vector<std::wstring> Snapshot(const std::vector<Scope>& scopes) {
  std::vector<std::wstring> lines;
  for (const Scope& scope : scopes) Dump(scope.root, scope.key, lines, 0);
  std::sort(lines.begin(), lines.end());
  return lines;
}

// This run's newest backup whose name ends in `ending`.
Text NewestBackup(const Text& ending) {
  const Text folder = BackupRunFolder();
  Text newest;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return Text();
  do {
    const Text name = found.cFileName;
    if (name.size() > ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0 &&
        name > newest) {
      newest = name;
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return newest.empty() ? Text() : folder + newest;
}

// The way a user restores: a double-click, which starts the system's own
// regedit (on 64-bit Windows the 64-bit one, which writes the native view).
// A 32-bit program starting regedit would get the 32-bit one, so a 32-bit
// test on 64-bit Windows goes through the 64-bit command prompt.
void Import(const Text& file) {
  ASSERT_FALSE(file.empty());
  char windows[MAX_PATH] = {};
  ASSERT_NE(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  const bool thirtyTwoBitOnSixtyFour = sizeof(void*) == 4 && OnSixtyFourBitWindows();
  std::string command = thirtyTwoBitOnSixtyFour
                            ? "\"" + Text(windows) + "\\sysnative\\cmd.exe\" /c regedit.exe /s \"" + file + "\""
                            : "\"" + Text(windows) + "\\regedit.exe\" /s \"" + file + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  WaitForSingleObject(process.hProcess, 60000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

// Windows counts a string's terminator that the caller left out when the
// next character in memory happens to be zero; a guard after the data keeps
// every value exactly as given.
void SetWide(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type, const ByteString& data) {
  HKEY handle = nullptr;
  ASSERT_EQ(RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr), 0);
  ByteString guarded = data;
  guarded.insert(guarded.end(), 2, 0xff);
  RegSetValueExW(handle, name.c_str(), 0, type, guarded.data(), static_cast<DWORD>(data.size()));
  RegCloseKey(handle);
}

ByteString Bytes(const char* text, std::size_t size) { return ByteString(text, text + size); }

// Values of every shape a backup must carry byte for byte, names outside
// the code page included.
void SeedOddValues(HKEY root, const std::wstring& key) {
  SetWide(root, key, L"", REG_SZ, Bytes("d\0e\0\0\0", 6));
  SetWide(root, key, L"Veltro\u00e9\u0416\u4e2d", REG_SZ, Bytes("x\0\0\0", 4));
  SetWide(root, key, L"unterminated \"q\" \\", REG_SZ, Bytes("a\0b\0", 4));
  SetWide(root, key, L"odd", REG_BINARY, Bytes("%\0S\0%", 5));
  SetWide(root, key, L"unterminated", REG_EXPAND_SZ, Bytes("%\0S\0%\0", 6));
  SetWide(root, key, L"lines", REG_SZ, Bytes("1\0\r\0\n\0" "2\0\0\0", 10));
  SetWide(root, key, L"multi", REG_MULTI_SZ, Bytes("a\0\0\0b\0\0\0\0\0", 10));
  SetWide(root, key, L"short number", REG_DWORD, Bytes("\x01\x02", 2));
  SetWide(root, key, L"number", REG_DWORD, Bytes("\x78\x56\x34\x12", 4));
  SetWide(root, key, L"qword", REG_QWORD, Bytes("\1\2\3\4\5\6\7\x08", 8));
  SetWide(root, key, L"empty", REG_BINARY, ByteString());
  ByteString large(300);
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<unsigned char>(i * 7);
  SetWide(root, key, L"large", REG_BINARY, large);
  SetWide(root, key, L"custom", 0x1234, Bytes("\xff", 1));
}

const Text kLm = "HKEY_LOCAL_MACHINE\\";
const Text kColumns = "SOFTWARE\\Classes\\Folder\\shellex\\ColumnHandlers";
const Text kCatalog = "SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9";
const Text kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const Text kWindowsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
const Text kMountPoints = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MountPoints2";
const Text kUserClass = "Software\\Classes\\CLSID\\{7E1A5C00-0000-4000-8000-0000000022B1}";

// The bytes of ASCII text in UTF-16LE, as the backup files hold it.
Text Utf16(const Text& text) {
  Text bytes;
  for (char c : text) bytes += Text(1, c) + '\0';
  return bytes;
}

std::wstring Wide(const Text& text) { return std::wstring(text.begin(), text.end()); }   // ASCII paths only

TEST(BackupRoundTripTest, EveryRemovalIsUndoneByItsBackup) {
  struct Case {
    const char* what;
    int refreshButton, deleteButton;
    ResultList MainControls::*list;
    int pathColumn;
    Text path;
    Scope scope;
    void (*seed)(RegistryScratch&);
  };
  const Case cases[] = {
      {"a Run value", 14, 15, &MainControls::超级列表框6, 2, "HKEY_CURRENT_USER\\" + kRun + "\\VeltroBackup",
       {HKEY_CURRENT_USER, Wide(kRun)},
       [](RegistryScratch& s) {
         s.Value(HKEY_CURRENT_USER, kRun, "VeltroBackup", REG_EXPAND_SZ, Bytes("c:\\v.exe /x", 11));
       }},
      {"a shell hook with subkeys", 10, 11, &MainControls::超级列表框4, 3, kLm + kColumns + "\\veltro-backup",
       {HKEY_LOCAL_MACHINE, Wide(kColumns)},
       [](RegistryScratch& s) {
         s.Key(HKEY_LOCAL_MACHINE, kColumns + "\\veltro-backup");
         SeedOddValues(HKEY_LOCAL_MACHINE, Wide(kColumns + "\\veltro-backup"));
         SeedOddValues(HKEY_LOCAL_MACHINE, Wide(kColumns + "\\veltro-backup\\child\\grandchild"));
         s.Key(HKEY_LOCAL_MACHINE, kColumns + "\\veltro-backup\\empty child");
       }},
      // The renumbering: entry 2 goes, entry 3 becomes 2, the count and
      // serial number change.
      {"a Winsock entry", 6, 7, &MainControls::超级列表框2, 3, kLm + kCatalog + "\\Catalog_Entries\\000000000002",
       {HKEY_LOCAL_MACHINE, Wide(kCatalog)},
       [](RegistryScratch& s) {
         for (const char* entry : {"000000000001", "000000000002", "000000000003"}) {
           const Text key = kCatalog + "\\Catalog_Entries\\" + entry;
           s.Key(HKEY_LOCAL_MACHINE, key);
           ByteString item(632, 0);
           const Text dll = Text("%SystemRoot%\\system32\\veltro") + entry + ".dll";
           std::copy(dll.begin(), dll.end(), item.begin());
           s.Value(HKEY_LOCAL_MACHINE, key, "PackedCatalogItem", REG_BINARY, item);
           s.String(HKEY_LOCAL_MACHINE, key, "ProtocolName", entry);
         }
         s.Number(HKEY_LOCAL_MACHINE, kCatalog, "Num_Catalog_Entries", 3);
         s.Number(HKEY_LOCAL_MACHINE, kCatalog, "Serial_Access_Num", 7);
       }},
      {"the AppInit switch", 14, 15, &MainControls::超级列表框6, 2, kLm + kWindowsKey + "\\LoadAppInit_DLLs",
       {HKEY_LOCAL_MACHINE, Wide(kWindowsKey)},
       [](RegistryScratch& s) { s.Number(HKEY_LOCAL_MACHINE, kWindowsKey, "LoadAppInit_DLLs", 1); }},
      {"a worm's drive commands", 14, 15, &MainControls::超级列表框6, 2,
       "HKEY_CURRENT_USER\\" + kMountPoints + "\\V\\Shell", {HKEY_CURRENT_USER, Wide(kMountPoints)},
       [](RegistryScratch& s) {
         s.String(HKEY_CURRENT_USER, kMountPoints + "\\V", "BaseClass", "Drive");
         s.String(HKEY_CURRENT_USER, kMountPoints + "\\V\\Shell", "", "AutoRun");
         s.String(HKEY_CURRENT_USER, kMountPoints + "\\V\\Shell\\AutoRun\\command", "", "V:\\veltro.exe");
       }},
      {"a user's own class", 10, 11, &MainControls::超级列表框4, 3, "HKEY_CURRENT_USER\\" + kUserClass,
       {HKEY_CURRENT_USER, L"Software\\Classes\\CLSID"},
       [](RegistryScratch& s) {
         s.String(HKEY_CURRENT_USER, kUserClass, "", "Veltro backup class");
         s.String(HKEY_CURRENT_USER, kUserClass + "\\InprocServer32", "", "c:\\veltro\\hijack.dll");
         s.String(HKEY_CURRENT_USER, kUserClass + "\\InprocServer32", "ThreadingModel", "Both");
       }},
  };
  MainWindowFixture window;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RegistryScratch scratch;
    c.seed(scratch);
    const auto before = Snapshot({c.scope});
    ResultList& list = window.Controls().*c.list;
    window.Click(ButtonId(c.refreshButton));
    const int row = RowHolding(list, c.pathColumn, c.path);
    ASSERT_GE(row, 0) << c.path;
    window.FocusRow(list, row);
    DialogAnswerer answerer({{IDYES, ""}});
    window.Click(ButtonId(c.deleteButton));
    window.Pump();
    ASSERT_EQ(answerer.Seen().size(), 1u);
    ASSERT_NE(Snapshot({c.scope}), before) << "nothing was removed";
    const Text backup = NewestBackup("-remove.reg");
    if (Text(c.what) == "a shell hook with subkeys") {  // the case seeded with odd values
      EXPECT_NE(ReadWholeFile(backup).find(Utf16("\"unterminated \\\"q\\\" \\\\\"=hex(1):61,00,62,00\r\n")), Text::npos)
          << "a string without its terminator is written as its exact bytes";
    }
    Import(backup);
    EXPECT_EQ(Snapshot({c.scope}), before);
    std::printf("%s: %zu keys and values compared\n", c.what, before.size());
  }
}

TEST(BackupRoundTripTest, TheRepairOfAnInfectedMachineIsUndone) {
  const std::vector<Scope> scopes = {
      {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies"},
      {HKEY_CURRENT_USER, L"Software\\Policies"},
      {HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\Main"},
      {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced"},
      {HKEY_CURRENT_USER, L"SYSTEM"},
      {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies"},
      {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon"},
      {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services\\Cdrom"},
      {HKEY_CLASSES_ROOT, L".exe"},
      {HKEY_CLASSES_ROOT, L"exefile"},
      {HKEY_CLASSES_ROOT, L"txtfile"},
      {HKEY_CLASSES_ROOT, L"regfile"},
      {HKEY_CLASSES_ROOT, L"vbsfile"},
      {HKEY_CLASSES_ROOT, L"batfile"},
      {HKEY_CLASSES_ROOT, L"secfile"},
      {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Clients\\StartMenuInternet"},
      {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Internet Explorer\\Main"},
  };
  // The infection places the repair puts right beyond the restrictions.
  hostile::Seed places;
  const Text browser = "SOFTWARE\\Clients\\StartMenuInternet\\IEXPLORE.EXE\\shell\\open\\command";
  places.Override(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System", "EnableLUA",
                  REG_DWORD, hostile::Dword(0));
  places.Override(HKEY_CLASSES_ROOT, "batfile\\shell\\open\\command", "", REG_SZ,
                  hostile::Terminated("\"c:\\ave.exe\" /START \"%1\" %*"));
  places.String(HKEY_CLASSES_ROOT, "secfile\\shell\\open\\command", "", "\"c:\\ave.exe\" /START \"%1\" %*");
  places.Override(HKEY_LOCAL_MACHINE, browser, "", REG_SZ, hostile::Terminated("c:\\ave.exe /START iexplore.exe"));
  places.Override(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer\\Main", "Start Page", REG_SZ,
                  hostile::Terminated("http://veltro.test/"));
  RegistryScratch scratch;
  const Text explorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
  scratch.Number(HKEY_CURRENT_USER, explorer, "NoRun", 1);
  scratch.Value(HKEY_CURRENT_USER, explorer, "NoFind", REG_SZ, Bytes("1\0", 2));
  scratch.Key(HKEY_CURRENT_USER, "Software\\Policies\\Microsoft\\mmc\\{veltro}");
  scratch.Number(HKEY_CURRENT_USER, "Software\\Policies\\Microsoft\\mmc\\{veltro}", "Restrict_Run", 1);
  scratch.Number(HKEY_CURRENT_USER, "Software\\Policies\\Microsoft\\mmc", "RestrictToPermittedSnapins", 1);
  ASSERT_FALSE(RegistryScratch::ValueExists(HKEY_CURRENT_USER, explorer, "NoClose"));
  const auto before = Snapshot(scopes);
  MainWindowFixture window;
  window.Click(ButtonId(1));
  window.Click(ButtonId(2));
  ASSERT_NE(Snapshot(scopes), before);
  ASSERT_TRUE(RegistryScratch::ValueExists(HKEY_CURRENT_USER, explorer, "NoClose")) << "the repair writes it";
  ASSERT_FALSE(RegistryScratch::KeyExists(HKEY_CLASSES_ROOT, "secfile")) << "the repair removes it";
  ASSERT_NE(ReadRegistryText(kLocalMachine, browser + "\\"), "c:\\ave.exe /START iexplore.exe") << "the repair puts it back";
  Import(NewestBackup("-repair.reg"));
  // Identical, so what the repair created is gone again.
  EXPECT_EQ(Snapshot(scopes), before);
  std::printf("repair: %zu keys and values compared\n", before.size());
  EXPECT_FALSE(RegistryScratch::ValueExists(HKEY_CURRENT_USER, explorer, "NoClose"));
}

TEST(BackupRoundTripTest, AStartTypeChangeIsUndone) {
  const Text service = "SYSTEM\\CurrentControlSet\\Services\\VeltroBackupSvc";
  RegistryScratch scratch;
  scratch.Key(HKEY_LOCAL_MACHINE, service);
  scratch.String(HKEY_LOCAL_MACHINE, service, "ImagePath", "v.exe");
  scratch.Value(HKEY_LOCAL_MACHINE, service, "Start", REG_BINARY, Bytes("\x03\x00\x00\x00\x09", 5));
  const std::vector<Scope> scopes = {{HKEY_LOCAL_MACHINE, Wide(service)}};
  const auto before = Snapshot(scopes);
  MainWindowFixture window;
  MainControls& c = window.Controls();
  window.Click(ButtonId(28));
  const int row = RowHolding(c.系统服务列表, kServiceKeyName, "VeltroBackupSvc");
  ASSERT_GE(row, 0);
  window.FocusRow(c.系统服务列表, row);
  window.ChooseComboItem(4);
  ASSERT_NE(Snapshot(scopes), before);
  Import(NewestBackup("-service-start.reg"));
  EXPECT_EQ(Snapshot(scopes), before);
  std::printf("start type: %zu keys and values compared\n", before.size());
}

TEST(BackupRoundTripTest, AHostsSaveIsUndoneByItsCopy) {
  const Text hosts = TextFilePagePath(TextFilePage::Hosts);
  FileBackup keep(hosts);
  const Text content = "# 测试\r\n127.0.0.1 localhost\r\n";
  ASSERT_TRUE(WriteWholeFile(hosts, content));
  ASSERT_TRUE(SetFileAttributesA(hosts.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  const DWORD attributes = AttributesOf(hosts);
  MainWindowFixture window;
  window.Click(ButtonId(5));
  window.Controls().编辑框1.SetContent("0.0.0.0 edited\r\n");
  window.Click(ButtonId(3));
  ASSERT_EQ(ReadWholeFile(hosts), "0.0.0.0 edited\r\n");

  const Text copy = NewestBackup("-file-save");
  ASSERT_FALSE(copy.empty());
  EXPECT_EQ(ReadWholeFile(copy), content);
  EXPECT_EQ(AttributesOf(copy), attributes);
  // Copied back with its attributes, as Explorer copies.
  SetFileAttributesA(hosts.c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(CopyFileA(copy.c_str(), hosts.c_str(), FALSE));
  SetFileAttributesA(hosts.c_str(), AttributesOf(copy));
  EXPECT_EQ(ReadWholeFile(hosts), content);
  EXPECT_EQ(AttributesOf(hosts), attributes);
  // The index says where the copy belongs.
  const Text index = ReadWholeFile(BackupRunFolder() + "index.txt");
  EXPECT_NE(index.find(copy.substr(BackupRunFolder().size()) + "\t" + hosts + "\r\n"), Text::npos);
}

// A key that exists but cannot be read is never marked for removal: the
// import must not take away what the file could not put back.
TEST(BackupRoundTripTest, AnUnreadableKeyIsNeverMarkedForRemoval) {
  const Text tree = kColumns + "\\veltro-unreadable", locked = tree + "\\locked";
  RegistryScratch scratch;
  scratch.Key(HKEY_LOCAL_MACHINE, locked);
  scratch.String(HKEY_LOCAL_MACHINE, locked, "kept", "x");
  scratch.String(HKEY_LOCAL_MACHINE, tree, "readable", "y");
  RegistryScratch::SetAccess(HKEY_LOCAL_MACHINE, locked, "D:P(A;;RCWD;;;WD)");
  const std::wstring text = RegistryRestoreText(
      {TreeBackup(kLocalMachine, tree), ValueBackup(kLocalMachine, locked, "kept"), ValueBackup(kLocalMachine, locked, "x")});
  RegistryScratch::SetAccess(HKEY_LOCAL_MACHINE, locked, "D:P(A;;KA;;;WD)");
  const std::wstring treeHeader = L"HKEY_LOCAL_MACHINE\\" + Wide(tree);
  EXPECT_EQ(text.find(L"[-" + treeHeader + L"]"), std::wstring::npos) << "the tree is not removed whole";
  EXPECT_NE(text.find(L"\"readable\"=\"y\""), std::wstring::npos) << "what could be read is put back";
  EXPECT_EQ(text.find(L"\"kept\"=-"), std::wstring::npos);
  EXPECT_EQ(text.find(L"\"x\"=-"), std::wstring::npos);
  EXPECT_NE(text.find(L"; not readable, not restored: " + treeHeader + L"\\locked"), std::wstring::npos);
}

// Where a run's backups go: beside Veltro.exe, unless Windows cleans that
// folder by itself.
TEST(BackupPlacesTest, AFolderWindowsCleansPutsApplicationDataFirst) {
  const Text appData = GetSpecialFolder(kFolderAppData), temp = GetSpecialFolder(kFolderTemp);
  const struct {
    Text program;
    bool cleaned;
  } cases[] = {
      {"C:\\Tools\\Veltro\\", false},
      {"C:\\Templates\\", false},
      {temp + "Temp1_veltro.zip\\", true},
      {temp + "Temporary Directory 1 for veltro.zip\\", true},
      {"C:\\DOCUME~1\\ADMINI~1\\LOCALS~1\\Temp\\Rar$EX00.123\\", true},
      {"C:\\Documents and Settings\\a\\Local Settings\\Temporary Internet Files\\Content.IE5\\X1Y2Z3\\", true},
      {"C:\\Users\\a\\AppData\\Local\\Microsoft\\Windows\\INetCache\\IE\\X1Y2Z3\\", true},
  };
  for (const auto& c : cases) {
    const TextList places = BackupPlacesFor(c.program);
    ASSERT_EQ(places.size(), 3u) << c.program;
    EXPECT_EQ(places[0], c.cleaned ? appData : c.program) << c.program;
    EXPECT_EQ(places[1], c.cleaned ? c.program : appData) << c.program;
    EXPECT_EQ(places[2], temp) << c.program;
  }
}

// Takes a place's run folder away for good, as a pulled stick or a full
// disk does: a file stands where the folder was.
void PullFolder(const Text& folder) {
  ASSERT_FALSE(folder.empty());
  TestFolder::RemoveTree(folder);
  ASSERT_TRUE(WriteWholeFile(folder.substr(0, folder.size() - 1), "x"));
}

// A place that stops taking backups gives the file to the next; when no
// place takes it, a message box asks before the change goes on, until the
// user lets changes go on without a backup.
TEST(BackupPlacesTest, AFailedWriteGoesToTheNextPlaceAndNoPlaceAsksFirst) {
  ScratchBackupPlaces places(2);
  const Text folderA = places.Places()[0] + "VeltroBackup\\", folderB = places.Places()[1] + "VeltroBackup\\";
  RegistryScratch scratch;
  for (const char* name : {"VeltroPlace1", "VeltroPlace2", "VeltroPlace3"}) {
    scratch.String(HKEY_CURRENT_USER, kRun, name, "c:\\v.exe");
  }
  MainWindowFixture window;
  MainControls& c = window.Controls();

  ASSERT_TRUE(BackUpRegistry("first", {ValueBackup(kCurrentUser, kRun, "VeltroPlace1")}));
  EXPECT_EQ(LastBackupOf("first").substr(0, folderA.size()), folderA);
  PullFolder(BackupRunFolder());
  ASSERT_TRUE(BackUpRegistry("second", {ValueBackup(kCurrentUser, kRun, "VeltroPlace1")}));
  const Text second = LastBackupOf("second");
  EXPECT_EQ(second.substr(0, folderB.size()), folderB);
  EXPECT_NE(second.find("\\002-second.reg"), Text::npos) << second;
  window.Click(ButtonId(14));   // after any action the about text names the folder in use
  EXPECT_NE(c.编辑框8.Content().find("\r\n备份：" + folderB + "\r\n"), Text::npos) << c.编辑框8.Content();
  PullFolder(BackupRunFolder());

  const auto remove = [&](const char* name, std::vector<DialogAnswer> answers) {
    window.Click(ButtonId(14));
    const int row = RowHolding(c.超级列表框6, 2, "HKEY_CURRENT_USER\\" + kRun + "\\" + name);
    EXPECT_GE(row, 0) << name;
    window.FocusRow(c.超级列表框6, row);
    DialogAnswerer answerer(std::move(answers));
    window.Click(ButtonId(15));
    window.Pump();
    return answerer.Seen();
  };
  std::vector<SeenDialog> seen = remove("VeltroPlace2", {{IDYES, ""}, {IDNO, ""}});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_TRUE(seen[1].hasYes && seen[1].hasNo);
  EXPECT_NE(seen[1].message.find(places.Places()[1] + "VeltroBackup"), Text::npos) << seen[1].message;
  EXPECT_TRUE(RegistryScratch::ValueExists(HKEY_CURRENT_USER, kRun, "VeltroPlace2")) << "removed after No";

  seen = remove("VeltroPlace2", {{IDYES, ""}, {IDYES, ""}});
  EXPECT_EQ(seen.size(), 2u);
  EXPECT_FALSE(RegistryScratch::ValueExists(HKEY_CURRENT_USER, kRun, "VeltroPlace2"));
  seen = remove("VeltroPlace3", {{IDYES, ""}});
  EXPECT_EQ(seen.size(), 1u) << "asked again";
  EXPECT_FALSE(RegistryScratch::ValueExists(HKEY_CURRENT_USER, kRun, "VeltroPlace3"));
}

}  // namespace
