#include "ui/edit_streaming.h"

#include <algorithm>
#include <chrono>
#include <climits>

namespace {
// Small enough for a slow machine; the pieces grow from there.
constexpr std::size_t kFirstPieceBytes = 16 * 1024;
// Small enough that one insertion stays within its time on a slow machine
// even once the box holds megabytes.
constexpr std::size_t kSmallestPieceBytes = 4 * 1024;
constexpr std::size_t kLargestPieceBytes = 1024 * 1024;

// A few milliseconds' worth of lines to take out of a full box at once.
constexpr LRESULT kLinesEmptiedAtOnce = 4000;

LONG_PTR StyleOf(HWND window) { return GetWindowLongPtrA(window, GWL_STYLE); }

void EmptyInPieces(HWND box, EventPacer& pacer) {
  while (SendMessageA(box, EM_GETLINECOUNT, 0, 0) > kLinesEmptiedAtOnce) {
    const LRESULT end = SendMessageA(box, EM_LINEINDEX, kLinesEmptiedAtOnce, 0);
    if (end <= 0) break;
    SendMessageA(box, EM_SETSEL, 0, end);
    SendMessageA(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
    pacer.LetEventsThrough();
  }
}
}  // namespace

EditFiller::EditFiller(EditBox& edit, EventPacer& pacer)
    : handle_(edit.Handle()),
      wasReadOnly_((StyleOf(edit.Handle()) & ES_READONLY) != 0),
      wasShown_((StyleOf(edit.Handle()) & WS_VISIBLE) != 0),
      hadFocus_(GetFocus() == edit.Handle()),
      pieceBytes_(kFirstPieceBytes) {
  // Hidden first: emptying a box is cheaper off the screen too.
  if (wasShown_) ShowWindow(handle_, SW_HIDE);
  EmptyInPieces(handle_, pacer);
  edit.SetContent(Text());
  if (!wasReadOnly_) SendMessageA(handle_, EM_SETREADONLY, TRUE, 0);
}

EditFiller::~EditFiller() {
  if (!wasReadOnly_) SendMessageA(handle_, EM_SETREADONLY, FALSE, 0);
  SendMessageA(handle_, EM_SCROLLCARET, 0, 0);
  if (!wasShown_) return;
  ShowWindow(handle_, SW_SHOWNA);
  // Hiding the box handed its focus to the page; unless the user has put it
  // elsewhere meanwhile, it comes back.
  const HWND focus = GetFocus();
  if (hadFocus_ && (focus == nullptr || focus == GetParent(handle_))) SetFocus(handle_);
}

void EditFiller::Append(const Text& piece) {
  if (piece.empty()) return;
  const auto start = std::chrono::steady_clock::now();
  // Positions beyond the end are clamped to it: no need to ask for the length.
  SendMessageA(handle_, EM_SETSEL, INT_MAX, INT_MAX);
  SendMessageA(handle_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece.c_str()));

  // The next piece in proportion to what this one took; the box's cost per
  // insertion grows with its text, so the pieces shrink towards the end.
  const double took = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  // Growth is held to a quarter a step: a piece larger by half may take
  // twice as long, and the next one would overshoot.
  const double fitting = static_cast<double>(piece.size()) * kPieceTime / std::max(took, 1.0);
  const double next = std::min(fitting, static_cast<double>(piece.size()) * 1.25);
  pieceBytes_ = std::clamp(static_cast<std::size_t>(next), kSmallestPieceBytes, kLargestPieceBytes);
}
