#include "app/edit_streaming.h"

#include <chrono>
#include <climits>

namespace {
constexpr std::size_t kFirstPieceBytes = 128 * 1024;
constexpr std::size_t kSmallestPieceBytes = 64 * 1024;
constexpr std::size_t kLargestPieceBytes = 1024 * 1024;
constexpr auto kQuickInsertion = std::chrono::milliseconds(100);
constexpr auto kSlowInsertion = std::chrono::milliseconds(500);
}  // namespace

EditFiller::EditFiller(EditBox& edit)
    : handle_(edit.Handle()),
      wasReadOnly_((GetWindowLongPtrA(edit.Handle(), GWL_STYLE) & ES_READONLY) != 0),
      pieceBytes_(kFirstPieceBytes) {
  edit.SetContent(Text());
  if (!wasReadOnly_) SendMessageA(handle_, EM_SETREADONLY, TRUE, 0);
}

EditFiller::~EditFiller() {
  if (!wasReadOnly_) SendMessageA(handle_, EM_SETREADONLY, FALSE, 0);
}

void EditFiller::Append(const Text& piece) {
  if (piece.empty()) return;
  const auto start = std::chrono::steady_clock::now();
  SendMessageA(handle_, WM_SETREDRAW, FALSE, 0);
  // Positions beyond the end are clamped to it: no need to ask for the length.
  SendMessageA(handle_, EM_SETSEL, INT_MAX, INT_MAX);
  SendMessageA(handle_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece.c_str()));
  SendMessageA(handle_, WM_SETREDRAW, TRUE, 0);
  SendMessageA(handle_, EM_SCROLLCARET, 0, 0);
  InvalidateRect(handle_, nullptr, TRUE);

  // Only a piece of at least the suggested size tells how a larger one would do.
  const auto took = std::chrono::steady_clock::now() - start;
  if (took < kQuickInsertion && piece.size() >= pieceBytes_ && pieceBytes_ < kLargestPieceBytes) {
    pieceBytes_ *= 2;
  } else if (took > kSlowInsertion && pieceBytes_ > kSmallestPieceBytes) {
    pieceBytes_ /= 2;
  }
}
