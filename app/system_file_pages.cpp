// The system file pages: the Startup folder list and the six file pages,
// each file page with its edit box.
#include "app/handlers.h"

#include "host/files.h"
#include "sysfiles/startup_folder.h"

namespace {

struct FilePageEdit {
  TextFilePage page;
  EditBox MainControls::*edit;
};

const FilePageEdit kFilePageEdits[] = {
    {TextFilePage::WinIni, &MainControls::编辑框2},      {TextFilePage::SystemIni, &MainControls::编辑框3},
    {TextFilePage::AutoexecBat, &MainControls::编辑框4}, {TextFilePage::ConfigSys, &MainControls::编辑框5},
    {TextFilePage::BootIni, &MainControls::编辑框6},     {TextFilePage::Hosts, &MainControls::编辑框1},
};

}  // namespace

EditBox& TextFilePageEdit(MainControls& c, TextFilePage page) {
  for (const FilePageEdit& entry : kFilePageEdits) {
    if (entry.page == page) return c.*entry.edit;
  }
  return c.编辑框1;   // every page is in the table
}

void OnStartupFolderRefresh(MainControls& c) {
  LoadStartupFolderPage(c.超级列表框7, GetSpecialFolder(kFolderStartup));
}

void OnStartupFolderDelete(MainControls& c) { DeleteStartupFolderFile(c.超级列表框7); }

void LoadTextFilePage(MainControls& c, TextFilePage page) { LoadSystemFile(page, TextFilePageEdit(c, page), &c.编辑框7); }
void SaveTextFilePage(MainControls& c, TextFilePage page) { SaveSystemFile(page, TextFilePageEdit(c, page)); }
