#include "ui/list_fill.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<ListFill*>& ActiveFills() {
  static std::vector<ListFill*> fills;
  return fills;
}

}  // namespace

ListFill::ListFill(const ResultList& list) : handle_(list.Handle()), pause_(list.Handle()), lastRefresh_(GetTickCount()) {
  ActiveFills().push_back(this);
}

ListFill::~ListFill() {
  auto& fills = ActiveFills();
  fills.erase(std::remove(fills.begin(), fills.end(), this), fills.end());
}

bool ListFill::Filling(const ResultList& list) {
  const auto& fills = ActiveFills();
  return std::any_of(fills.begin(), fills.end(), [&](const ListFill* fill) { return fill->handle_ == list.Handle(); });
}

bool ListFill::AnyFilling() { return !ActiveFills().empty(); }

void ListFill::Refresh() {
  const DWORD now = GetTickCount();
  if (now - lastRefresh_ < kRefreshInterval) return;
  lastRefresh_ = now;
  // The list's own visibility cannot tell: some list views take the pause
  // as being hidden. Its page can.
  if (!IsWindowVisible(GetParent(handle_))) return;
  pause_.DrawNow();
}

void RefreshListFills() {
  for (ListFill* fill : ActiveFills()) fill->Refresh();
}
