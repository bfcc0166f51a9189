// The real main window against the numbers of the product's layout: the
// expected values below are written out here, not read from the window
// definition, so a slip in either shows up.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "host/backup.h"

#include "app/main_window.h"
#include "support/dialog_answerer.h"
#include "support/main_window_fixture.h"
#include "support/time_limits.h"

namespace {

struct Box { int x, y, width, height; };

// The control's rectangle relative to its container's top-left corner.
Box BoxIn(HWND control, HWND container) {
  RECT rect;
  GetWindowRect(control, &rect);
  POINT origin{0, 0};
  if (GetParent(container) == nullptr) {
    ClientToScreen(container, &origin);   // the window's client area
  } else {
    RECT outer;
    GetWindowRect(container, &outer);
    origin = {outer.left, outer.top};
  }
  return {rect.left - origin.x, rect.top - origin.y, rect.right - rect.left, rect.bottom - rect.top};
}

struct Column { Text caption; int width; int format; };

std::vector<Column> ColumnsOf(HWND list) {
  std::vector<Column> columns;
  for (int i = 0;; ++i) {
    char caption[64] = {};
    LVCOLUMNA item{};
    item.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    item.pszText = caption;
    item.cchTextMax = sizeof(caption);
    if (!SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item))) break;
    columns.push_back({caption, item.cx, item.fmt & LVCFMT_JUSTIFYMASK});
  }
  return columns;
}

Text TextOf(HWND window) {
  char buffer[1024] = {};
  GetWindowTextA(window, buffer, sizeof(buffer));
  return buffer;
}

POINT RowCentre(const ResultList& list, int row) {
  RECT rect{};
  rect.left = LVIR_BOUNDS;
  SendMessageA(list.Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

}  // namespace

TEST(MainWindowTest, FrameAndGeometry) {
  MainWindowFixture fixture(/*shown=*/true);
  HWND window = fixture.Window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(TextOf(window), "Veltro  ---  修复病毒破坏的系统       2011年6月5日");
  RECT outer;
  GetWindowRect(window, &outer);
  EXPECT_EQ(outer.left, 50);
  EXPECT_EQ(outer.top, 50);
  EXPECT_EQ(outer.right - outer.left, 573);
  EXPECT_EQ(outer.bottom - outer.top, 384);
  EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & WS_THICKFRAME, 0);

  struct Case { int id; int containerId; Box expected; } cases[] = {
      {TabId(1), 0, {3, 3, 560, 267}},
      {kBannerId, 0, {5, 276, 224, 77}},
      {LabelId(12), 0, {350, 328, 152, 16}},
      {EditId(8), TabId(1), {53, 29, 440, 136}},
      {kProgressId, TabId(1), {53, 221, 440, 16}},
      {TabId(3), TabId(1), {4, 22, 550, 239}},
      {TabId(2), TabId(1), {4, 22, 550, 239}},
      {ListId(8), TabId(3), {8, 8, 454, 199}},
      {LabelId(2), TabId(3), {507, 186, 35, 17}},
      {ButtonId(31), TabId(3), {470, 50, 72, 20}},
      {ButtonId(33), TabId(3), {470, 92, 72, 20}},
      {ListId(7), TabId(2), {87, 4, 456, 209}},
      {ButtonId(23), TabId(2), {7, 12, 72, 24}},
      {EditId(7), TabId(2), {47, 95, 32, 24}},
      {kServiceListId, TabId(2), {4, 4, 541, 177}},
      {ButtonId(28), TabId(2), {342, 188, 65, 20}},
      {kComboId, TabId(2), {419, 188, 120, 20}},
      {EditId(1), TabId(1), {4, 23, 548, 199}},
      {ButtonId(4), TabId(1), {395, 230, 104, 24}},
      {ListId(4), TabId(1), {5, 25, 454, 238}},
      {LabelId(9), TabId(1), {472, 125, 72, 112}},
  };
  for (const Case& c : cases) {
    HWND control = fixture.Control(c.id);
    ASSERT_NE(control, nullptr) << c.id;
    const Box box = BoxIn(control, c.containerId ? fixture.Control(c.containerId) : window);
    EXPECT_NEAR(box.x, c.expected.x, 2) << c.id;
    EXPECT_NEAR(box.y, c.expected.y, 2) << c.id;
    EXPECT_NEAR(box.width, c.expected.width, 2) << c.id;
    EXPECT_NEAR(box.height, c.expected.height, 2) << c.id;
  }
}

