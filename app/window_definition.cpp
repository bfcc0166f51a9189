// The main window's definition: pure data, walked by app/main_window.cpp.
#include "app/window_definition.h"

namespace {

using K = ControlKind;

const WindowFrame kFrame = {"Veltro  ---  修复病毒破坏的系统       2011年6月5日", 50, 50, 573, 384};

// Tab pages, by container id.
constexpr int kTab1 = TabId(1), kTab2 = TabId(2), kTab3 = TabId(3);
enum Tab1Page { kAbout, kRepairPages, kStartupPages, kHosts, kBrowser, kWinsock, kHijack, kResources };
enum Tab3Page { kRepair, kImmunity, kAdvanced };
enum Tab2Page { kRegistry, kFolder, kWinIni, kSystemIni, kAutoexec, kConfigSys, kBootIni, kServices };

// The file pages of 选择夹2 share one layout: content on the right, the
// refresh button above the delete/save button on the left.
#define FILE_PAGE(page, contentId, contentKind, upper, upperCaption, lower, lowerCaption) \
  {contentId, contentKind, kTab2, page, 87, 4, 456, 209, ""},                          \
  {ButtonId(upper), K::Button, kTab2, page, 7, 12, 72, 24, upperCaption},             \
  {ButtonId(lower), K::Button, kTab2, page, 7, 50, 72, 24, lowerCaption}

// The four scanner pages of 选择夹1 share one layout as well.
#define SCANNER_PAGE(page, list, refresh, remove, label, labelCaption)              \
  {ListId(list), K::List, kTab1, page, 5, 25, 454, 238, ""},                        \
  {ButtonId(refresh), K::Button, kTab1, page, 472, 35, 72, 24, "刷新"},             \
  {ButtonId(remove), K::Button, kTab1, page, 472, 79, 72, 24, "删除"},              \
  {LabelId(label), K::WrapLabel, kTab1, page, 472, 125, 72, 112, labelCaption}

const char kAboutText[] =
    "      Veltro  ---  修复病毒破坏的系统\r\n"
    "\r\n"
    "语言：简体中文\r\n"
    "性质：完全免费\r\n"
    "作用：全方位检查木马病毒的各个藏身处（主要检查15处敏感区域）\r\n"
    "特色：智能列举危害位置及修复方法\r\n"
    "平台：windows XP 2000 2003 7 等 32位系统\r\n"
    "开发：Corvane\r\n";


const ControlDefinition kControls[] = {
    {kTab1, K::TabControl, 0, 0, 3, 3, 560, 267, ""},
    {kBannerId, K::Banner, 0, 0, 5, 276, 224, 77, ""},
    {LabelId(10), K::Label, 0, 0, 256, 280, 128, 16, "作者：Veltro 团队"},
    {LabelId(11), K::Label, 0, 0, 296, 304, 112, 16, "联系：见项目主页"},
    {LabelId(12), K::Label, 0, 0, 350, 328, 152, 16, "team@veltro.example.org"},

    // 程序关于
    {EditId(8), K::AboutEdit, kTab1, kAbout, 53, 29, 440, 136, kAboutText},
    {LabelId(14), K::Label, kTab1, kAbout, 53, 176, 48, 24, "正在加载"},
    {LabelId(13), K::Label, kTab1, kAbout, 117, 176, 376, 24, ""},
    {kProgressId, K::ProgressBar, kTab1, kAbout, 53, 221, 440, 16, ""},

    // 注册表修复 and its three pages
    {kTab3, K::BottomTabs, kTab1, kRepairPages, 4, 22, 550, 239, ""},
    {ListId(1), K::List, kTab3, kRepair, 8, 8, 454, 199, ""},
    {ButtonId(1), K::Button, kTab3, kRepair, 470, 8, 72, 20, "检查错误"},
    {ButtonId(2), K::Button, kTab3, kRepair, 470, 50, 72, 20, "修复错误"},
    {LabelId(5), K::WrapLabel, kTab3, kRepair, 470, 90, 72, 35, "扫描/修复被恶意纂改的注册表"},
    {LabelId(1), K::Label, kTab3, kRepair, 470, 162, 24, 17, "共："},
    {LabelId(2), K::Label, kTab3, kRepair, 507, 186, 35, 17, "0条"},
    {ListId(8), K::List, kTab3, kImmunity, 8, 8, 454, 199, ""},
    {ButtonId(30), K::Button, kTab3, kImmunity, 470, 8, 72, 20, "开始免疫"},
    {ButtonId(29), K::Button, kTab3, kImmunity, 470, 50, 72, 20, "解除免疫"},
    {LabelId(15), K::WrapLabel, kTab3, kImmunity, 470, 95, 64, 112, "本功能设置对注册表访问的权限  防止恶意代码的修改"},
    {ListId(9), K::List, kTab3, kAdvanced, 8, 8, 454, 199, ""},
    {ButtonId(32), K::Button, kTab3, kAdvanced, 470, 8, 72, 20, "显示用户"},
    {ButtonId(31), K::Button, kTab3, kAdvanced, 470, 50, 72, 20, "删除用户"},
    {ButtonId(33), K::Button, kTab3, kAdvanced, 470, 92, 72, 20, "恢复用户"},
    {LabelId(16), K::WrapLabel, kTab3, kAdvanced, 470, 134, 64, 73, "完美获取系统用户（包括隐藏、克隆号）"},

    // 启动项目 and its eight pages
    {kTab2, K::BottomTabs, kTab1, kStartupPages, 4, 22, 550, 239, ""},
    FILE_PAGE(kRegistry, ListId(6), K::MultiList, 14, "&刷新", 15, "&删除"),
    FILE_PAGE(kFolder, ListId(7), K::MultiList, 17, "&刷新", 16, "&删除"),
    FILE_PAGE(kWinIni, EditId(2), K::TextEdit, 18, "&刷新", 19, "&保存"),
    FILE_PAGE(kSystemIni, EditId(3), K::TextEdit, 20, "&刷新", 21, "&保存"),
    FILE_PAGE(kAutoexec, EditId(4), K::TextEdit, 23, "&刷新", 22, "&保存"),
    FILE_PAGE(kConfigSys, EditId(5), K::TextEdit, 25, "&刷新", 24, "&保存"),
    FILE_PAGE(kBootIni, EditId(6), K::TextEdit, 27, "&刷新", 26, "&保存"),
    {LabelId(3), K::Label, kTab2, kBootIni, 7, 95, 24, 24, "启动"},
    {EditId(7), K::ReadOnlyLine, kTab2, kBootIni, 47, 95, 32, 24, ""},
    {kServiceListId, K::List, kTab2, kServices, 4, 4, 541, 177, ""},
    {LabelId(4), K::Label, kTab2, kServices, 7, 187, 320, 23, "服务描述"},
    {ButtonId(28), K::Button, kTab2, kServices, 342, 188, 65, 20, "刷新服务"},
    {kComboId, K::DropDownList, kTab2, kServices, 419, 188, 120, 20, ""},

    // HOSTS文件
    {EditId(1), K::TextEdit, kTab1, kHosts, 4, 23, 548, 199, ""},
    {ButtonId(5), K::Button, kTab1, kHosts, 67, 230, 104, 24, "刷新文件"},
    {ButtonId(3), K::Button, kTab1, kHosts, 231, 230, 104, 24, "保存修改"},
    {ButtonId(4), K::Button, kTab1, kHosts, 395, 230, 104, 24, "重置"},

    SCANNER_PAGE(kBrowser, 5, 12, 13, 6, "检查 IE浏览器 加载文件"),
    SCANNER_PAGE(kWinsock, 2, 6, 7, 7, "检查 Winsock 加载文件"),
    SCANNER_PAGE(kHijack, 3, 8, 9, 8, "检查 映像劫持 "),
    SCANNER_PAGE(kResources, 4, 10, 11, 9, "检查 各种系统资源 （包含各类型） "),
};

#undef FILE_PAGE
#undef SCANNER_PAGE

const TabPages kTabPages[] = {
    {kTab1, {"程序关于", "注册表修复", "启动项目", "HOSTS文件", "浏览器加载", "Winsock 供应者", "映像劫持", "资源管理"}},
    {kTab3, {"修复功能", "免疫功能", "高级功能"}},
    {kTab2, {"注册表", "文件夹", "win.ini", "system.ini", "Autoexec.bat", "config.sys", "boot.ini", "服务"}},
};

#define STARTUP_COLUMNS(list)                                             \
  {ListId(list), "文件名", 300, false}, {ListId(list), "文件描述", 150, false}, \
  {ListId(list), "路径", 0, false}

#define HOOK_COLUMNS(list)                                                            \
  {ListId(list), "名称", 80, false}, {ListId(list), "描述", 150, true},                  \
  {ListId(list), "路径", 220, false}, {ListId(list), "值", 0, true}

const ColumnDefinition kColumns[] = {
    {ListId(1), "说明", 100, false}, {ListId(1), "路径", 300, false}, {ListId(1), "修复", 50, false},
    {ListId(8), "说明", 400, false}, {ListId(8), "状态", 50, false},
    {ListId(9), "用户名", 400, false}, {ListId(9), "状态", 50, false},
    STARTUP_COLUMNS(6),
    STARTUP_COLUMNS(7),
    {kServiceListId, "服务名字", 150, false}, {kServiceListId, "服务描述", 230, false},
    {kServiceListId, "系统文件", 150, false}, {kServiceListId, "服务状态", 80, false},
    {kServiceListId, "注册名", 150, false},
    HOOK_COLUMNS(5),
    HOOK_COLUMNS(2),
    HOOK_COLUMNS(3),
    HOOK_COLUMNS(4),
};

#undef STARTUP_COLUMNS
#undef HOOK_COLUMNS

void SaveWinIniPage(MainControls& c) { SaveTextFilePage(c, TextFilePage::WinIni); }
void SaveSystemIniPage(MainControls& c) { SaveTextFilePage(c, TextFilePage::SystemIni); }
void SaveAutoexecBatPage(MainControls& c) { SaveTextFilePage(c, TextFilePage::AutoexecBat); }
void SaveConfigSysPage(MainControls& c) { SaveTextFilePage(c, TextFilePage::ConfigSys); }
void SaveBootIniPage(MainControls& c) { SaveTextFilePage(c, TextFilePage::BootIni); }
void SaveHostsPage(MainControls& c) { SaveTextFilePage(c, TextFilePage::Hosts); }

using E = ControlEvent;

const Binding kBindings[] = {
    {kTimerId, E::TimerTick, OnTimerTick},
    {kBannerId, E::LeftButtonDown, OnBannerClicked},
    {ButtonId(1), E::Clicked, OnCheckErrors},
    {ButtonId(2), E::Clicked, OnRepairErrors},
    {ButtonId(30), E::Clicked, OnApplyImmunity},
    {ButtonId(29), E::Clicked, OnRemoveImmunity},
    {ListId(8), E::RowActivated, OnImmunityRowActivated},
    {ListId(8), E::RightButtonDown, OnImmunityListRightClick},
    {ButtonId(32), E::Clicked, OnShowAccounts},
    {ButtonId(31), E::Clicked, OnDeleteAccount},
    {ButtonId(33), E::Clicked, OnRestoreAccount},
    {ButtonId(14), E::Clicked, OnStartupRefresh},
    {ButtonId(15), E::Clicked, OnStartupDelete},
    {ButtonId(17), E::Clicked, OnStartupFolderRefresh},
    {ButtonId(16), E::Clicked, OnStartupFolderDelete},
    {ButtonId(18), E::Clicked, LoadWinIniPage},
    {ButtonId(19), E::Clicked, SaveWinIniPage},
    {ButtonId(20), E::Clicked, LoadSystemIniPage},
    {ButtonId(21), E::Clicked, SaveSystemIniPage},
    {ButtonId(23), E::Clicked, LoadAutoexecBatPage},
    {ButtonId(22), E::Clicked, SaveAutoexecBatPage},
    {ButtonId(25), E::Clicked, LoadConfigSysPage},
    {ButtonId(24), E::Clicked, SaveConfigSysPage},
    {ButtonId(27), E::Clicked, LoadBootIniPage},
    {ButtonId(26), E::Clicked, SaveBootIniPage},
    {ButtonId(28), E::Clicked, OnServicesRefresh},
    {kServiceListId, E::CurrentRowChanged, OnServiceRowChanged},
    {kComboId, E::ItemChosen, OnServiceStartChosen},
    {ButtonId(5), E::Clicked, LoadHostsPage},
    {ButtonId(4), E::Clicked, LoadHostsPage},   // "重置" discards edits: the same reload
    {ButtonId(3), E::Clicked, SaveHostsPage},
    {ButtonId(12), E::Clicked, OnBrowserRefresh},
    {ButtonId(13), E::Clicked, OnBrowserDelete},
    {ButtonId(6), E::Clicked, OnWinsockRefresh},
    {ButtonId(7), E::Clicked, OnWinsockDelete},
    {ButtonId(8), E::Clicked, OnImageHijackRefresh},
    {ButtonId(9), E::Clicked, OnImageHijackDelete},
    {ButtonId(10), E::Clicked, OnShellHookRefresh},
    {ButtonId(11), E::Clicked, OnShellHookDelete},
    // "保存报告..." in the right button's menu of every list that has one.
    {ListId(1), E::ReportAsked, OnSaveReport},
    {ListId(9), E::ReportAsked, OnSaveReport},
    {ListId(6), E::ReportAsked, OnSaveReport},
    {ListId(7), E::ReportAsked, OnSaveReport},
    {kServiceListId, E::ReportAsked, OnSaveReport},
    {ListId(5), E::ReportAsked, OnSaveReport},
    {ListId(2), E::ReportAsked, OnSaveReport},
    {ListId(3), E::ReportAsked, OnSaveReport},
    {ListId(4), E::ReportAsked, OnSaveReport},
};

constexpr const char* kForbidAutostart = "禁止添加自动启动";
const HintedRow kImmunityRows[] = {
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", kForbidAutostart},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce", kForbidAutostart},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx", kForbidAutostart},
    {"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", kForbidAutostart},
    {"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", kForbidAutostart},
    {"HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx", kForbidAutostart},
    {"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main", "防止IE被修改"},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", "防止系统恶意修改"},
};

