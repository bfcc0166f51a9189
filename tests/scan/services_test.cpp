// The services page against real service keys of the test prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "host/registry.h"
#include "scan/services.h"
#include "app/main_window.h"
#include "support/fixtures.h"
#include "support/hostile_seed.h"
#include "support/main_window_fixture.h"
#include "support/test_window.h"

namespace {

const char kServices[] = "SYSTEM\\CurrentControlSet\\Services\\";

// Our own service keys, removed again by the destructor.
class TestServices {
 public:
  ~TestServices() {
    for (const std::string& name : names_) RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kServices + name).c_str());
  }
  void Set(const std::string& service, const char* value, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, (kServices + service).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
      ADD_FAILURE() << "cannot create " << service;
      return;
    }
    RegSetValueExA(key, value, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    names_.push_back(service);
  }
  void SetText(const std::string& service, const char* value, const std::string& text, DWORD type = REG_SZ) {
    Set(service, value, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
  }
  void SetNumber(const std::string& service, const char* value, DWORD number) {
    Set(service, value, REG_DWORD, &number, sizeof(number));
  }
 private:
  std::vector<std::string> names_;
};

int RowOf(const ResultList& list, const char* keyName) {
  for (int row = 0; row < list.RowCount(); ++row) {
    if (list.GetCellText(row, kServiceKeyName) == keyName) return row;
  }
  return -1;
}

std::string StartPath(const char* service) { return std::string(kServices) + service + "\\Start"; }

}  // namespace

TEST(ServicesTest, ScanListsKeysWithAnImagePath) {
  TestServices services;
  services.SetText("VeltroSvcA", "ImagePath", "C:\\drivers\\a.sys");
  services.SetText("VeltroSvcA", "DisplayName", "甲服务");
  services.SetText("VeltroSvcA", "Description", "描述甲");
  services.SetNumber("VeltroSvcA", "Start", 4);
  services.SetText("VeltroSvcB", "ImagePath", "%SystemRoot%\\veltro_b.exe", REG_EXPAND_SZ);
  services.SetNumber("VeltroSvcB", "Start", 7);
  services.SetText("VeltroSvcC", "DisplayName", "no image");
  services.SetNumber("VeltroSvcC", "Start", 2);
  services.SetNumber("VeltroSvcD", "ImagePath", 1);   // of any type
  services.SetText("VeltroSvcD", "Start", "3");      // not a number
  services.SetText("VeltroSvcE", "ImagePath", "e.exe");
  services.SetNumber("VeltroSvcE", "Start", 0);

  TestListHost host({150, 230, 150, 80, 150});
  ResultList& list = host.List();
  list.SetCellText(list.InsertRow(), 0, "stale row");
  ScanServices(list);

  char windows[MAX_PATH] = {};
  GetEnvironmentVariableA("SystemRoot", windows, MAX_PATH);
  struct Case { const char* key; std::vector<Text> row; } cases[] = {
      {"VeltroSvcA", {"甲服务", "描述甲", "C:\\drivers\\a.sys", "禁用", "VeltroSvcA"}},
      {"VeltroSvcB", {"", "", std::string(windows) + "\\veltro_b.exe", "", "VeltroSvcB"}},
      {"VeltroSvcD", {"", "", "", "", "VeltroSvcD"}},
      {"VeltroSvcE", {"", "", "e.exe", "启动", "VeltroSvcE"}},
  };
  for (const Case& c : cases) {
    const int row = RowOf(list, c.key);
    ASSERT_GE(row, 0) << c.key;
    for (int column = 0; column < 5; ++column) {
      EXPECT_EQ(list.GetCellText(row, column), c.row[static_cast<std::size_t>(column)]) << c.key << " " << column;
    }
  }
  EXPECT_EQ(RowOf(list, "VeltroSvcC"), -1);
  EXPECT_EQ(RowOf(list, ""), -1);   // the stale row is gone
  EXPECT_LT(RowOf(list, "VeltroSvcA"), RowOf(list, "VeltroSvcB"));
}

