#include "app/handlers.h"

// Not built yet: bound, doing nothing.
void OnServicesRefresh(MainControls&) {}
void OnServiceRowChanged(MainControls&) {}
void OnServiceStartChosen(MainControls&) {}
