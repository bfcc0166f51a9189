#include "app/handlers.h"

// Not built yet: bound, doing nothing.
void OnStartupRefresh(MainControls&) {}
void OnStartupDelete(MainControls&) {}
void OnBrowserRefresh(MainControls&) {}
void OnBrowserDelete(MainControls&) {}
void OnWinsockRefresh(MainControls&) {}
void OnWinsockDelete(MainControls&) {}
void OnImageHijackRefresh(MainControls&) {}
void OnImageHijackDelete(MainControls&) {}
void OnShellHookRefresh(MainControls&) {}
void OnShellHookDelete(MainControls&) {}
