// Facts about the machine and this run that a report names in its header.
#pragma once

#include "base/text_ops.h"

struct WindowsVersion {
  unsigned major = 0, minor = 0, build = 0;
  bool workstation = true;   // a desktop edition, not a server one
  Text servicePack;          // "Service Pack 3", "" for none
};

WindowsVersion CurrentWindowsVersion();
// The name Windows is sold under for that version ("Windows XP"), "" for
// one this table does not know.
Text WindowsName(const WindowsVersion& version);
// The account this program runs as, "" when Windows does not say.
Text CurrentUserName();
// Whether this process holds the Administrators group enabled in its
// token: what it may change without being refused.
bool RunsAsAdministrator();
// "2026-12-09 11:50:03" and "20261209-115003" of the local time now.
struct LocalStamp {
  Text readable;
  Text compact;
};
LocalStamp LocalTimeStamp();
