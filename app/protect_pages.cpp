// The immunity and account pages.
#include "app/handlers.h"

#include "protect/accounts.h"
#include "protect/immunity.h"

void OnApplyImmunity(MainControls& c) { ApplyImmunity(c.超级列表框8); }
void OnRemoveImmunity(MainControls& c) { RemoveImmunity(c.超级列表框8); }
void OnImmunityRowActivated(MainControls& c) { RemoveImmunityKey(c.超级列表框8); }
void OnImmunityListRightClick(MainControls& c) { AddImmunityKey(c.超级列表框8); }
void OnShowAccounts(MainControls& c) { ShowAccounts(c.超级列表框9); }
void OnDeleteAccount(MainControls& c) { DeleteAccount(c.超级列表框9); }
void OnRestoreAccount(MainControls& c) { RestoreAccount(c.超级列表框9); }
