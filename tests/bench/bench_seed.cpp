// Fills a fresh Wine prefix with a large machine image for the benchmark:
//
//   bench_seed.exe SCALE FIXTURE_FOLDER
//
// FIXTURE_FOLDER (ending in "\") holds the fixture binaries built by
// tests/fixtures; they are copied to C:\VeltroBench\ so that the prefix is
// self-contained. At scale S the image holds S×100 services, S×50 Run-family
// values, S×50 registered classes, S×20 entries in each of five hook and
// add-on locations, S×20 Image File Execution Options subkeys (half with a
// Debugger), S×10 Winsock catalogue entries, S×20 Startup-folder files and a
// hosts file of S×256 KB. Everything is deterministic, so two prefixes of the
// same scale are alike. Prints what it wrote.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char kBenchFolder[] = "C:\\VeltroBench\\";

// Fixture binaries copied into the prefix: with a version resource (Chinese,
// English, padded), and without one.
const char* const kFixtureFiles[] = {
    "veltro_component.dll", "veltro_component.exe", "veltro_english.dll",
    "veltro_padded_description.dll", "veltro_no_version.dll",
};

struct Counts {
  int keys = 0;
  int values = 0;
  int files = 0;
};
Counts counts;

class Key {
 public:
  Key(HKEY root, const std::string& path) {
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr) !=
        ERROR_SUCCESS) {
      std::fprintf(stderr, "cannot create %s\n", path.c_str());
      std::exit(1);
    }
    ++counts.keys;
  }
  ~Key() { RegCloseKey(key_); }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;

  void Text(const std::string& name, const std::string& text, DWORD type = REG_SZ) {
    Set(name, type, text.c_str(), text.size() + 1);
  }
  void Number(const std::string& name, DWORD number) { Set(name, REG_DWORD, &number, sizeof number); }
  void Bytes(const std::string& name, const std::vector<unsigned char>& bytes) {
    Set(name, REG_BINARY, bytes.data(), bytes.size());
  }

 private:
  void Set(const std::string& name, DWORD type, const void* data, std::size_t size) {
    RegSetValueExA(key_, name.empty() ? nullptr : name.c_str(), 0, type, static_cast<const BYTE*>(data),
                   static_cast<DWORD>(size));
    ++counts.values;
  }
  HKEY key_ = nullptr;
};

std::string Format(const char* format, int number) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, format, number);
  return buffer;
}

std::string Bench(const char* name) { return std::string(kBenchFolder) + name; }

// What an entry points at, in rotation: files with and without a version
// resource, a Wine system library, and files that are gone.
std::string ServerPath(int i) {
  switch (i % 6) {
    case 0: return Bench("veltro_component.dll");
    case 1: return Bench("veltro_english.dll");
    case 2: return Bench("veltro_no_version.dll");
    case 3: return "C:\\windows\\system32\\shell32.dll";
    case 4: return Format("C:\\VeltroBench\\missing_%04d.dll", i);
    default: return Bench("veltro_padded_description.dll");
  }
}

std::string ClassId(int i) { return Format("{BE7C0000-0000-4000-8000-00000000%04X}", i); }

// Most entries name one of the registered classes; every seventh names a
// class that was never registered (a dangling entry).
std::string EntryClassId(int i, int classCount) {
  return i % 7 == 6 ? Format("{DEAD0000-0000-4000-8000-00000000%04X}", i) : ClassId(i % classCount);
}

void CopyFixtures(const std::string& source) {
  CreateDirectoryA(kBenchFolder, nullptr);
  for (const char* name : kFixtureFiles) {
    if (!CopyFileA((source + name).c_str(), Bench(name).c_str(), FALSE)) {
      std::fprintf(stderr, "cannot copy %s%s\n", source.c_str(), name);
      std::exit(1);
    }
    ++counts.files;
  }
}

void SeedClasses(int count) {
  for (int i = 0; i < count; ++i) {
    const std::string path = "SOFTWARE\\Classes\\CLSID\\" + ClassId(i);
    Key(HKEY_LOCAL_MACHINE, path).Text("", Format("Veltro 基准组件 %d", i));
    Key server(HKEY_LOCAL_MACHINE, path + "\\InProcServer32");
    // Some servers are stored the way installers often write them.
    if (i % 5 == 4) {
      server.Text("", "%SystemRoot%\\system32\\mshtml.dll", REG_EXPAND_SZ);
    } else {
      server.Text("", ServerPath(i));
    }
    server.Text("ThreadingModel", "Apartment");
  }
}

void SeedServices(int count) {
  for (int i = 0; i < count; ++i) {
    Key key(HKEY_LOCAL_MACHINE, Format("SYSTEM\\CurrentControlSet\\Services\\VeltroBench%04d", i));
    if (i % 2 == 0) {
      key.Text("ImagePath", Format("%%SystemRoot%%\\system32\\drivers\\vbench%04d.sys", i), REG_EXPAND_SZ);
    } else {
      // A program that is not there: should Wine boot this prefix again, its
      // service manager must not start (and wait for) a thousand programs.
      key.Text("ImagePath", Format("\"C:\\VeltroBench\\service_%04d.exe\" -service", i));
    }
    key.Text("DisplayName", Format("Veltro 基准服务 %d", i));
    key.Text("Description",
             Format("基准测试用的服务，编号 %d。它不会启动，只为让服务列表有真实机器的规模。", i));
    key.Number("Start", static_cast<DWORD>(i % 5));
    key.Number("Type", i % 2 == 0 ? 1 : 16);
  }
}

