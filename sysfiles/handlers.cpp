#include "app/handlers.h"

#include "host/files.h"
#include "sysfiles/startup_folder.h"

// LoadTextFilePage and SaveTextFilePage live in text_file_pages.cpp.
void OnStartupFolderRefresh(MainControls& c) {
  LoadStartupFolderPage(c.超级列表框7, GetSpecialFolder(kFolderStartup));
}

void OnStartupFolderDelete(MainControls& c) { DeleteStartupFolderFile(c.超级列表框7); }
