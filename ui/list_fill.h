// Lets a scan fill a list quickly while the list still visibly grows.
//
// A visible list view redraws itself (rows, scroll bar) for every row added
// once messages are let through between rows: some milliseconds a row, a
// hundred times what adding the row costs. While a ListFill lives, its list
// does not draw; ProcessPendingEvents lets one redraw through at most every
// kRefreshInterval, and only while the list is on screen. The destructor
// redraws the finished list.
#pragma once

#include <windows.h>

#include "ui/controls.h"
#include "ui/redraw_pause.h"

class ListFill {
 public:
  explicit ListFill(const ResultList& list);
  ~ListFill();
  ListFill(const ListFill&) = delete;
  ListFill& operator=(const ListFill&) = delete;

  void Refresh();
  // Whether a fill of this list is alive further up the stack.
  static bool Filling(const ResultList& list);
  // Whether any list is being filled (a scan is running).
  static bool AnyFilling();

  static constexpr DWORD kRefreshInterval = 100;   // milliseconds

 private:
  HWND handle_;
  RedrawPause pause_;
  DWORD lastRefresh_;
};

// Refresh of every ListFill alive (scans nest); called by ProcessPendingEvents.
void RefreshListFills();
