// Programs, libraries and commands Windows starts on its own from the
// registry: Run-family keys, "Windowsload", shell-object lists, Winlogon
// notification packages, Active Setup components and the autorun commands
// Explorer keeps per drive.
#pragma once

#include "ui/controls.h"
#include "scan/registry_lookups.h"

// Refills the list (columns "文件名", "文件描述", hidden "路径"). The hidden cell
// is the absolute path of what removal deletes: a value, a Notify package's
// subkey, an Active Setup component's StubPath value, or a drive's Shell key.
void ScanStartupEntries(ResultList& list);
// The keys whose values the list shows as rows.
std::vector<ValueListKey> StartupValueKeys();
// A value Windows cannot do without (the machine's Winlogon shell, the
// AppInit_DLLs list) or a switch (LoadAppInit_DLLs): its removal puts back
// what a clean Windows holds there instead of deleting it.
bool StartupValueResetOnRemoval(const RegistryEntry& value);
// Puts that back; true when the value now holds it.
bool ResetStartupValue(const RegistryEntry& value);
