// The application core's own handlers: window created, the timer's tick and
// the banner.
#include "app/handlers.h"
#include "ui/prompts.h"
#include "app/window_definition.h"
#include "host/files.h"

void OnMainWindowCreated(MainControls& c) { FocusControl(c.标签9.Handle()); }

void OnTimerTick(MainControls& c) {
  // Stop first: the scan lets queued messages through and must not see this
  // timer again. The full scan runs once per program run.
  c.时钟1.SetInterval(0);
  RunFullScan(c);
}

// The maker's page in the default browser; a failure shows nothing.
void OnBannerClicked(MainControls&) { OpenWithShell(kVerbOpen, WebAddress()); }
