// The repair behind "修复错误": fixed values for every catalogue check, the
// pending records of the repair table, and the open commands of common file
// types. Asks nothing and reports nothing; the caller scans again.
#pragma once

#include "ui/controls.h"

// list: the restriction list as the last scan left it; pendingRepairs: the
// program's pending repairs ("kind|root|path|description|value"), copied when
// the table stage begins, so a scan started meanwhile cannot disturb it.
void RepairRestrictions(ResultList& list, const TextList& pendingRepairs);

// Its three stages, in the order it runs them.
// Every catalogue value written back, the console policies deleted.
void RepairFixedRestrictions();
// Each pending record written once for every row whose explanation (column
// 0) is the record's description.
void RepairPendingRecords(ResultList& list, const TextList& pendingRepairs);
// The open commands of fourteen file types.
void RepairFileAssociations();
