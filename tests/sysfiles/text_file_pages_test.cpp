// The six text pages: their real paths in the prefix, the boot time-out,
// and the refusal to save an unfaithful page (the window test drives the
// load and save of each page); every file is put back afterwards.
#include <gtest/gtest.h>

#include "app/handlers.h"
#include "support/dialog_answerer.h"
#include "support/test_window.h"
#include "sysfiles/file_fixture.h"
#include "sysfiles/text_file_pages.h"

namespace {

Text WindowsFolder() {
  char buffer[MAX_PATH] = {};
  GetWindowsDirectoryA(buffer, MAX_PATH);
  return Text(buffer) + "\\";
}

Text SystemFolder() {
  char buffer[MAX_PATH] = {};
  GetSystemDirectoryA(buffer, MAX_PATH);
  return Text(buffer) + "\\";
}

// The page edit boxes on hidden windows of their own.
class TextPagesTest : public testing::Test {
 protected:
  TextPagesTest() {
    EditBox* boxes[] = {&c_.编辑框1, &c_.编辑框2, &c_.编辑框3, &c_.编辑框4, &c_.编辑框5, &c_.编辑框6};
    for (std::size_t i = 0; i < 6; ++i) *boxes[i] = hosts_[i].Edit();
    c_.编辑框7 = timeout_.Edit();
  }
  TestEditHost hosts_[6];
  TestEditHost timeout_{false};
  MainControls c_;
};

}  // namespace

TEST_F(TextPagesTest, EachPageHasItsOwnFileAndBox) {
  const Text windows = WindowsFolder();
  const Text root = windows.substr(0, 3);
  struct Expected {
    TextFilePage page;
    Text path;
    EditBox* edit;
  };
  const Expected expected[] = {
      {TextFilePage::WinIni, windows + "win.ini", &c_.编辑框2},
      {TextFilePage::SystemIni, windows + "system.ini", &c_.编辑框3},
      {TextFilePage::AutoexecBat, root + "AUTOEXEC.BAT", &c_.编辑框4},
      {TextFilePage::ConfigSys, windows + "Config.sys", &c_.编辑框5},   // the Windows folder, not the root
      {TextFilePage::BootIni, root + "boot.ini", &c_.编辑框6},
      {TextFilePage::Hosts, SystemFolder() + "drivers\\etc\\hosts", &c_.编辑框1},
  };
  for (const Expected& e : expected) {
    const Text path = TextFilePagePath(e.page);
    EXPECT_EQ(ToLowerCase(path), ToLowerCase(e.path));
    EXPECT_EQ(path.substr(path.size() - 6), e.path.substr(e.path.size() - 6));   // names spelt exactly
    EXPECT_EQ(TextFilePageEdit(c_, e.page).Handle(), e.edit->Handle());
  }
}

TEST_F(TextPagesTest, BootTimeoutShownOnlyWhenPresent) {
  const Text path = TextFilePagePath(TextFilePage::BootIni);
  FileBackup backup(path);
  const struct {
    Text content;
    Text timeout;
  } cases[] = {
      {"[boot loader]\r\ntimeout=30\r\ndefault=multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS\r\n", "30"},
      {"[boot loader]\r\ndefault=multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS\r\n", ""},
      {"[operating systems]\r\ntimeout=5\r\n", ""},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(WriteWholeFile(path, c.content));
    c_.编辑框7.SetContent("stale");
    LoadTextFilePage(c_, TextFilePage::BootIni);
    EXPECT_EQ(c_.编辑框6.Content(), c.content);
    EXPECT_EQ(c_.编辑框7.Content(), c.timeout);
  }
  // The save writes the file's box only.
  c_.编辑框7.SetContent("99");
  SaveTextFilePage(c_, TextFilePage::BootIni);
  EXPECT_EQ(ReadWholeFile(path), cases[2].content);
}

TEST_F(TextPagesTest, UnfaithfulPageIsNotSavedAndSaysSo) {
  const Text path = TextFilePagePath(TextFilePage::Hosts);
  FileBackup backup(path);
  const Text content = Text("127.0.0.1 localhost\r\n") + Text(1, '\0') + "::1 localhost\r\n";
  ASSERT_TRUE(WriteWholeFile(path, content));
  LoadTextFilePage(c_, TextFilePage::Hosts);
  EXPECT_EQ(c_.编辑框1.Content(), "127.0.0.1 localhost\r\n");
  DialogAnswerer answerer({{IDOK, ""}});
  SaveTextFilePage(c_, TextFilePage::Hosts);
  ASSERT_EQ(answerer.Seen().size(), 1u);
  EXPECT_EQ(answerer.Seen()[0].caption, "Windows");
  EXPECT_EQ(ReadWholeFile(path), content);
}
