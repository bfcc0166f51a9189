#include "app/handlers.h"

// Not built yet: bound, doing nothing.
void OnStartupFolderRefresh(MainControls&) {}
void OnStartupFolderDelete(MainControls&) {}
void LoadTextFilePage(MainControls&, TextFilePage) {}
void SaveTextFilePage(MainControls&, TextFilePage) {}
