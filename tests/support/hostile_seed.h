// Puts hostile data where the scanners look, the way malware would write it
// (any type, any size, names the ANSI functions may choke on), and takes it
// all out again at the end so that the suites after it find the prefix as
// it was. Also dumps registry trees, so that a test can show that a scan
// wrote nothing.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/text_ops.h"

namespace hostile {

// GBK characters whose second byte is 0x5C, the backslash.
inline const Text kTrailBackslash = "誠乗";

ByteString Bytes(const Text& text);       // without a zero
ByteString Terminated(const Text& text);  // with its zero
ByteString Dword(DWORD number);
ByteString Qword(unsigned long long number);
ByteString Filled(std::size_t length, unsigned char byte);
Text Repeat(const Text& piece, std::size_t count);

class Seed {
 public:
  Seed() = default;
  ~Seed() { Undo(); }
  Seed(const Seed&) = delete;
  Seed& operator=(const Seed&) = delete;

  // A key created for the test, removed whole at the end (a key that was
  // already there is kept; only what the test put in it goes).
  bool Key(HKEY root, const Text& key);
  // A value of any type and any bytes; removed at the end.
  bool Value(HKEY root, const Text& key, const Text& name, DWORD type, const ByteString& data);
  // Through the wide functions, which take key paths of any length (the
  // ANSI ones stop at MAX_PATH characters).
  bool WideString(HKEY root, const Text& key, const Text& name, const Text& text);
  bool String(HKEY root, const Text& key, const Text& name, const Text& text, DWORD type = REG_SZ) {
    return Value(root, key, name, type, Terminated(text));
  }
  // Replaces a value that may already exist; the old one is put back.
  bool Override(HKEY root, const Text& key, const Text& name, DWORD type, const ByteString& data);
  // The key's access list is put back at the end, whatever happens to it.
  void KeepAccess(HKEY root, const Text& key);
  // Files are the machine's real ones, as the product sees them: a 32-bit
  // test on 64-bit Windows writes the real System folder, not SysWOW64.
  // A file replaced for the test; its old bytes come back at the end.
  bool OverrideFile(const Text& path, const ByteString& bytes);
  // A file with these bytes (folders above it must exist); removed at the end,
  // attributes cleared first.
  bool File(const Text& path, const ByteString& bytes);
  bool Copy(const Text& from, const Text& to);
  void Undo();

 private:
  std::vector<std::function<void()>> undo_;
};

// Every key, value name, type and data below the key, one line each, in a
// fixed order; large data is summarised by length and checksum.
std::string DumpTree(HKEY root, const Text& key);
// The lines of `after` that are not in `before`, and the reverse, as text
// for a failure message ("" when the trees are the same).
std::string TreeDifference(const std::string& before, const std::string& after);

bool KeyExists(HKEY root, const Text& key);
bool ValueExists(HKEY root, const Text& key, const Text& name);
bool FileThere(const Text& path);

// Whether a text is whole GBK: no lead byte without its second byte.
bool WholeCharacters(const Text& text);

// The process's committed private memory in bytes.
std::size_t PrivateBytes();

}  // namespace hostile
