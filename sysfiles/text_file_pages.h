// The six pages that show a system file in an edit box: where each file
// lives, and its loading and saving.
#pragma once

#include "ui/controls.h"

enum class TextFilePage { WinIni, SystemIni, AutoexecBat, ConfigSys, BootIni, Hosts };

// The page's file: Windows folder + "win.ini", "system.ini" or "Config.sys";
// drive root of the Windows folder + "AUTOEXEC.BAT" or "boot.ini"; System
// folder + "drivers\etc\hosts". "" when the folder is unknown.
Text TextFilePagePath(TextFilePage page);

// Loads the page's file into its edit box (boot.ini's timeout also into
// bootTimeout, when given); a load already running for the page is not
// started again.
void LoadSystemFile(TextFilePage page, EditBox& edit, EditBox* bootTimeout = nullptr);
// Saves the edit box into the page's file, or says why it will not.
void SaveSystemFile(TextFilePage page, EditBox& edit);
