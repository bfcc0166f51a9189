#include "app/edit_streaming.h"

#include <climits>

EditFiller::EditFiller(EditBox& edit)
    : handle_(edit.Handle()), wasReadOnly_((GetWindowLongPtrA(edit.Handle(), GWL_STYLE) & ES_READONLY) != 0) {
  edit.SetContent(Text());
  if (!wasReadOnly_) SendMessageA(handle_, EM_SETREADONLY, TRUE, 0);
}

EditFiller::~EditFiller() {
  if (!wasReadOnly_) SendMessageA(handle_, EM_SETREADONLY, FALSE, 0);
}

void EditFiller::Append(const Text& piece) {
  if (piece.empty()) return;
  SendMessageA(handle_, WM_SETREDRAW, FALSE, 0);
  // Positions beyond the end are clamped to it: no need to ask for the length.
  SendMessageA(handle_, EM_SETSEL, INT_MAX, INT_MAX);
  SendMessageA(handle_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece.c_str()));
  SendMessageA(handle_, WM_SETREDRAW, TRUE, 0);
  SendMessageA(handle_, EM_SCROLLCARET, 0, 0);
  InvalidateRect(handle_, nullptr, TRUE);
}
