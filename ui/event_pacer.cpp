#include "ui/event_pacer.h"

#include "ui/prompts.h"

void EventPacer::LetEventsThrough() {
  if (GetTickCount() - last_ < kInterval) return;
  ProcessPendingEvents();
  // Counted from the end: what the events themselves took is not the job's.
  last_ = GetTickCount();
}
