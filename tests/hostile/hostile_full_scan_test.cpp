// The start-up scan of the real window on a prefix that malware has filled:
// oversized, mistyped and unterminated values in every scanned place, keys
// with thousands of values, classes that point at themselves, a Startup
// folder with thousands of files. The scan must end, list what is there,
// stay within its memory and write nothing to the registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/verdict_lists.h"
#include "host/file_verdicts.h"
#include "host/files.h"
#include "support/time_limits.h"
#include "support/fixtures.h"
#include "support/hostile_seed.h"
#include "support/main_window_fixture.h"
#include "ui/file_verdict_rows.h"

using hostile::Bytes;
using hostile::Terminated;

namespace {

const char kRunServices[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices";
const char kDelayLoad[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ShellServiceObjectDelayLoad";
const char kNotify[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Notify";
const char kActiveSetup[] = "SOFTWARE\\Microsoft\\Active Setup\\Installed Components";
const char kServices[] = "SYSTEM\\CurrentControlSet\\Services";
const char kPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const char kSearchHooks[] = "Software\\Microsoft\\Internet Explorer\\URLSearchHooks";
const char kNames[] = "SAM\\SAM\\Domains\\Account\\Users\\Names";
const char kSelfClass[] = "{0000BBBB-0000-0000-0000-00000000BBBB}";
constexpr int kManyValues = 3000;
constexpr int kManyFiles = 1500;

// The trees the scan reads, as they stand; compared before and after.
struct Tree {
  HKEY root;
  const char* key;
};
const Tree kWatched[] = {
    {HKEY_CURRENT_USER, "Software\\Microsoft"},
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"},
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon"},
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options"},
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Active Setup"},
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer"},
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\PROTOCOLS"},
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Folder\\shellex"},
    {HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services"},
    {HKEY_CLASSES_ROOT, "CLSID\\{0000BBBB-0000-0000-0000-00000000BBBB}"},
    {HKEY_CLASSES_ROOT, "exefile"},
    {HKEY_CLASSES_ROOT, ".exe"},
};

std::string DumpWatched() {
  std::string dump;
  for (const Tree& tree : kWatched) dump += hostile::DumpTree(tree.root, tree.key);
  return dump;
}

// Keys created empty by listing a missing location are the one change the
// scan may make; everything else is a write nobody asked for.
std::string UnaskedChanges(const std::string& before, const std::string& after) {
  std::string unasked;
  const std::string difference = hostile::TreeDifference(before, after);
  std::size_t start = 0;
  while (start < difference.size()) {
    std::size_t end = difference.find('\n', start);
    if (end == std::string::npos) end = difference.size();
    const std::string line = difference.substr(start, end - start);
    if (line.compare(0, 3, "+ [") != 0) unasked += line.substr(0, 200) + "\n";
    start = end + 1;
  }
  return unasked;
}

void SeedHostileMachine(hostile::Seed& seed, const Text& startup) {
  // Run-family keys: thousands of values, a megabyte in the middle of them.
  for (int i = 0; i < kManyValues; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "hv %04d", i);
    ASSERT_TRUE(seed.String(HKEY_CURRENT_USER, kRunServices, name, "C:\\hv\\many.exe"));
  }
  ASSERT_TRUE(seed.Value(HKEY_CURRENT_USER, kRunServices, "hv 1500 big", REG_SZ,
                         Terminated(hostile::Repeat("C:\\hv\\", 1 << 17))));
  ASSERT_TRUE(seed.Value(HKEY_CURRENT_USER, kRunServices, "hv 1500 binary", REG_BINARY, hostile::Filled(1 << 20, 'b')));
  ASSERT_TRUE(seed.Value(HKEY_CURRENT_USER, kRunServices, hostile::Repeat("n", 16383), REG_SZ, Terminated("C:\\hv")));
  // The single value, of the wrong type.
  ASSERT_TRUE(seed.Value(HKEY_CURRENT_USER, "Software\\Microsoft\\WindowsNT\\CurrentVersion", "Windowsload",
                         REG_MULTI_SZ, Bytes(Text("C:\\hv\\a\0C:\\hv\\b\0\0", 18))));
  // Classes that point at themselves, at nothing, or are a megabyte long.
  ASSERT_TRUE(seed.String(HKEY_CLASSES_ROOT, Text("CLSID\\") + kSelfClass, "", kSelfClass));
  ASSERT_TRUE(seed.String(HKEY_CLASSES_ROOT, Text("CLSID\\") + kSelfClass + "\\InProcServer32", "",
                          "%hv_self%\\%hv_self%", REG_EXPAND_SZ));
  ASSERT_TRUE(seed.String(HKEY_LOCAL_MACHINE, kDelayLoad, "hv self", kSelfClass));
  ASSERT_TRUE(seed.String(HKEY_LOCAL_MACHINE, kDelayLoad, "hv missing", "{DEADDEAD-0000-0000-0000-00000000DEAD}"));
  ASSERT_TRUE(seed.Value(HKEY_LOCAL_MACHINE, kDelayLoad, "hv huge", REG_SZ, Terminated(hostile::Repeat("{", 1 << 20))));
  ASSERT_TRUE(seed.Value(HKEY_LOCAL_MACHINE, kDelayLoad, "hv dword", REG_DWORD, hostile::Dword(1)));
  ASSERT_TRUE(seed.String(HKEY_CURRENT_USER, kSearchHooks, kSelfClass, "hv"));
  // Packages and components whose values are of any type.
  ASSERT_TRUE(seed.Value(HKEY_LOCAL_MACHINE, Text(kNotify) + "\\hv dword", "DllName", REG_DWORD, hostile::Dword(9)));
  ASSERT_TRUE(
      seed.Value(HKEY_LOCAL_MACHINE, Text(kNotify) + "\\hv binary", "DllName", REG_BINARY, Bytes("C:\\hv\\\xD6")));
  ASSERT_TRUE(seed.Value(HKEY_LOCAL_MACHINE, Text(kActiveSetup) + "\\hv big", "StubPath", REG_SZ,
                         Terminated(hostile::Repeat("C:\\hv\\", 1 << 17))));
  ASSERT_TRUE(seed.Value(HKEY_LOCAL_MACHINE, Text(kActiveSetup) + "\\hv;semi", "StubPath", REG_SZ,
                         Terminated("C:\\hv\\semi.exe")));
  // Services of every awkward shape.
  ASSERT_TRUE(seed.Value(HKEY_LOCAL_MACHINE, Text(kServices) + "\\hv binary image", "ImagePath", REG_BINARY,
                         hostile::Filled(2000, 'i')));
  ASSERT_TRUE(
      seed.Value(HKEY_LOCAL_MACHINE, Text(kServices) + "\\hv binary image", "Start", REG_QWORD, hostile::Qword(2)));
  ASSERT_TRUE(
      seed.Value(HKEY_LOCAL_MACHINE, Text(kServices) + "\\hv;svc", "ImagePath", REG_SZ, Terminated("C:\\hv\\svc.exe")));
  ASSERT_TRUE(seed.Value(HKEY_LOCAL_MACHINE, Text(kServices) + "\\hv;svc", "DisplayName", REG_SZ,
                         Terminated(hostile::Repeat("服", 1 << 19))));
  ASSERT_TRUE(seed.Value(HKEY_LOCAL_MACHINE, Text(kServices) + "\\hv;svc", "Start", REG_SZ, Terminated("4")));
  // Restrictions stored with the wrong types.
  ASSERT_TRUE(seed.Value(HKEY_CURRENT_USER, kPolicies, "NoRun", REG_SZ, Terminated("1")));
  ASSERT_TRUE(seed.Value(HKEY_CURRENT_USER, kPolicies, "NoFind", REG_QWORD, hostile::Qword(1)));
  ASSERT_TRUE(seed.Value(HKEY_CURRENT_USER, kPolicies, "NoClose", REG_BINARY, hostile::Dword(1)));
  ASSERT_TRUE(seed.Override(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\Main", "Start Page", REG_SZ,
                            Bytes(hostile::Repeat("http://hv/", 100000) + "\xD6")));
  // Browser add-ons whose texts are of the wrong type or a megabyte long.
  const Text extension = "SOFTWARE\\Microsoft\\Internet Explorer\\Extensions\\{hv}";
  ASSERT_TRUE(seed.Value(HKEY_LOCAL_MACHINE, extension, "ButtonText", REG_BINARY, hostile::Filled(5000, 't')));
  ASSERT_TRUE(
      seed.Value(HKEY_LOCAL_MACHINE, extension, "Exec", REG_SZ, Terminated(hostile::Repeat("C:\\hv\\", 1 << 17))));
  ASSERT_TRUE(
      seed.Key(HKEY_LOCAL_MACHINE,
               "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\" + Text(kSelfClass)));
  // Thousands of executables' options, none of them a hijack but one.
  const Text options = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\hv ";
  for (int i = 0; i < 1000; ++i) {
    ASSERT_TRUE(seed.Value(HKEY_LOCAL_MACHINE, options + std::to_string(i) + ".exe", "GlobalFlag", REG_DWORD,
                           hostile::Dword(2)));
  }
  ASSERT_TRUE(seed.Value(HKEY_LOCAL_MACHINE, options + "999.exe", "Debugger", REG_BINARY, hostile::Filled(3000, 'd')));
  // Winsock items cut short.
  const Text catalog = "SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9\\hv catalog";
  ASSERT_TRUE(seed.Value(HKEY_LOCAL_MACHINE, catalog + "\\000001", "PackedCatalogItem", REG_BINARY, Bytes("C")));
  ASSERT_TRUE(
      seed.Value(HKEY_LOCAL_MACHINE, catalog + "\\000002", "PackedCatalogItem", REG_BINARY, Bytes("%SystemRoot%")));
  // Account names that no ordinary tool shows.
  seed.KeepAccess(HKEY_LOCAL_MACHINE, "SAM");
  seed.KeepAccess(HKEY_LOCAL_MACHINE, "SAM\\SAM");
  seed.KeepAccess(HKEY_LOCAL_MACHINE, "SAM\\SAM\\Domains");
  seed.KeepAccess(HKEY_LOCAL_MACHINE, "SAM\\SAM\\Domains\\Account");
  seed.KeepAccess(HKEY_LOCAL_MACHINE, "SAM\\SAM\\Domains\\Account\\Users");
  ASSERT_TRUE(seed.Key(HKEY_LOCAL_MACHINE, kNames));
  seed.KeepAccess(HKEY_LOCAL_MACHINE, kNames);
  ASSERT_TRUE(seed.Key(HKEY_LOCAL_MACHINE, Text(kNames) + "\\hv;clone$"));
  ASSERT_TRUE(seed.Key(HKEY_LOCAL_MACHINE, Text(kNames) + "\\" + hostile::Repeat("u", 200)));
  // The Startup folder: thousands of files and the awkward ones.
  for (int i = 0; i < kManyFiles; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "hv %04d.lnk", i);
    ASSERT_TRUE(seed.File(startup + name, ByteString()));
  }
  ASSERT_TRUE(seed.Copy(fixture::kLongClaimDll, startup + "hv long claim.dll"));
  ASSERT_TRUE(seed.File(startup + "hv huge.exe", hostile::Filled(16 << 20, 'M')));
}

TEST(HostileFullScan, EndsListsEverythingAndWritesNothing) {
  const Text startup = GetSpecialFolder(kFolderStartup);
  ASSERT_FALSE(startup.empty());
  hostile::Seed seed;
  SeedHostileMachine(seed, startup);
  if (HasFatalFailure()) return;
  const std::string before = DumpWatched();
  const std::size_t memoryBefore = hostile::PrivateBytes();

  const DWORD start = GetTickCount();
  {
    MainWindowFixture fixture(/*shown=*/true, MainWindowFixture::StartUpScan::Runs);
    MainControls& c = fixture.Controls();
    ASSERT_TRUE(fixture.PumpUntil([&] { return c.标签13.Caption() == "完毕！"; }, 150000))
        << "stuck at " << c.标签13.Caption();
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_LT(elapsed, TimeLimit(120000));
    std::printf("full scan of the hostile machine: %lu ms\n", static_cast<unsigned long>(elapsed));
    const std::size_t memoryAfter = hostile::PrivateBytes();
    EXPECT_LT(memoryAfter, memoryBefore + (400u << 20))
        << "private bytes grew from " << memoryBefore << " to " << memoryAfter;

    // Nothing hides behind a megabyte or a name at the limit.
    int many = 0;
    const Text runServices = Text("HKEY_CURRENT_USER\\") + kRunServices + "\\hv ";
    for (int row = 0; row < c.超级列表框6.RowCount(); ++row) {
      if (c.超级列表框6.GetCellText(row, 2).compare(0, runServices.size(), runServices) == 0) ++many;
    }
    EXPECT_EQ(many, kManyValues + 2);
    int files = 0;
    for (int row = 0; row < c.超级列表框7.RowCount(); ++row) {
      if (c.超级列表框7.GetCellText(row, 2).compare(0, startup.size() + 3, startup + "hv ") == 0) ++files;
    }
    EXPECT_EQ(files, kManyFiles + 2);
    auto holds = [](const ResultList& list, int column, const Text& text) {
      for (int row = 0; row < list.RowCount(); ++row) {
        if (list.GetCellText(row, column) == text) return true;
      }
      return false;
    };
    EXPECT_TRUE(holds(c.超级列表框9, 0, "hv;clone$"));
    EXPECT_TRUE(holds(c.系统服务列表, 4, "hv;svc"));
    EXPECT_TRUE(holds(c.超级列表框3, 0, "hv 999.exe"));
    // Every seeded entry that names a file shows red: nothing seeded is
    // signed. The 16 MB file is hashed beside the window.
    ASSERT_TRUE(fixture.PumpUntil([] { return !SignaturesPending(); }, 120000));
    int judged = 0;
    for (const VerdictList& shown : VerdictLists()) {
      const ResultList& list = c.*shown.list;
      for (int row = 0; row < list.RowCount(); ++row) {
        const Text stored = list.GetCellText(row, shown.storedTextColumn);
        const FileId file = static_cast<FileId>(list.RowTag(row));
        if (file == 0 || (stored.find("hv ") == Text::npos && list.GetCellText(row, 0).find("hv") != 0)) continue;
        ++judged;
        EXPECT_EQ(ShadeOf(FactsOf(file)), RowShade::Warning) << "list " << shown.listId << ": " << stored.substr(0, 80);
      }
    }
    EXPECT_GT(judged, kManyFiles);
    // Every cell the scan wrote holds whole characters.
    ResultList* lists[] = {&c.超级列表框1, &c.超级列表框2, &c.超级列表框3, &c.超级列表框4, &c.超级列表框5,
                           &c.超级列表框6, &c.超级列表框7, &c.超级列表框9, &c.系统服务列表};
    for (ResultList* list : lists) {
      for (int row = 0; row < list->RowCount(); ++row) {
        for (int column = 0; column < list->ColumnCount(); ++column) {
          const Text cell = list->GetCellText(row, column);
          EXPECT_TRUE(hostile::WholeCharacters(cell)) << "list " << GetDlgCtrlID(list->Handle()) << " row " << row
                                                      << " column " << column << ": " << cell.substr(0, 80);
        }
      }
    }
  }
  EXPECT_EQ(UnaskedChanges(before, DumpWatched()), "");
}

}  // namespace
