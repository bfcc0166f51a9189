#include "host/system_facts.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "host/scoped_handles.h"

namespace {

struct KnownWindows {
  unsigned major, minor;
  bool workstation;
  const char* name;
};

// XP x64 and Server 2003 share 5.2; the desktop one is the x64 edition.
const KnownWindows kKnownWindows[] = {
    {5, 0, true, "Windows 2000"},           {5, 0, false, "Windows 2000 Server"},
    {5, 1, true, "Windows XP"},             {5, 2, true, "Windows XP x64"},
    {5, 2, false, "Windows Server 2003"},   {6, 0, true, "Windows Vista"},
    {6, 0, false, "Windows Server 2008"},   {6, 1, true, "Windows 7"},
    {6, 1, false, "Windows Server 2008 R2"}, {6, 2, true, "Windows 8"},
    {6, 2, false, "Windows Server 2012"},   {6, 3, true, "Windows 8.1"},
    {6, 3, false, "Windows Server 2012 R2"}, {10, 0, true, "Windows 10"},
    {10, 0, false, "Windows Server 2016"},
};

}  // namespace

WindowsVersion CurrentWindowsVersion() {
  WindowsVersion version;
  OSVERSIONINFOEXA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return version;
  version.major = info.dwMajorVersion;
  version.minor = info.dwMinorVersion;
  version.build = info.dwBuildNumber & 0xFFFF;
  version.workstation = info.wProductType == VER_NT_WORKSTATION;
  version.servicePack = info.szCSDVersion;
  return version;
}

Text WindowsName(const WindowsVersion& version) {
  for (const KnownWindows& known : kKnownWindows) {
    if (known.major == version.major && known.minor == version.minor && known.workstation == version.workstation) {
      return known.name;
    }
  }
  return Text();
}

Text CurrentUserName() {
  char name[257] = {};   // UNLEN + 1
  DWORD size = sizeof(name);
  return GetUserNameA(name, &size) ? Text(name) : Text();
}

bool RunsAsAdministrator() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  const ScopedHandle owned(token);
  DWORD size = 0;
  GetTokenInformation(token, TokenGroups, nullptr, 0, &size);
  if (size == 0) return false;
  std::vector<unsigned char> buffer(size);
  if (!GetTokenInformation(token, TokenGroups, buffer.data(), size, &size)) return false;
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  PSID sid = nullptr;
  if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0,
                                0, 0, &sid)) {
    return false;
  }
  const std::unique_ptr<void, decltype(&FreeSid)> administrators(sid, FreeSid);
  // A group kept for denying only (a filtered token) grants nothing.
  bool member = false;
  const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
  for (DWORD i = 0; i < groups->GroupCount && !member; ++i) {
    const DWORD attributes = groups->Groups[i].Attributes;
    member = EqualSid(groups->Groups[i].Sid, administrators.get()) && (attributes & SE_GROUP_ENABLED) &&
             !(attributes & SE_GROUP_USE_FOR_DENY_ONLY);
  }
  return member;
}

LocalStamp LocalTimeStamp() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  char readable[32] = {}, compact[32] = {};
  std::snprintf(readable, sizeof(readable), "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
                now.wHour, now.wMinute, now.wSecond);
  std::snprintf(compact, sizeof(compact), "%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond);
  return {readable, compact};
}
