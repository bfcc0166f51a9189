// The system file pages driven through the real main window: each refresh
// button fills its own box from its own file, each save button writes it
// back, and the Startup-folder page lists and deletes.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "app/control_ids.h"
#include "host/files.h"
#include "support/dialog_answerer.h"
#include "support/main_window_fixture.h"
#include "sysfiles/file_fixture.h"
#include "sysfiles/text_file_pages.h"

TEST(SystemFilePagesWindowTest, RefreshAndSaveButtonsOfEveryPage) {
  struct Page {
    TextFilePage page;
    int refresh, save;
    EditBox MainControls::*edit;
  };
  const Page pages[] = {
      {TextFilePage::WinIni, 18, 19, &MainControls::编辑框2},
      {TextFilePage::SystemIni, 20, 21, &MainControls::编辑框3},
      {TextFilePage::AutoexecBat, 23, 22, &MainControls::编辑框4},
      {TextFilePage::ConfigSys, 25, 24, &MainControls::编辑框5},
      {TextFilePage::BootIni, 27, 26, &MainControls::编辑框6},
      {TextFilePage::Hosts, 5, 3, &MainControls::编辑框1},
  };
  MainWindowFixture window;
  MainControls& c = window.Controls();
  for (const Page& p : pages) {
    const Text path = TextFilePagePath(p.page);
    SCOPED_TRACE(path);
    FileBackup backup(path);
    const Text content = "; 测试 " + path + "\r\n[boot loader]\r\ntimeout=12\r\n" + HostsLikeText(3000);
    ASSERT_TRUE(WriteWholeFile(path, content));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    const DWORD attributes = AttributesOf(path);
    window.Click(ButtonId(p.refresh));
    EXPECT_EQ((c.*p.edit).Content(), content);
    if (p.page == TextFilePage::BootIni) {
      EXPECT_EQ(c.编辑框7.Content(), "12");
    }
    window.Click(ButtonId(p.save));   // unchanged: byte for byte the same
    EXPECT_EQ(ReadWholeFile(path), content);
    (c.*p.edit).SetContent("edited\r\n");
    window.Click(ButtonId(p.save));
    EXPECT_EQ(ReadWholeFile(path), "edited\r\n");
    EXPECT_EQ(AttributesOf(path), attributes);
    if (p.page == TextFilePage::Hosts) {
      // 重置 does what 刷新文件 does: the file again, edits dropped.
      c.编辑框1.SetContent("unsaved");
      window.Click(ButtonId(4));
      EXPECT_EQ(c.编辑框1.Content(), "edited\r\n");
    }
  }
}

// A save that cannot replace the file leaves every byte of it and says so:
// the user must not take the edits as kept.
TEST(SystemFilePagesWindowTest, AFailedSaveKeepsTheFileAndSaysSo) {
  MainWindowFixture window;
  MainControls& c = window.Controls();
  const Text path = TextFilePagePath(TextFilePage::Hosts);
  FileBackup backup(path);
  const Text content = HostsLikeText(2000);
  ASSERT_TRUE(WriteWholeFile(path, content));
  window.Click(ButtonId(5));
  c.编辑框1.SetContent("edited\r\n");
  {
    // Another program holds the file and lets nobody write or delete it.
    const HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    DialogAnswerer answerer({{IDOK, ""}});
    window.Click(ButtonId(3));
    CloseHandle(holder);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].message, "文件未能保存，原文件保持不变。");
  }
  EXPECT_EQ(ReadWholeFile(path), content);
  window.Click(ButtonId(3));   // released: the edits are saved
  EXPECT_EQ(ReadWholeFile(path), "edited\r\n");
}

