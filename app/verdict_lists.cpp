#include "app/verdict_lists.h"

#include "app/control_ids.h"

namespace {

const VerdictList kVerdictLists[] = {
    {&MainControls::超级列表框6, ListId(6), 0}, {&MainControls::超级列表框7, ListId(7), 0},
    {&MainControls::超级列表框5, ListId(5), 2}, {&MainControls::超级列表框2, ListId(2), 2},
    {&MainControls::超级列表框3, ListId(3), 2}, {&MainControls::超级列表框4, ListId(4), 2},
    {&MainControls::系统服务列表, kServiceListId, 2},
};

}  // namespace

TableView<VerdictList> VerdictLists() { return ViewOf(kVerdictLists); }

bool ShowsFileVerdicts(int listId) {
  for (const VerdictList& shown : kVerdictLists) {
    if (shown.listId == listId) return true;
  }
  return false;
}
