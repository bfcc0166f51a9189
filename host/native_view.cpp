#include "host/native_view.h"

#include "host/system_functions.h"

#ifdef _WIN64

bool OnSixtyFourBitWindows() { return true; }
REGSAM NativeViewAccess() { return 0; }
LONG DeleteKeyInNativeView(HKEY parent, const char* subkey) { return RegDeleteKeyA(parent, subkey); }
NativeFileView::NativeFileView() {}
NativeFileView::~NativeFileView() {}

#else  // the 32-bit build: native only when WOW64 says so

namespace {

using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
using DeleteKeyExFunction = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);
using DisableRedirectionFunction = BOOL(WINAPI*)(PVOID*);
using RevertRedirectionFunction = BOOL(WINAPI*)(PVOID);

// Windows 2000 has no IsWow64Process: no WOW64 either.
bool RunsUnderWow64() {
  static const bool wow64 = [] {
    const auto isWow64 = SystemFunction<IsWow64ProcessFunction>("kernel32.dll", "IsWow64Process");
    BOOL result = FALSE;
    return isWow64 != nullptr && isWow64(GetCurrentProcess(), &result) && result;
  }();
  return wow64;
}

}  // namespace

bool OnSixtyFourBitWindows() { return RunsUnderWow64(); }

REGSAM NativeViewAccess() { return RunsUnderWow64() ? KEY_WOW64_64KEY : 0; }

LONG DeleteKeyInNativeView(HKEY parent, const char* subkey) {
  if (RunsUnderWow64()) {
    // Every 64-bit Windows has RegDeleteKeyEx; RegDeleteKey would delete in
    // the 32-bit view.
    static const auto deleteKeyEx = SystemFunction<DeleteKeyExFunction>("advapi32.dll", "RegDeleteKeyExA");
    if (deleteKeyEx != nullptr) return deleteKeyEx(parent, subkey, KEY_WOW64_64KEY, 0);
  }
  return RegDeleteKeyA(parent, subkey);
}

NativeFileView::NativeFileView() {
  if (!RunsUnderWow64()) return;
  static const auto disable =
      SystemFunction<DisableRedirectionFunction>("kernel32.dll", "Wow64DisableWow64FsRedirection");
  turnedOff_ = disable != nullptr && disable(&previous_);
}

NativeFileView::~NativeFileView() {
  if (!turnedOff_) return;
  static const auto revert =
      SystemFunction<RevertRedirectionFunction>("kernel32.dll", "Wow64RevertWow64FsRedirection");
  if (revert != nullptr) revert(previous_);
}

#endif