void SeedRunValues(int count) {
  struct RunKey {
    HKEY root;
    const char* path;
  };
  const RunKey keys[] = {
      {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
      {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
      {HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
      {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce"},
      {HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx"},
      {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx"},
      {HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices"},
      {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices"},
  };
  for (int i = 0; i < count; ++i) {
    const RunKey& where = keys[i % 8];
    std::string data;
    switch (i % 4) {
      case 0: data = Bench("veltro_component.exe"); break;                   // a bare existing file
      case 1: data = "\"" + Bench("veltro_english.dll") + "\" /background"; break;   // a command line
      case 2: data = ServerPath(i); break;
      default: data = "C:\\windows\\system32\\shdocvw.dll"; break;   // exists, starts nothing
    }
    Key(where.root, where.path).Text(Format("VeltroBench%04d", i), data);
  }
}

void SeedHooksAndAddons(int count, int classCount) {
  const char* const explorer = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
  Key executeHooks(HKEY_LOCAL_MACHINE, std::string(explorer) + "Explorer\\ShellExecuteHooks");
  Key delayLoad(HKEY_LOCAL_MACHINE, std::string(explorer) + "ShellServiceObjectDelayLoad");
  Key approved(HKEY_LOCAL_MACHINE, std::string(explorer) + "Shell Extensions\\Approved");
  Key toolbar(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar");
  for (int i = 0; i < count; ++i) {
    executeHooks.Text(EntryClassId(i, classCount), "");
    delayLoad.Text(Format("VeltroBenchObject%04d", i), EntryClassId(i + 1, classCount));
    approved.Text(EntryClassId(i + 2, classCount), Format("Veltro 外壳扩展 %d", i));
    toolbar.Text(EntryClassId(i + 3, classCount), Format("Veltro 工具栏 %d", i));
    Key(HKEY_LOCAL_MACHINE, std::string(explorer) + "Explorer\\Browser Helper Objects\\" +
                                EntryClassId(i + 4, classCount));
  }
}

void SeedImageOptions(int count) {
  const std::string options = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\";
  for (int i = 0; i < count; ++i) {
    Key key(HKEY_LOCAL_MACHINE, options + Format("vbench_%04d.exe", i));
    if (i % 2 == 0) {
      key.Text("Debugger", i % 4 == 0 ? Bench("veltro_component.exe") : ServerPath(i));
    } else {
      key.Number("GlobalFlag", 0x02000000);
    }
  }
}

void SeedWinsock(int count) {
  const std::string entries =
      "SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9\\Catalog_Entries\\";
  for (int i = 0; i < count; ++i) {
    std::string path;
    switch (i % 3) {
      case 0: path = "%SystemRoot%\\system32\\mswsock.dll"; break;
      case 1: path = "ws2_32.dll"; break;   // found in the System folder
      default: path = Bench("veltro_component.dll"); break;
    }
    // The path, its zero byte and the protocol information that follows it.
    std::vector<unsigned char> item(path.begin(), path.end());
    item.resize(0x3D8, 0);
    Key(HKEY_LOCAL_MACHINE, entries + Format("%012d", i + 1)).Bytes("PackedCatalogItem", item);
  }
}

void SeedStartupFolder(int count) {
  char folder[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathA(nullptr, folder, CSIDL_STARTUP, TRUE)) {
    std::fprintf(stderr, "no Startup folder\n");
    std::exit(1);
  }
  for (int i = 0; i < count; ++i) {
    const char* source = kFixtureFiles[i % 5];
    const std::string target = std::string(folder) + Format("\\veltro_startup_%04d", i) +
                               (i % 5 == 1 ? ".exe" : i % 5 == 4 ? ".lnk" : ".dll");
    CopyFileA(Bench(source).c_str(), target.c_str(), FALSE);
    ++counts.files;
  }
}

// Blocking lists look like this: mostly ASCII lines, CRLF, with comments in
// Chinese every so often.
void WriteHosts(int kilobytes) {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  const std::string path = std::string(system) + "\\drivers\\etc\\hosts";
  const std::size_t size = static_cast<std::size_t>(kilobytes) * 1024;
  std::string text;
  text.reserve(size + 128);
  text += "# Veltro 基准测试的 hosts 文件\r\n127.0.0.1       localhost\r\n";
  for (int line = 0; text.size() < size; ++line) {
    if (line % 64 == 0) {
      text += Format("# 第 %d 组：广告与跟踪域名屏蔽列表\r\n", line / 64);
    } else {
      text += Format("127.0.0.1       ad%06d.tracker.example.com\r\n", line);
    }
  }
  text.resize(size);
  // End on a whole line, so the file is exactly the size asked for.
  text.replace(size - 2, 2, "\r\n");
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  if (file == INVALID_HANDLE_VALUE || !WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
      written != text.size()) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
  CloseHandle(file);
  ++counts.files;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_seed SCALE FIXTURE_FOLDER\n");
    return 2;
  }
  const int scale = std::atoi(argv[1]);
  if (scale < 1) return 2;
  const DWORD start = GetTickCount();
  CopyFixtures(argv[2]);
  const int classCount = scale * 50;
  SeedClasses(classCount);
  SeedServices(scale * 100);
  SeedRunValues(scale * 50);
  SeedHooksAndAddons(scale * 20, classCount);
  SeedImageOptions(scale * 20);
  SeedWinsock(scale * 10);
  SeedStartupFolder(scale * 20);
  WriteHosts(scale * 256);
  std::printf("seeded scale %d: %d keys, %d values, %d files in %lu ms\n", scale, counts.keys, counts.values,
              counts.files, static_cast<unsigned long>(GetTickCount() - start));
  return 0;
}
