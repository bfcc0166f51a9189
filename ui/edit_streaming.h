// Fills a multi-line edit box with a long text in a few large pieces.
//
// The edit control lays out every inserted line, and reading its length
// converts the whole text, so appending small pieces one by one costs time
// that grows with the square of the text. The filler empties the box, keeps
// it read-only while it fills it (the user's typing would land inside the
// text being loaded), and inserts each piece at the end. Emptying a box that
// holds megabytes is one long call too: its lines go a few thousand at a
// time, with the caller's pacer letting the window answer between.
//
// A box that may be seen is taken off the screen while it fills: every
// insertion into a box on screen also works out what to redraw and where the
// caret goes, which made a long load a third slower, and redrawing a box
// that holds megabytes takes tens of milliseconds each time. The filled box
// comes back scrolled to the end, the end kept in view as a growing text
// would show it.
//
// The cost of one insertion grows with the text already in the box, so the
// filler also suggests how much to hand it next: as much as it takes in
// about kPieceTime, measured on the pieces so far, so that the caller
// services the window between pieces well within a tenth of a second.
#pragma once

#include <windows.h>

#include <cstddef>

#include "ui/controls.h"
#include "ui/event_pacer.h"

class EditFiller {
 public:
  EditFiller(EditBox& edit, EventPacer& pacer);
  ~EditFiller();
  EditFiller(const EditFiller&) = delete;
  EditFiller& operator=(const EditFiller&) = delete;

  void Append(const Text& piece);
  std::size_t SuggestedPieceBytes() const { return pieceBytes_; }

  static constexpr double kPieceTime = 50.0;   // milliseconds

 private:
  HWND handle_;
  bool wasReadOnly_;
  bool wasShown_;
  bool hadFocus_;
  std::size_t pieceBytes_;
};
