// Loading a file into a real edit box and saving it back: nothing lost,
// attributes kept, unfaithful texts never written, nested loads refused.
#include <gtest/gtest.h>

#include "sysfiles/file_fixture.h"
#include "sysfiles/text_file.h"
#include "support/test_window.h"

namespace {

constexpr DWORD kReadOnlyHiddenSystem = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// A two-byte character whose first byte ends the first block.
Text StraddlingText() {
  Text text(1023, 'a');
  text += "\xD6\xD0";   // 中 at 1023..1024
  text += "\r\nend\r\n";
  return text;
}

Text LoadInto(EditBox& edit, const Text& path, TextFileState& state) {
  BlockFileReader reader;
  LoadTextFile(edit, path, reader, state);
  EXPECT_FALSE(state.loading);
  EXPECT_FALSE(reader.IsOpen());
  return edit.Content();
}

}  // namespace

TEST(TextFileTest, LoadThenSaveKeepsEveryByteAndTheAttributes) {
  struct Case {
    const char* name;
    Text content;
  };
  const Case cases[] = {
      {"empty", ""},
      {"one block", Text(1024, 'x')},
      {"one more byte", Text(1024, 'x') + "y"},
      {"straddling", StraddlingText()},
      {"unix lines and lone cr", "a\nb\rc\r\r\nd"},
      {"gbk", "[boot loader]\r\n; 注释：中文\r\ntimeout=30\r\n"},
      {"several blocks", HostsLikeText(70000)},   // more than one piece for the box
  };
  TestFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Text path = folder.Path() + "file.txt";
    ASSERT_TRUE(WriteWholeFile(path, c.content));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), kReadOnlyHiddenSystem));
    const DWORD attributes = AttributesOf(path);
    TestEditHost host;
    TextFileState state;
    EXPECT_EQ(LoadInto(host.Edit(), path, state), c.content);
    EXPECT_TRUE(state.faithful);
    EXPECT_EQ(SaveTextFile(host.Edit(), path, state), SaveResult::kSaved);
    EXPECT_EQ(ReadWholeFile(path), c.content);
    EXPECT_EQ(AttributesOf(path), attributes);
    EXPECT_EQ(attributes & kReadOnlyHiddenSystem, kReadOnlyHiddenSystem);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

TEST(TextFileTest, EditsAreWrittenAndANewFileGetsNoAttributes) {
  TestFolder folder;
  const Text path = folder.Path() + "new.txt";
  TestEditHost host;
  TextFileState state;
  EXPECT_EQ(LoadInto(host.Edit(), path, state), "");
  EXPECT_TRUE(state.faithful);   // nothing there to lose
  host.Edit().SetContent("127.0.0.1 localhost\r\n");
  EXPECT_EQ(SaveTextFile(host.Edit(), path, state), SaveResult::kSaved);
  EXPECT_EQ(ReadWholeFile(path), "127.0.0.1 localhost\r\n");
  EXPECT_EQ(AttributesOf(path) & kReadOnlyHiddenSystem, 0u);

  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  host.Edit().SetContent("changed");
  EXPECT_EQ(SaveTextFile(host.Edit(), path, state), SaveResult::kSaved);
  EXPECT_EQ(ReadWholeFile(path), "changed");
  EXPECT_EQ(AttributesOf(path) & kReadOnlyHiddenSystem, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(TextFileTest, TextTheBoxCannotHoldIsShownButNeverWritten) {
  struct Case {
    const char* name;
    Text content;
    Text shown;
  };
  const Text beforeZero = Text(1000, 'a');
  const Case cases[] = {
      // The block with the zero byte stops there; the next block follows.
      {"zero byte", beforeZero + Text(1, '\0') + Text(23, 'b') + "tail", beforeZero + "tail"},
      {"invalid pair", Text("a\x81") + "0b", ""},   // shown as the box converts it
  };
  TestFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Text path = folder.Path() + "odd.bin";
    ASSERT_TRUE(WriteWholeFile(path, c.content));
    TestEditHost host;
    TextFileState state;
    const Text shown = LoadInto(host.Edit(), path, state);
    if (!c.shown.empty()) {
      EXPECT_EQ(shown, c.shown);
    }
    EXPECT_FALSE(state.faithful);
    EXPECT_EQ(SaveTextFile(host.Edit(), path, state), SaveResult::kRefusedUnfaithful);
    EXPECT_EQ(ReadWholeFile(path), c.content);
  }

  // A file that exists but cannot be read is not replaced by an empty box.
  const Text locked = folder.Path() + "locked.txt";
  ASSERT_TRUE(WriteWholeFile(locked, "keep me"));
  HANDLE holder = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  TestEditHost host;
  TextFileState state;
  EXPECT_EQ(LoadInto(host.Edit(), locked, state), "");
  CloseHandle(holder);
  EXPECT_EQ(SaveTextFile(host.Edit(), locked, state), SaveResult::kRefusedUnfaithful);
  EXPECT_EQ(ReadWholeFile(locked), "keep me");

  // No folder known: nothing is read, nothing written.
  EXPECT_EQ(LoadInto(host.Edit(), "", state), "");
  EXPECT_EQ(SaveTextFile(host.Edit(), "", state), SaveResult::kRefusedUnfaithful);
}

namespace {

// What a user's click does while the load services the window.
struct NestedClick {
  EditBox* edit;
  Text path;
  BlockFileReader* reader;
  TextFileState* state;
  int calls = 0;
  SaveResult saveResult = SaveResult::kSaved;
};
NestedClick* g_click = nullptr;

void CALLBACK ClickDuringLoad(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (!g_click) return;
  ++g_click->calls;
  LoadTextFile(*g_click->edit, g_click->path, *g_click->reader, *g_click->state);   // ignored
  g_click->saveResult = SaveTextFile(*g_click->edit, g_click->path, *g_click->state);
}

}  // namespace

TEST(TextFileTest, SecondLoadAndSaveDuringALoadAreRefused) {
  TestFolder folder;
  const Text path = folder.Path() + "hosts";
  const Text content = HostsLikeText(600 * 1024);
  ASSERT_TRUE(WriteWholeFile(path, content));
  TestEditHost host;
  BlockFileReader shared;
  TextFileState state;
  NestedClick click{&host.Edit(), path, &shared, &state};
  g_click = &click;
  SetTimer(nullptr, 0, 1, ClickDuringLoad);
  LoadTextFile(host.Edit(), path, shared, state);
  g_click = nullptr;
  EXPECT_EQ(click.calls, 1);
  EXPECT_EQ(click.saveResult, SaveResult::kRefusedLoading);
  EXPECT_EQ(host.Edit().Content(), content);   // not doubled, not cut
  EXPECT_TRUE(state.faithful);
  EXPECT_EQ(ReadWholeFile(path), content);
}
