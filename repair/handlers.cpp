#include "app/handlers.h"

// Not built yet: bound, doing nothing.
void OnCheckErrors(MainControls&) {}
void OnRepairErrors(MainControls&) {}
