// Fills a multi-line edit box with a long text in a few large pieces.
//
// The edit control lays out every inserted line, and reading its length
// converts the whole text, so appending small pieces one by one costs time
// that grows with the square of the text. The filler empties the box, keeps
// it read-only while it fills it (the user's typing would land inside the
// text being loaded), inserts each piece at the end with drawing paused and
// keeps the end in view, as a growing text would show.
#pragma once

#include "app/controls.h"

class EditFiller {
 public:
  explicit EditFiller(EditBox& edit);
  ~EditFiller();
  EditFiller(const EditFiller&) = delete;
  EditFiller& operator=(const EditFiller&) = delete;

  void Append(const Text& piece);

 private:
  HWND handle_;
  bool wasReadOnly_;
};