// Windows 7 keeps most service names and descriptions as references to a
// library's string table ("@file,-id"): the list shows the strings, as the
// Services console does. A reference that cannot be loaded shows its text
// after ";", or else the text as stored.
TEST(ServicesTest, NamesKeptAsStringReferencesShowTheirStrings) {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  const std::string system = std::string(folder) + "\\";
  hostile::Seed seed;
  for (const char* library : {"aelupsvc.dll", "appinfo.dll", "audiosrv.dll", "bfe.dll", "appmgmts.dll"}) {
    ASSERT_EQ(GetFileAttributesA((system + library).c_str()), INVALID_FILE_ATTRIBUTES) << library;
    ASSERT_TRUE(seed.Copy(fixture::kStringsDll, system + library));
  }
  // What veltro_strings.dll holds in the prefix's language.
  const Text experience = "应用程序体验", experienceText = "在应用程序启动时为应用程序处理应用程序兼容性缓存请求";
  const Text information = "应用程序信息", informationText = "使用辅助管理权限便于交互式应用程序的运行";
  const Text audio = "Windows 音频", audioText = "管理基于 Windows 的程序的音频";
  const Text filtering = "基本筛选引擎";
  const Text filteringText = "基本筛选引擎(BFE)是一种管理防火墙和 Internet 协议安全(IPsec)策略的服务";
  const Text management = "应用程序管理", managementText = "为通过组策略部署的软件处理安装、删除以及枚举请求";
  const struct {
    const char* service;
    Text name, description;
    DWORD type;
    Text shownName, shownDescription;
  } cases[] = {
      {"VeltroAeLookupSvc", "@%SystemRoot%\\system32\\aelupsvc.dll,-1", "@%SystemRoot%\\system32\\aelupsvc.dll,-2", REG_SZ,
       experience, experienceText},
      {"VeltroAppinfo", "@%systemroot%\\system32\\appinfo.dll,-100", "@%systemroot%\\system32\\appinfo.dll,-101", REG_SZ,
       information, informationText},
      {"VeltroAudioSrv", "@%SystemRoot%\\system32\\audiosrv.dll,-201", "@%SystemRoot%\\system32\\audiosrv.dll,-204",
       REG_SZ, audio, audioText},
      {"VeltroAudioEndpoint", "@%SystemRoot%\\System32\\AudioSrv.Dll,-204", "@%SystemRoot%\\system32\\audiosrv.dll,-201",
       REG_SZ, audioText, audio},
      {"VeltroBFE", "@%SystemRoot%\\system32\\bfe.dll,-1001", "@%SystemRoot%\\system32\\bfe.dll,-1002", REG_SZ,
       filtering, filteringText},
      {"VeltroMpsSvc", "@%SystemRoot%\\system32\\bfe.dll,-1002", "@%SystemRoot%\\system32\\bfe.dll,-1001",
       REG_EXPAND_SZ, filteringText, filtering},
      // Named without a folder: the System folder's library.
      {"VeltroAppMgmt", "@appmgmts.dll,-3250", "@appmgmts.dll,-3251", REG_SZ, management, managementText},
      {"VeltroAppIDSvc", "@%SystemRoot%\\system32\\appinfo.dll,-101", "@%SystemRoot%\\system32\\appinfo.dll,-65535",
       REG_SZ, informationText, "最后一个"},
      {"VeltroWithFallback", "@%SystemRoot%\\system32\\aelupsvc.dll,-1;Application Experience",
       "@%SystemRoot%\\system32\\appmgmts.dll,-3251;unused", REG_SZ, experience, managementText},
      {"VeltroFallback", "@%SystemRoot%\\system32\\veltro_missing.dll,-1;备用名称",
       "@%SystemRoot%\\system32\\bfe.dll,-3;Fallback description", REG_SZ, "备用名称", "Fallback description"},
      {"VeltroMissingFile", "@%SystemRoot%\\system32\\veltro_missing.dll,-1", "@veltro_missing.dll,-2", REG_SZ,
       "@%SystemRoot%\\system32\\veltro_missing.dll,-1", "@veltro_missing.dll,-2"},
      {"VeltroMissingId", "@%SystemRoot%\\system32\\bfe.dll,-3", "@%SystemRoot%\\system32\\bfe.dll,-999", REG_SZ,
       "@%SystemRoot%\\system32\\bfe.dll,-3", "@%SystemRoot%\\system32\\bfe.dll,-999"},
      {"VeltroNoReference", "@home", "@bfe.dll,1001", REG_SZ, "@home", "@bfe.dll,1001"},
  };
  TestServices services;
  for (const auto& c : cases) {
    services.SetText(c.service, "ImagePath", "%SystemRoot%\\system32\\svchost.exe -k netsvcs", REG_EXPAND_SZ);
    services.SetText(c.service, "DisplayName", c.name, c.type);
    services.SetText(c.service, "Description", c.description, c.type);
  }
  TestListHost host({150, 230, 150, 80, 150});
  ScanServices(host.List());
  for (const auto& c : cases) {
    const int row = RowOf(host.List(), c.service);
    ASSERT_GE(row, 0) << c.service;
    EXPECT_EQ(host.List().GetCellText(row, kServiceDisplayName), c.shownName) << c.service;
    EXPECT_EQ(host.List().GetCellText(row, kServiceDescription), c.shownDescription) << c.service;
  }
}

