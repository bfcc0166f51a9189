// Message box, input box and the few window-wide operations handlers use.
#pragma once

#include <windows.h>

#include "base/text_ops.h"

// Result codes of ShowMessageBox.
enum MessageBoxResult : int {
  kResultOk = 0, kResultCancel = 1, kResultAbort = 2, kResultRetry = 3,
  kResultIgnore = 4, kResultYes = 5, kResultNo = 6,
};

// Standard style bits: 68 = Yes/No with the information icon, 4 = Yes/No.
constexpr int kYesNoInformation = 68;
constexpr int kYesNo = 4;

// A modal message box without owner; task-modal unless system-modal is asked.
int ShowMessageBox(const Text& message, int flags, const Text& caption = "信息：");
// A modal dialog with one edit field, OK (IDOK) and Cancel (IDCANCEL). On OK
// stores the text in result and returns true; otherwise leaves it unchanged.
bool ShowInputBox(const Text& prompt, const Text& caption, const Text& initialText, Text& result);

void FocusControl(HWND control);
void RepaintNow(HWND window);
// Dispatches the messages already queued and returns; never waits. A quit
// message is left in the queue for the message loop.
void ProcessPendingEvents();