TEST(MainWindowTest, ControlStylesAndIds) {
  MainWindowFixture fixture;
  for (int n = 1; n <= 32; ++n) EXPECT_NE(fixture.Control(ButtonId(n)), nullptr) << "按钮" << n;
  for (int n = 1; n <= 16; ++n) EXPECT_NE(fixture.Control(LabelId(n)), nullptr) << "标签" << n;
  for (int id : {ListId(1), ListId(2), ListId(3), ListId(4), ListId(5), ListId(6), ListId(7), ListId(8), ListId(9),
                 kServiceListId}) {
    HWND list = fixture.Control(id);
    ASSERT_NE(list, nullptr) << id;
    const LONG_PTR style = GetWindowLongPtrA(list, GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT) << id;
    EXPECT_NE(style & LVS_NOSORTHEADER, 0) << id;
    const bool several = id == ListId(6) || id == ListId(7);
    EXPECT_EQ((style & LVS_SINGLESEL) == 0, several) << id;
    const LRESULT extended = SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_EQ(extended & (LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES),
              LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES) << id;
  }
  EXPECT_EQ(GetWindowLongPtrA(fixture.Control(TabId(1)), GWL_STYLE) & TCS_BOTTOM, 0);
  EXPECT_NE(GetWindowLongPtrA(fixture.Control(TabId(2)), GWL_STYLE) & TCS_BOTTOM, 0);
  EXPECT_NE(GetWindowLongPtrA(fixture.Control(TabId(3)), GWL_STYLE) & TCS_BOTTOM, 0);
  EXPECT_EQ(SendMessageA(fixture.Control(TabId(1)), TCM_GETITEMCOUNT, 0, 0), 8);
  EXPECT_EQ(SendMessageA(fixture.Control(TabId(2)), TCM_GETITEMCOUNT, 0, 0), 8);
  EXPECT_EQ(SendMessageA(fixture.Control(TabId(3)), TCM_GETITEMCOUNT, 0, 0), 3);
  HWND combo = fixture.Control(kComboId);
  EXPECT_EQ(GetWindowLongPtrA(combo, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
  EXPECT_NE(GetWindowLongPtrA(fixture.Control(EditId(8)), GWL_STYLE) & ES_READONLY, 0);
  EXPECT_NE(GetWindowLongPtrA(fixture.Control(EditId(7)), GWL_STYLE) & ES_READONLY, 0);
}

TEST(MainWindowTest, ListColumns) {
  MainWindowFixture fixture;
  const std::vector<Column> hooks = {{"名称", 80, LVCFMT_LEFT}, {"描述", 150, LVCFMT_CENTER},
                                     {"路径", 220, LVCFMT_LEFT}, {"值", 0, LVCFMT_CENTER}};
  const std::vector<Column> startup = {{"文件名", 300, LVCFMT_LEFT}, {"文件描述", 150, LVCFMT_LEFT},
                                       {"路径", 0, LVCFMT_LEFT}};
  struct Case { int id; std::vector<Column> columns; } cases[] = {
      {ListId(1), {{"说明", 100, LVCFMT_LEFT}, {"路径", 300, LVCFMT_LEFT}, {"修复", 50, LVCFMT_LEFT}}},
      {ListId(8), {{"说明", 400, LVCFMT_LEFT}, {"状态", 50, LVCFMT_LEFT}}},
      {ListId(9), {{"用户名", 400, LVCFMT_LEFT}, {"状态", 50, LVCFMT_LEFT}}},
      {ListId(6), startup},
      {ListId(7), startup},
      {kServiceListId, {{"服务名字", 150, LVCFMT_LEFT}, {"服务描述", 230, LVCFMT_LEFT}, {"系统文件", 150, LVCFMT_LEFT},
                        {"服务状态", 80, LVCFMT_LEFT}, {"注册名", 150, LVCFMT_LEFT}}},
      {ListId(2), hooks}, {ListId(3), hooks}, {ListId(4), hooks}, {ListId(5), hooks},
  };
  for (const Case& c : cases) {
    const std::vector<Column> actual = ColumnsOf(fixture.Control(c.id));
    ASSERT_EQ(actual.size(), c.columns.size()) << c.id;
    for (std::size_t i = 0; i < actual.size(); ++i) {
      EXPECT_EQ(actual[i].caption, c.columns[i].caption) << c.id << " column " << i;
      EXPECT_EQ(actual[i].width, c.columns[i].width) << c.id << " column " << i;
      EXPECT_EQ(actual[i].format, c.columns[i].format) << c.id << " column " << i;
    }
  }
}

TEST(MainWindowTest, InitialContents) {
  MainWindowFixture fixture;
  MainControls& c = fixture.Controls();
  EXPECT_EQ(c.编辑框8.Content(),
            "      Veltro  ---  修复病毒破坏的系统\r\n\r\n语言：简体中文\r\n性质：完全免费\r\n"
            "作用：全方位检查木马病毒的各个藏身处（主要检查15处敏感区域）\r\n特色：智能列举危害位置及修复方法\r\n"
            "平台：windows XP 2000 2003 7 等 32位系统\r\n开发：Corvane\r\n备份：" +
                BackupFolderShown() + "\r\n");
  EXPECT_EQ(BackupFolderShown().substr(BackupFolderShown().size() - 14), "\\VeltroBackup\\");
  EXPECT_EQ(c.标签2.Caption(), "0条");
  EXPECT_EQ(c.标签13.Caption(), "");
  EXPECT_EQ(c.标签15.Caption(), "本功能设置对注册表访问的权限  防止恶意代码的修改");
  EXPECT_EQ(c.标签8.Caption(), "检查 映像劫持 ");
  EXPECT_EQ(TextOf(fixture.Control(ButtonId(14))), "&刷新");
  EXPECT_EQ(TextOf(fixture.Control(ButtonId(4))), "重置");
  EXPECT_EQ(c.进度条1.Position(), 0);
  EXPECT_EQ(SendMessageA(c.进度条1.Handle(), PBM_GETRANGE, TRUE, 0), 0);
  EXPECT_EQ(SendMessageA(c.进度条1.Handle(), PBM_GETRANGE, FALSE, 0), 15);
  EXPECT_EQ(c.组合框1.CurrentItem(), -1);
  const char* items[] = {"启动", "系统", "自动", "手动", "禁用"};
  ASSERT_EQ(c.组合框1.ItemCount(), 5);
  for (int i = 0; i < 5; ++i) {
    char text[32] = {};
    SendMessageA(c.组合框1.Handle(), CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, items[i]);
  }
  struct { int set, expected; } choices[] = {{2, 2}, {9, 4}, {-1, -1}};
  for (const auto& choice : choices) {
    c.组合框1.SetCurrentItem(choice.set);
    EXPECT_EQ(c.组合框1.CurrentItem(), choice.expected) << choice.set;
  }
  for (ResultList* list : {&c.超级列表框1, &c.超级列表框2, &c.超级列表框3, &c.超级列表框4, &c.超级列表框5,
                           &c.超级列表框6, &c.超级列表框7, &c.超级列表框9, &c.系统服务列表}) {
    EXPECT_EQ(list->RowCount(), 0);
  }
  // The file pages hold files of any size, far beyond an edit box's default limit.
  for (EditBox* edit : {&c.编辑框1, &c.编辑框2, &c.编辑框3, &c.编辑框4, &c.编辑框5, &c.编辑框6}) {
    Text big;
    for (int line = 0; line < 800; ++line) big += Text(98, 'x') + "\r\n";   // 80000 bytes
    edit->SetContent(big);
    AppendEditText(*edit, "end");
    EXPECT_EQ(edit->Content().size(), big.size() + 3);
  }
}

TEST(MainWindowTest, ImmunityRowsAndHintsByPosition) {
  MainWindowFixture fixture(/*shown=*/true);
  ResultList& list = fixture.Controls().超级列表框8;
  fixture.ShowPage(TabId(1), 1);
  fixture.ShowPage(TabId(3), 1);
  const char* keys[] = {
      "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
      "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
      "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx",
      "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
      "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
      "HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx",
      "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main",
      "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
  };
  const char* hints[] = {"禁止添加自动启动", "禁止添加自动启动", "禁止添加自动启动", "禁止添加自动启动",
                         "禁止添加自动启动", "禁止添加自动启动", "防止IE被修改", "防止系统恶意修改"};
  ASSERT_EQ(list.RowCount(), 8);
  for (int row = 0; row < 8; ++row) {
    EXPECT_EQ(list.GetCellText(row, 0), keys[row]);
    EXPECT_EQ(list.GetCellText(row, 1), "");
    EXPECT_EQ(ImmunityHintAt(list, RowCentre(list, row)), hints[row]) << row;
  }
  // Hints follow the position, not the row: after removing row 6 the old
  // row 7 shows the hint of position 6, and a new last row shows none.
  list.DeleteRow(6);
  EXPECT_EQ(ImmunityHintAt(list, RowCentre(list, 6)), "防止IE被修改");
  list.SetCellText(list.InsertRow(), 0, "HKEY_CURRENT_USER\\Software\\Veltro");
  EXPECT_EQ(ImmunityHintAt(list, RowCentre(list, 7)), "防止系统恶意修改");
  list.SetCellText(list.InsertRow(), 0, "HKEY_CURRENT_USER\\Software\\Veltro2");
  EXPECT_EQ(ImmunityHintAt(list, RowCentre(list, 8)), "");
  RECT client;
  GetClientRect(list.Handle(), &client);
  EXPECT_EQ(ImmunityHintAt(list, {client.right - 2, client.bottom - 2}), "");
}

BOOL CALLBACK FindShownTooltip(HWND window, LPARAM found) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpiA(name, TOOLTIPS_CLASSA) != 0 || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// The hint reaches the user: with the pointer resting on a row, the list's
// tooltip comes up for the list.
TEST(MainWindowTest, TheTooltipComesUpOverTheRowUnderThePointer) {
  MainWindowFixture fixture(/*shown=*/true);
  ResultList& list = fixture.Controls().超级列表框8;
  fixture.ShowPage(TabId(1), 1);
  fixture.ShowPage(TabId(3), 1);
  SetForegroundWindow(fixture.Window());
  POINT point = RowCentre(list, 6);
  POINT screen = point;
  ClientToScreen(list.Handle(), &screen);
  ASSERT_TRUE(SetCursorPos(screen.x, screen.y));
  HWND tooltip = nullptr;
  const DWORD start = GetTickCount();
  // One move, as a pointer that comes to rest: each move starts the wait anew.
  SendMessageA(list.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
  while (tooltip == nullptr && GetTickCount() - start < TimeLimit(5000)) {
    fixture.Pump();
    Sleep(50);
    EnumThreadWindows(GetCurrentThreadId(), FindShownTooltip, reinterpret_cast<LPARAM>(&tooltip));
  }
  ASSERT_NE(tooltip, nullptr) << "no tooltip came up";
  char text[256] = {};
  TTTOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.lpszText = text;
  SendMessageA(tooltip, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  EXPECT_EQ(tool.hwnd, list.Handle());
}

// Outside a dialog no button is the default one: Enter presses the focused
// button itself, as the message loop hands it over.
TEST(MainWindowTest, EnterPressesTheFocusedButton) {
  MainWindowFixture fixture(/*shown=*/true);
  fixture.ShowPage(TabId(1), 2);
  fixture.ShowPage(TabId(2), 7);
  ASSERT_EQ(fixture.Controls().系统服务列表.RowCount(), 0);
  HWND refresh = fixture.Control(ButtonId(28));
  SetFocus(refresh);
  ASSERT_EQ(GetFocus(), refresh);
  MSG enter{refresh, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
  EXPECT_TRUE(HandleDialogKey(fixture.Window(), enter));
  fixture.Pump();
  EXPECT_GT(fixture.Controls().系统服务列表.RowCount(), 0);
}

TEST(MainWindowTest, PagesFollowTheirTabs) {
  MainWindowFixture fixture(/*shown=*/true);
  HWND services = fixture.Control(kServiceListId);
  HWND hosts = fixture.Control(EditId(1));
  EXPECT_FALSE(IsWindowVisible(services));
  fixture.ShowPage(TabId(1), 2);
  fixture.ShowPage(TabId(2), 7);
  EXPECT_TRUE(IsWindowVisible(services));
  EXPECT_FALSE(IsWindowVisible(hosts));
  fixture.ShowPage(TabId(1), 3);
  EXPECT_FALSE(IsWindowVisible(services));
  EXPECT_TRUE(IsWindowVisible(hosts));
}

TEST(MainWindowTest, CreatedWindowFocusesLabel9AndRunsTheTimer) {
  MainWindowFixture fixture(/*shown=*/true, MainWindowFixture::StartUpScan::Runs);
  EXPECT_EQ(GetFocus(), fixture.Controls().标签9.Handle());
  // The system's timer 1801 of the window ticks: a WM_TIMER for it turns up
  // in the queue (left there; nothing runs it while the test looks).
  const DWORD start = GetTickCount();
  bool ticked = false;
  while (!ticked && GetTickCount() - start < 2000) {
    MSG message;
    ticked = PeekMessageA(&message, fixture.Window(), WM_TIMER, WM_TIMER, PM_NOREMOVE) && message.wParam == 1801;
    Sleep(20);
  }
  EXPECT_TRUE(ticked);
}

// The mouse and keyboard events of 超级列表框8 reach their actions once each.
TEST(MainWindowTest, ImmunityListEventsReachTheirActions) {
  MainWindowFixture fixture(/*shown=*/true);
  fixture.ShowPage(TabId(1), 1);
  fixture.ShowPage(TabId(3), 1);
  ResultList& list = fixture.Controls().超级列表框8;
  const Text third = list.GetCellText(3, 0);
  {
    DialogAnswerer answerer({{IDYES, ""}});
    fixture.ActivateRow(list, 2);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_TRUE(answerer.Seen()[0].hasYes);
  }
  EXPECT_EQ(list.RowCount(), 7);
  EXPECT_EQ(list.GetCellText(2, 0), third);
  {
    DialogAnswerer answerer({{IDOK, "HKEY_CURRENT_USER\\Software\\VeltroTest"}});
    fixture.RightClick(list, 0);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_TRUE(answerer.Seen()[0].hasEdit);
  }
  ASSERT_EQ(list.RowCount(), 8);
  EXPECT_EQ(list.GetCellText(7, 0), "HKEY_CURRENT_USER\\Software\\VeltroTest");
  {
    DialogAnswerer answerer({{IDNO, ""}});
    fixture.FocusRow(list, 7);
    SetFocus(list.Handle());
    SendMessageA(list.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    fixture.Pump();
    EXPECT_EQ(answerer.Seen().size(), 1u);   // Enter activates the focused row too
  }
  EXPECT_EQ(list.RowCount(), 8);
}
