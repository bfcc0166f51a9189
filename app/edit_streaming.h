// Fills a multi-line edit box with a long text in a few large pieces.
//
// The edit control lays out every inserted line, and reading its length
// converts the whole text, so appending small pieces one by one costs time
// that grows with the square of the text. The filler empties the box, keeps
// it read-only while it fills it (the user's typing would land inside the
// text being loaded), inserts each piece at the end with drawing paused and
// keeps the end in view, as a growing text would show.
//
// The cost of one insertion grows with the text already in the box, so the
// filler also suggests how much to hand it next: as much as it takes in
// a tenth to half a second, so that the caller can service the
// window between pieces a few times a second.
#pragma once

#include <cstddef>

#include "app/controls.h"

class EditFiller {
 public:
  explicit EditFiller(EditBox& edit);
  ~EditFiller();
  EditFiller(const EditFiller&) = delete;
  EditFiller& operator=(const EditFiller&) = delete;

  void Append(const Text& piece);
  std::size_t SuggestedPieceBytes() const { return pieceBytes_; }

 private:
  HWND handle_;
  bool wasReadOnly_;
  std::size_t pieceBytes_;
};
