// The machine's own System folder and bitness, whichever build asks: the
// 32-bit build finds WOW64 and the redirection switches at run time, and a
// 64-bit or 32-bit system is told by the system, not by the program.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/text_ops.h"
#include "host/native_view.h"

namespace {

bool SystemIsSixtyFourBit() {
  SYSTEM_INFO info = {};
  GetNativeSystemInfo(&info);
  return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
}

bool Exists(const Text& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

Text Folder(UINT (WINAPI* get)(LPSTR, UINT)) {
  char folder[MAX_PATH] = {};
  get(folder, MAX_PATH);
  return folder;
}

TEST(NativeViewTest, SixtyFourBitWindowsIsTheSystemsBitness) {
  EXPECT_EQ(OnSixtyFourBitWindows(), SystemIsSixtyFourBit());
}

// A file made in the System folder while the native view is on lands in the
// real (64-bit) folder: a 32-bit program on 64-bit Windows sees it there only
// through the native view or "sysnative", and its own System32 is SysWOW64.
TEST(NativeViewTest, FilesMadeInTheNativeViewAreInTheRealSystemFolder) {
  const Text file = Folder(GetSystemDirectoryA) + "\\veltro_native_view.txt";
  {
    NativeFileView native;
    const HANDLE made = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(made, INVALID_HANDLE_VALUE);
    CloseHandle(made);
    EXPECT_TRUE(Exists(file));
  }
  const bool redirected = sizeof(void*) == 4 && SystemIsSixtyFourBit();
  EXPECT_EQ(Exists(file), !redirected) << "outside the native view a 32-bit program on 64-bit Windows sees SysWOW64";
  if (redirected) {
    EXPECT_TRUE(Exists(Folder(GetWindowsDirectoryA) + "\\sysnative\\veltro_native_view.txt"));
  }

  NativeFileView native;
  EXPECT_TRUE(DeleteFileA(file.c_str()));
}

}  // namespace
