#include "app/handlers.h"

// Not built yet: bound, doing nothing.
void OnApplyImmunity(MainControls&) {}
void OnRemoveImmunity(MainControls&) {}
void OnImmunityRowActivated(MainControls&) {}
void OnImmunityListRightClick(MainControls&) {}
void OnShowAccounts(MainControls&) {}
void OnDeleteAccount(MainControls&) {}
