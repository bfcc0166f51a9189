#include "ui/edit_streaming.h"

#include <algorithm>
#include <chrono>
#include <climits>

#include "ui/redraw_pause.h"

namespace {
constexpr std::size_t kFirstPieceBytes = 64 * 1024;
// Small enough that one insertion stays within its time on a slow machine
// even once the box holds megabytes.
constexpr std::size_t kSmallestPieceBytes = 4 * 1024;
constexpr std::size_t kLargestPieceBytes = 1024 * 1024;
}  // namespace

EditFiller::EditFiller(EditBox& edit)
    : handle_(edit.Handle()),
      wasReadOnly_((GetWindowLongPtrA(edit.Handle(), GWL_STYLE) & ES_READONLY) != 0),
      pieceBytes_(kFirstPieceBytes),
      lastShown_(GetTickCount()) {
  edit.SetContent(Text());
  if (!wasReadOnly_) SendMessageA(handle_, EM_SETREADONLY, TRUE, 0);
}

EditFiller::~EditFiller() {
  ShowEnd();
  if (!wasReadOnly_) SendMessageA(handle_, EM_SETREADONLY, FALSE, 0);
}

void EditFiller::Append(const Text& piece) {
  if (piece.empty()) return;
  const auto start = std::chrono::steady_clock::now();
  {
    RedrawPause pause(handle_, RedrawPause::OnResume::Quiet);
    // Positions beyond the end are clamped to it: no need to ask for the length.
    SendMessageA(handle_, EM_SETSEL, INT_MAX, INT_MAX);
    SendMessageA(handle_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece.c_str()));
  }
  const DWORD now = GetTickCount();
  if (now - lastShown_ >= kShowInterval && IsWindowVisible(handle_)) {
    lastShown_ = now;
    ShowEnd();
  } else {
    // Keeping the end in view scrolled the box while it could not draw, which
    // leaves all of it to be redrawn: a visible box keeps showing what it
    // showed until the next redraw instead.
    ValidateRect(handle_, nullptr);
  }

  // The next piece in proportion to what this one took; the box's cost per
  // insertion grows with its text, so the pieces shrink towards the end.
  const double took = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  const double fitting = static_cast<double>(piece.size()) * kPieceTime / std::max(took, 1.0);
  pieceBytes_ = std::clamp(static_cast<std::size_t>(fitting), kSmallestPieceBytes, kLargestPieceBytes);
}

void EditFiller::ShowEnd() {
  SendMessageA(handle_, EM_SCROLLCARET, 0, 0);
  InvalidateRect(handle_, nullptr, TRUE);
}