TEST(ServicesTest, SelectingPreselectsAndChoosingWrites) {
  TestServices services;
  services.SetText("VeltroSvcM", "ImagePath", "m.exe");
  services.SetText("VeltroSvcM", "Description", "手动的服务");
  services.SetNumber("VeltroSvcM", "Start", 3);
  services.SetText("VeltroSvcN", "ImagePath", "n.exe");
  services.SetNumber("VeltroSvcN", "Start", 9);

  MainWindowFixture fixture;
  MainControls& c = fixture.Controls();
  fixture.Click(ButtonId(28));
  const int manual = RowOf(c.系统服务列表, "VeltroSvcM");
  const int odd = RowOf(c.系统服务列表, "VeltroSvcN");
  ASSERT_GE(manual, 0);
  ASSERT_GE(odd, 0);

  // No row selected: a choice writes nothing anywhere.
  fixture.ChooseComboItem(4);
  EXPECT_FALSE(RegistryItemExists(kLocalMachine, std::string(kServices) + "Start"));
  EXPECT_EQ(ReadRegistryNumber(kLocalMachine, StartPath("VeltroSvcM")), 3);

  // Selecting a row moves the combo box to the row's start type and writes
  // nothing: the registry changed behind the list keeps its new value.
  services.SetNumber("VeltroSvcM", "Start", 2);
  fixture.FocusRow(c.系统服务列表, manual);
  EXPECT_EQ(c.标签4.Caption(), "手动的服务");
  EXPECT_EQ(c.组合框1.CurrentItem(), 3);
  EXPECT_EQ(ReadRegistryNumber(kLocalMachine, StartPath("VeltroSvcM")), 2);

  // A row without a start type leaves the combo box where it was.
  fixture.FocusRow(c.系统服务列表, odd);
  EXPECT_EQ(c.组合框1.CurrentItem(), 3);
  EXPECT_EQ(c.标签4.Caption(), "");
  EXPECT_EQ(ReadRegistryNumber(kLocalMachine, StartPath("VeltroSvcN")), 9);

  // Setting the item from code is no choice.
  fixture.FocusRow(c.系统服务列表, manual);
  c.组合框1.SetCurrentItem(0);
  fixture.Pump();
  EXPECT_EQ(ReadRegistryNumber(kLocalMachine, StartPath("VeltroSvcM")), 2);

  // A choice writes the start type and shows what was stored.
  fixture.ChooseComboItem(4);
  EXPECT_EQ(ReadRegistryNumber(kLocalMachine, StartPath("VeltroSvcM")), 4);
  EXPECT_EQ(c.系统服务列表.GetCellText(manual, kServiceStartType), "禁用");
  fixture.ChooseComboItem(1);
  EXPECT_EQ(ReadRegistryNumber(kLocalMachine, StartPath("VeltroSvcM")), 1);
  EXPECT_EQ(c.系统服务列表.GetCellText(manual, kServiceStartType), "系统");
}

// Arrow keys over the closed box step through the items; only Enter (or a
// choice in the dropped list) writes, and then once.
TEST(ServicesTest, SteppingThroughTheClosedBoxWritesNothingUntilEnter) {
  TestServices services;
  services.SetText("VeltroSvcK", "ImagePath", "k.exe");
  services.SetNumber("VeltroSvcK", "Start", 3);
  MainWindowFixture fixture(/*shown=*/true);
  MainControls& c = fixture.Controls();
  fixture.ShowPage(TabId(1), 2);
  fixture.ShowPage(TabId(2), 7);
  fixture.Click(ButtonId(28));
  fixture.FocusRow(c.系统服务列表, RowOf(c.系统服务列表, "VeltroSvcK"));
  ASSERT_EQ(c.组合框1.CurrentItem(), 3);
  SetFocus(c.组合框1.Handle());
  for (int step = 0; step < 3; ++step) {
    SendMessageA(c.组合框1.Handle(), WM_KEYDOWN, VK_UP, 0);
    SendMessageA(c.组合框1.Handle(), WM_KEYUP, VK_UP, 0);
    fixture.Pump();
    EXPECT_EQ(ReadRegistryNumber(kLocalMachine, StartPath("VeltroSvcK")), 3) << "step " << step;
  }
  ASSERT_EQ(c.组合框1.CurrentItem(), 0);
  MSG enter{c.组合框1.Handle(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
  EXPECT_TRUE(HandleDialogKey(fixture.Window(), enter));
  fixture.Pump();
  EXPECT_EQ(ReadRegistryNumber(kLocalMachine, StartPath("VeltroSvcK")), 0);
}
