// The six pages that show a system file: where each file lives and which
// edit box shows it.
#pragma once

#include "app/handlers.h"

// The page's file: Windows folder + "win.ini", "system.ini" or "Config.sys";
// drive root of the Windows folder + "AUTOEXEC.BAT" or "boot.ini"; System
// folder + "drivers\etc\hosts". "" when the folder is unknown.
Text TextFilePagePath(TextFilePage page);
EditBox& TextFilePageEdit(MainControls& c, TextFilePage page);
