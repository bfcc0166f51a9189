// Included first in every test program (a compile option): the tests seed,
// read and remove keys in the machine's native registry view, the one the
// product works in, whichever build they are.
//
// A 32-bit test program on 64-bit Windows would otherwise put its seeded Run
// values into the Wow6432Node copy and check the product against entries the
// product rightly does not see there. Each registry function that takes a key
// path is replaced here by one that asks for the native view; a path that
// names Wow6432Node itself still reaches the 32-bit copy. On 64-bit Windows
// the flag is what a 64-bit program gets anyway, and 32-bit Windows ignores it.
// The functions that work on an open handle stay as they are: the handle
// keeps the view it was opened in.
#pragma once

#include <windows.h>

namespace native_registry {

constexpr REGSAM kNative = KEY_WOW64_64KEY;

inline LONG OpenKeyExA(HKEY root, LPCSTR key, DWORD options, REGSAM access, PHKEY result) {
  return RegOpenKeyExA(root, key, options, access | kNative, result);
}
inline LONG OpenKeyExW(HKEY root, LPCWSTR key, DWORD options, REGSAM access, PHKEY result) {
  return RegOpenKeyExW(root, key, options, access | kNative, result);
}
inline LONG CreateKeyExA(HKEY root, LPCSTR key, DWORD reserved, LPSTR klass, DWORD options, REGSAM access,
                         const SECURITY_ATTRIBUTES* security, PHKEY result, LPDWORD disposition) {
  return RegCreateKeyExA(root, key, reserved, klass, options, access | kNative,
                         const_cast<SECURITY_ATTRIBUTES*>(security), result, disposition);
}
inline LONG CreateKeyExW(HKEY root, LPCWSTR key, DWORD reserved, LPWSTR klass, DWORD options, REGSAM access,
                         const SECURITY_ATTRIBUTES* security, PHKEY result, LPDWORD disposition) {
  return RegCreateKeyExW(root, key, reserved, klass, options, access | kNative,
                         const_cast<SECURITY_ATTRIBUTES*>(security), result, disposition);
}
inline LONG DeleteKeyA(HKEY root, LPCSTR key) { return RegDeleteKeyExA(root, key, kNative, 0); }
inline LONG DeleteKeyW(HKEY root, LPCWSTR key) { return RegDeleteKeyExW(root, key, kNative, 0); }

// The path-taking forms below open the key in the native view and do the
// handle form's work on it.
template <typename Char, typename Work>
LONG OnKey(HKEY root, const Char* key, REGSAM access, Work work) {
  HKEY handle = nullptr;
  LONG status;
  if constexpr (sizeof(Char) == 1) {
    status = RegOpenKeyExA(root, key, 0, access | kNative, &handle);
  } else {
    status = RegOpenKeyExW(root, key, 0, access | kNative, &handle);
  }
  if (status != ERROR_SUCCESS) return status;
  status = work(handle);
  RegCloseKey(handle);
  return status;
}

inline LONG DeleteTreeA(HKEY root, LPCSTR key) {
  const LONG status = OnKey(root, key, KEY_ALL_ACCESS, [](HKEY h) { return RegDeleteTreeA(h, nullptr); });
  if (status != ERROR_SUCCESS || key == nullptr || *key == '\0') return status;
  return RegDeleteKeyExA(root, key, kNative, 0);
}
inline LONG DeleteTreeW(HKEY root, LPCWSTR key) {
  const LONG status = OnKey(root, key, KEY_ALL_ACCESS, [](HKEY h) { return RegDeleteTreeW(h, nullptr); });
  if (status != ERROR_SUCCESS || key == nullptr || *key == L'\0') return status;
  return RegDeleteKeyExW(root, key, kNative, 0);
}
inline LONG SetKeyValueA(HKEY root, LPCSTR key, LPCSTR name, DWORD type, LPCVOID data, DWORD size) {
  HKEY handle = nullptr;
  LONG status = RegCreateKeyExA(root, key == nullptr ? "" : key, 0, nullptr, 0, KEY_SET_VALUE | kNative,
                                nullptr, &handle, nullptr);
  if (status != ERROR_SUCCESS) return status;
  status = RegSetValueExA(handle, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(handle);
  return status;
}
inline LONG SetKeyValueW(HKEY root, LPCWSTR key, LPCWSTR name, DWORD type, LPCVOID data, DWORD size) {
  HKEY handle = nullptr;
  LONG status = RegCreateKeyExW(root, key == nullptr ? L"" : key, 0, nullptr, 0, KEY_SET_VALUE | kNative,
                                nullptr, &handle, nullptr);
  if (status != ERROR_SUCCESS) return status;
  status = RegSetValueExW(handle, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(handle);
  return status;
}
inline LONG GetValueA(HKEY root, LPCSTR key, LPCSTR name, DWORD flags, LPDWORD type, PVOID data, LPDWORD size) {
  return OnKey(root, key, KEY_QUERY_VALUE,
               [&](HKEY h) { return RegGetValueA(h, nullptr, name, flags, type, data, size); });
}
inline LONG DeleteKeyValueA(HKEY root, LPCSTR key, LPCSTR name) {
  return OnKey(root, key, KEY_SET_VALUE, [&](HKEY h) { return RegDeleteValueA(h, name); });
}
inline LONG DeleteKeyValueW(HKEY root, LPCWSTR key, LPCWSTR name) {
  return OnKey(root, key, KEY_SET_VALUE, [&](HKEY h) { return RegDeleteValueW(h, name); });
}

}  // namespace native_registry

#define RegOpenKeyExA native_registry::OpenKeyExA
#define RegOpenKeyExW native_registry::OpenKeyExW
#define RegCreateKeyExA native_registry::CreateKeyExA
#define RegCreateKeyExW native_registry::CreateKeyExW
#define RegDeleteKeyA native_registry::DeleteKeyA
#define RegDeleteKeyW native_registry::DeleteKeyW
#define RegDeleteTreeA native_registry::DeleteTreeA
#define RegDeleteTreeW native_registry::DeleteTreeW
#define RegSetKeyValueA native_registry::SetKeyValueA
#define RegSetKeyValueW native_registry::SetKeyValueW
#define RegGetValueA native_registry::GetValueA
#define RegDeleteKeyValueA native_registry::DeleteKeyValueA
#define RegDeleteKeyValueW native_registry::DeleteKeyValueW
