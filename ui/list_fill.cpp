#include "ui/list_fill.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<ListFill*>& ActiveFills() {
  static std::vector<ListFill*> fills;
  return fills;
}

}  // namespace

ListFill::ListFill(const ResultList& list) : handle_(list.Handle()), lastRefresh_(GetTickCount()) {
  SendMessageA(handle_, WM_SETREDRAW, FALSE, 0);
  ActiveFills().push_back(this);
}

ListFill::~ListFill() {
  auto& fills = ActiveFills();
  fills.erase(std::remove(fills.begin(), fills.end(), this), fills.end());
  // A scan nested on the same list keeps it paused until the outer one ends.
  for (ListFill* other : fills) {
    if (other->handle_ == handle_) return;
  }
  SendMessageA(handle_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(handle_, nullptr, TRUE);
}

void ListFill::Refresh() {
  const DWORD now = GetTickCount();
  if (now - lastRefresh_ < kRefreshInterval) return;
  lastRefresh_ = now;
  // The list's own visibility cannot tell: some list views take the pause
  // as being hidden. Its page can.
  if (!IsWindowVisible(GetParent(handle_))) return;
  SendMessageA(handle_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(handle_, nullptr, TRUE);
  UpdateWindow(handle_);
  SendMessageA(handle_, WM_SETREDRAW, FALSE, 0);
}

void RefreshListFills() {
  for (ListFill* fill : ActiveFills()) fill->Refresh();
}
