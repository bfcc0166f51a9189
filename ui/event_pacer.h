// Lets pending events through at a steady pace while a long job runs.
//
// Looking at the queue is a call to the window server. On a machine that is
// slow at those calls, looking after every small piece of work (a block of a
// file, a row) costs more than the work itself; looking only every so many
// bytes or rows leaves the window unanswered for longer the slower the
// machine. A pacer looks when kInterval has passed since it last did, and
// on its first call, so the job's own cost no longer decides how often.
#pragma once

#include <windows.h>

class EventPacer {
 public:
  EventPacer() : last_(GetTickCount() - kInterval) {}
  void LetEventsThrough();

  static constexpr DWORD kInterval = 20;   // milliseconds

 private:
  DWORD last_;
};