TEST(SystemFilePagesWindowTest, StartupFolderRefreshAndDelete) {
  char buffer[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, buffer, CSIDL_STARTUP, TRUE));
  const Text file = GetSpecialFolder(kFolderStartup) + "veltro_window_test.lnk";
  ASSERT_TRUE(WriteWholeFile(file, "x"));
  MainWindowFixture window;
  ResultList& list = window.Controls().超级列表框7;
  window.Click(ButtonId(17));
  int row = -1;
  for (int r = 0; r < list.RowCount(); ++r) {
    if (list.GetCellText(r, 2) == file) row = r;
  }
  ASSERT_GE(row, 0);
  EXPECT_EQ(list.GetCellText(row, 0), file);
  window.FocusRow(list, row);
  {
    DialogAnswerer answerer({{IDYES, ""}});
    window.Click(ButtonId(16));
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].message, "是否删除文件\r\n" + file);
  }
  EXPECT_EQ(ReadWholeFile(file), "<missing>");
  for (int r = 0; r < list.RowCount(); ++r) EXPECT_NE(list.GetCellText(r, 2), file);
  DeleteFileA(file.c_str());
}

namespace {

double ProcessCpuMs() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ms = [](FILETIME t) { return static_cast<double>((uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime) / 1e4; };
  return ms(kernel) + ms(user);
}

// Longest time the window went without servicing its timer during a load.
DWORD g_lastTick = 0;
DWORD g_longestGap = 0;
void CALLBACK NoteTick(HWND, UINT, UINT_PTR, DWORD) {
  const DWORD now = GetTickCount();
  if (g_lastTick != 0 && now - g_lastTick > g_longestGap) g_longestGap = now - g_lastTick;
  g_lastTick = now;
}

}  // namespace

TEST(SystemFilePagesWindowTest, LargeHostsFileThroughTheWindow) {
  const Text path = TextFilePagePath(TextFilePage::Hosts);
  FileBackup backup(path);
  const Text content = HostsLikeText(4 * 1024 * 1024);
  ASSERT_TRUE(WriteWholeFile(path, content));
  MainWindowFixture window(/*shown=*/true);
  window.ShowPage(TabId(1), 3);   // "HOSTS文件"
  window.Pump();
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, NoteTick);
  g_lastTick = 0;
  g_longestGap = 0;
  const double cpuStart = ProcessCpuMs();
  const DWORD start = GetTickCount();
  window.Click(ButtonId(5));
  const DWORD loaded = GetTickCount();
  const double cpuLoaded = ProcessCpuMs();
  KillTimer(nullptr, timer);
  EXPECT_EQ(window.Controls().编辑框1.Content(), content);
  window.Click(ButtonId(3));
  const DWORD saved = GetTickCount();
  EXPECT_EQ(ReadWholeFile(path), content);
  std::printf("4 MiB hosts through the window: load %lu ms (cpu %.0f ms, longest unserviced %lu ms), save %lu ms\n",
              static_cast<unsigned long>(loaded - start), cpuLoaded - cpuStart, static_cast<unsigned long>(g_longestGap),
              static_cast<unsigned long>(saved - loaded));

  // The box is off the screen while it fills: it comes back, with the end
  // of the text in view and the focus it had. "重置" empties a full box a
  // few thousand lines at a time; nothing of the old text stays behind.
  const HWND box = window.Controls().编辑框1.Handle();
  const Text shorter = HostsLikeText(1024 * 1024) + "10.0.0.1 veltro-last-line\r\n";
  ASSERT_TRUE(WriteWholeFile(path, shorter));
  // As a keyboard would: the focus stays in the box when the reload starts.
  SetFocus(box);
  const HWND reset = window.Control(ButtonId(4));
  SendMessageA(GetParent(box), WM_COMMAND, MAKEWPARAM(ButtonId(4), BN_CLICKED), reinterpret_cast<LPARAM>(reset));
  window.Pump();
  EXPECT_EQ(window.Controls().编辑框1.Content(), shorter);
  EXPECT_TRUE(IsWindowVisible(box));
  EXPECT_EQ(GetFocus(), box);
  const LRESULT lines = SendMessageA(box, EM_GETLINECOUNT, 0, 0);
  EXPECT_GT(SendMessageA(box, EM_GETFIRSTVISIBLELINE, 0, 0), lines - 40) << "the end is in view";
}
