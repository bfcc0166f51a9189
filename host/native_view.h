// The machine's own registry and System folder, whichever build looks.
//
// 64-bit Windows shows a 32-bit program a registry in which most of
// HKEY_LOCAL_MACHINE\SOFTWARE is its 32-bit copy (Wow6432Node), and a System
// folder that is really SysWOW64. A repair tool that saw only those would
// miss every 64-bit entry and could delete in the copy Windows does not
// read. The 64-bit build sees the native view by nature; the 32-bit build
// asks for it on every key it opens, creates or deletes, and turns the
// folder redirection off around its file probes and the programs it starts.
//
// Everything that only the 32-bit build runs on 64-bit Windows is here; on
// 32-bit Windows it adds no flag and changes nothing.
#pragma once

#include <windows.h>

// true on 64-bit Windows, whichever build asks.
bool OnSixtyFourBitWindows();

// The access bit that selects the native registry view: KEY_WOW64_64KEY for
// the 32-bit build on 64-bit Windows, 0 everywhere else.
REGSAM NativeViewAccess();

// Deletes the (empty) subkey of an open key, in the native view.
LONG DeleteKeyInNativeView(HKEY parent, const char* subkey);

// While one lives, file names this thread hands the system mean the real
// System folder. Keep it around file probes and process starts only: a DLL
// loaded meanwhile would come from the 64-bit folder.
class NativeFileView {
 public:
  NativeFileView();
  ~NativeFileView();
  NativeFileView(const NativeFileView&) = delete;
  NativeFileView& operator=(const NativeFileView&) = delete;

 private:
  void* previous_ = nullptr;
  bool turnedOff_ = false;
};