const char* const kStartTypeItems[] = {"启动", "系统", "自动", "手动", "禁用"};

}  // namespace

const WindowFrame& MainWindowFrame() { return kFrame; }
TableView<ControlDefinition> ControlDefinitions() { return ViewOf(kControls); }
TableView<TabPages> TabPageDefinitions() { return ViewOf(kTabPages); }
TableView<ColumnDefinition> ColumnDefinitions() { return ViewOf(kColumns); }
TableView<Binding> Bindings() { return ViewOf(kBindings); }
TableView<HintedRow> ImmunityInitialRows() { return ViewOf(kImmunityRows); }
TableView<const char*> StartTypeItems() { return {kStartTypeItems, 5}; }
const char* AboutText() { return kAboutText; }
const char* WebAddress() { return "https://veltro.example.org"; }

void LoadWinIniPage(MainControls& c) { LoadTextFilePage(c, TextFilePage::WinIni); }
void LoadSystemIniPage(MainControls& c) { LoadTextFilePage(c, TextFilePage::SystemIni); }
void LoadAutoexecBatPage(MainControls& c) { LoadTextFilePage(c, TextFilePage::AutoexecBat); }
void LoadConfigSysPage(MainControls& c) { LoadTextFilePage(c, TextFilePage::ConfigSys); }
void LoadBootIniPage(MainControls& c) { LoadTextFilePage(c, TextFilePage::BootIni); }
void LoadHostsPage(MainControls& c) { LoadTextFilePage(c, TextFilePage::Hosts); }
