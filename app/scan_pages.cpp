// The pages of the startup, hook, add-on, Winsock and image-hijack lists.
#include "app/handlers.h"

#include "scan/browser_addons.h"
#include "scan/entry_removal.h"
#include "scan/image_hijacks.h"
#include "scan/shell_hooks.h"
#include "scan/startup_entries.h"
#include "scan/winsock_providers.h"

void OnStartupRefresh(MainControls& c) { ScanStartupEntries(c.超级列表框6); }
void OnStartupDelete(MainControls& c) { RemoveSelectedStartupEntries(c.超级列表框6); }
void OnBrowserRefresh(MainControls& c) { ScanBrowserAddons(c.超级列表框5); }
void OnBrowserDelete(MainControls& c) { RemoveCurrentEntry(c.超级列表框5, kBrowserAddonRemoval); }
void OnWinsockRefresh(MainControls& c) { ScanWinsockProviders(c.超级列表框2); }
void OnWinsockDelete(MainControls& c) { RemoveCurrentEntry(c.超级列表框2, kWinsockRemoval); }
void OnImageHijackRefresh(MainControls& c) { ScanImageHijacks(c.超级列表框3); }
void OnImageHijackDelete(MainControls& c) { RemoveCurrentEntry(c.超级列表框3, kImageHijackRemoval); }
void OnShellHookRefresh(MainControls& c) { ScanShellHooks(c.超级列表框4); }
void OnShellHookDelete(MainControls& c) { RemoveCurrentEntry(c.超级列表框4, kShellHookRemoval); }
