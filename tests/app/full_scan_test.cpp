// The start-up scan of the real window: its captions and progress, once.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "support/main_window_fixture.h"

namespace {

struct Observed {
  std::vector<std::pair<Text, int>> steps;   // caption of 标签13, position of 进度条1
  MainControls* controls = nullptr;
  HWND refreshServices = nullptr;
};

// Records every caption written to 标签13 and, when the services step
// starts, presses "刷新服务" twice: the clicks run nested inside that very
// step's scan.
LRESULT CALLBACK RecordCaptions(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR reference) {
  if (message == WM_SETTEXT) {
    auto* observed = reinterpret_cast<Observed*>(reference);
    const Text caption = reinterpret_cast<const char*>(lParam);
    observed->steps.emplace_back(caption, observed->controls->进度条1.Position());
    if (caption == "启动项   ---------   服务") {
      PostMessageA(observed->refreshServices, BM_CLICK, 0, 0);
      PostMessageA(observed->refreshServices, BM_CLICK, 0, 0);
    }
  }
  return DefSubclassProc(label, message, wParam, lParam);
}

}  // namespace

TEST(FullScanTest, RunsEveryStepOnceAndStopsTheTimer) {
  MainWindowFixture fixture(/*shown=*/true, MainWindowFixture::StartUpScan::Runs);
  MainControls& c = fixture.Controls();
  Observed observed;
  observed.controls = &c;
  observed.refreshServices = fixture.Control(ButtonId(28));
  ASSERT_TRUE(SetWindowSubclass(c.标签13.Handle(), RecordCaptions, 1, reinterpret_cast<DWORD_PTR>(&observed)));

  ASSERT_TRUE(fixture.PumpUntil([&] { return c.标签13.Caption() == "完毕！"; }, 120000));
  // Long enough for several more ticks of a 500 ms timer that was not stopped.
  const DWORD settle = GetTickCount();
  fixture.PumpUntil([&] { return GetTickCount() - settle > 1500; }, 3000);
  RemoveWindowSubclass(c.标签13.Handle(), RecordCaptions, 1);

  const std::vector<std::pair<Text, int>> expected = {
      {"注册表修复", 1},
      {"启动项   ---------   注册表", 2},
      {"启动项   ---------   文件夹", 3},
      {"启动项   ---------   win.ini", 4},
      {"启动项   ---------   system.ini", 5},
      {"启动项   ---------   Autoexec.bat", 6},
      {"启动项   ---------   config.sys", 7},
      {"启动项   ---------   boot.ini", 8},
      {"启动项   ---------   服务", 9},
      {"hosts 文件", 10},
      {"IE 浏览器", 11},
      {"Winsock 供应者", 12},
      {"映像劫持", 13},
      {"资源管理", 14},
      {"完毕！", 15},
  };
  EXPECT_EQ(observed.steps, expected);
  EXPECT_EQ(c.进度条1.Position(), 15);   // and no second scan: the timer was stopped

  // The refresh pressed during its own scan was left out, not run nested:
  // the list holds each service once, as a scan of its own gives it.
  const int rowsAfterStartUp = c.系统服务列表.RowCount();
  EXPECT_GT(rowsAfterStartUp, 0);
  fixture.Click(ButtonId(28));
  EXPECT_EQ(c.系统服务列表.RowCount(), rowsAfterStartUp);
}

LRESULT CALLBACK CloseDuringScan(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR reference) {
  if (message == WM_SETTEXT) {
    auto* captions = reinterpret_cast<std::vector<Text>*>(reference);
    captions->push_back(reinterpret_cast<const char*>(lParam));
    if (captions->size() == 2) PostMessageA(GetAncestor(label, GA_ROOT), WM_CLOSE, 0, 0);
  }
  return DefSubclassProc(label, message, wParam, lParam);
}

// Closing the window in the middle of the scan: the step that runs ends
// against live controls (it still holds them), no further step starts, and
// the window goes.
TEST(FullScanTest, ClosingDuringTheScan) {
  MainWindowFixture fixture(/*shown=*/true, MainWindowFixture::StartUpScan::Runs);
  HWND window = fixture.Window();
  std::vector<Text> captions;
  ASSERT_TRUE(SetWindowSubclass(fixture.Controls().标签13.Handle(), CloseDuringScan, 1,
                                reinterpret_cast<DWORD_PTR>(&captions)));
  EXPECT_TRUE(fixture.PumpUntil([&] { return !IsWindow(window); }, 120000));
  ASSERT_FALSE(captions.empty());
  // Closed while the second step ran; at most the third had begun by the
  // time the close was handled.
  EXPECT_LE(captions.size(), 3u);
  EXPECT_NE(captions.back(), "完毕！");
}
