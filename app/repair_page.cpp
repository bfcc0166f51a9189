// The registry repair page: its scan and its repair.
#include "app/handlers.h"

#include "repair/restriction_repair.h"
#include "repair/restriction_scan.h"

void OnCheckErrors(MainControls& c) {
  ScanRestrictions(c.超级列表框1, c.标签2, c.program->pendingRepairs, c.window);
}

void OnRepairErrors(MainControls& c) {
  RepairRestrictions(c.超级列表框1, c.program->pendingRepairs);
  ScanRestrictions(c.超级列表框1, c.标签2, c.program->pendingRepairs, c.window);
}
