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
// about kPieceTime, measured on the pieces so far, so that the caller
// services the window between pieces well within a tenth of a second.
// Drawing a box scrolled to the end of a long text walks its lines from the
// top (tens of milliseconds at some megabytes), so a visible box is redrawn
// at most every kShowInterval while it fills; the finished text is always
// shown.
#pragma once

#include <windows.h>

#include <cstddef>

#include "ui/controls.h"

class EditFiller {
 public:
  explicit EditFiller(EditBox& edit);
  ~EditFiller();
  EditFiller(const EditFiller&) = delete;
  EditFiller& operator=(const EditFiller&) = delete;

  void Append(const Text& piece);
  std::size_t SuggestedPieceBytes() const { return pieceBytes_; }

  static constexpr double kPieceTime = 50.0;    // milliseconds
  static constexpr DWORD kShowInterval = 1000;  // milliseconds

 private:
  void ShowEnd();

  HWND handle_;
  bool wasReadOnly_;
  std::size_t pieceBytes_;
  DWORD lastShown_;
};
