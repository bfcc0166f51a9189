// Answers the program's real message boxes and input boxes the way a user
// would: a watcher thread finds each dialog of this process as it opens,
// records what it shows and presses the planned button.
#pragma once

#include <windows.h>

#include <atomic>
#include <vector>

#include "base/text_ops.h"
#include "support/background_thread.h"

struct DialogAnswer {
  int buttonId;          // IDYES, IDNO, IDOK, IDCANCEL
  Text inputText;        // typed into the dialog's edit field first, when it has one
};

struct SeenDialog {
  Text caption;
  Text message;          // the message box text ("" for an input box)
  bool hasYes = false, hasNo = false, hasOk = false, hasCancel = false;
  HICON icon = nullptr;   // the icon the box shows, nullptr for none
  bool hasEdit = false;
  Text okText, cancelText;   // captions of the IDOK and IDCANCEL buttons
};

// What a Yes/No box of style 0x44 and of style 4 shows: exactly the buttons
// Yes and No, with the information icon and with none.
bool IsYesNoWithInformationIcon(const SeenDialog& seen);
bool IsYesNoWithoutIcon(const SeenDialog& seen);

class DialogAnswerer {
 public:
  explicit DialogAnswerer(std::vector<DialogAnswer> answers);
  ~DialogAnswerer();
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;

  // Dialogs seen so far (each answered, or left open when no answer was left).
  std::vector<SeenDialog> Seen() const;

 private:
  void Watch();
  std::vector<DialogAnswer> answers_;
  std::vector<SeenDialog> seen_;
  mutable CriticalSection lock_;
  std::atomic<bool> stop_{false};
  BackgroundThread thread_;   // last: starts once the rest is ready
};
