// The window engine: creates a top-level window and its controls from a
// definition it is given, keeps tab pages in step with their tabs, and turns
// control events into (control id, event) pairs for the window's owner.
//
// Every event but the timer's is posted to the window and handed on from the
// message loop (or from ProcessPendingEvents inside a long action), never
// inside the control's own notification: a handler may delete rows of the
// very list that is still processing the click that fired it.
#pragma once

#include <windows.h>

#include <memory>

#include "base/table_view.h"

enum class ControlKind {
  TabControl,     // tabs along the top
  BottomTabs,     // tabs along the bottom edge (the two nested tab controls)
  List,           // report list view, one selected row
  MultiList,      // report list view, several selected rows
  Button,
  Label,          // one line, no wrapping
  WrapLabel,      // wraps at word boundaries
  TextEdit,       // multi-line, editable, border, vertical scroll bar
  AboutEdit,      // multi-line, read-only, no border, no scroll bars
  ReadOnlyLine,   // single line, read-only, border
  ProgressBar,
  DropDownList,
  Banner,
};

// A control's container: the window's client area (tabId 0) or one page of
// a tab control. Geometry is relative to the container's top-left corner
// (for a page, the tab control's own top-left corner).
struct ControlDefinition {
  int id;
  ControlKind kind;
  int tabId;
  int page;
  int x, y, width, height;
  const char* caption;
};

struct TabPages {
  int tabId;
  const char* captions[8];   // unused entries are nullptr
};

struct ColumnDefinition {
  int listId;
  const char* caption;
  int width;                 // 0: holds data, not visible
  bool centred;
};

struct WindowFrame {
  const char* caption;
  int x, y, width, height;   // outer size
};

struct WindowDefinition {
  const WindowFrame* frame;
  TableView<ControlDefinition> controls;   // parents before children
  TableView<TabPages> tabs;
  TableView<ColumnDefinition> columns;
  TableView<const char*> dropDownItems;    // of every drop-down list
  int progressMaximum;                     // of every progress bar
};

enum class ControlEvent {
  Clicked,
  TimerTick,
  ItemChosen,          // drop-down list: the user confirmed a choice
  CurrentRowChanged,   // list: a row became the focused row
  RowActivated,        // list: double-click or Enter
  RightButtonDown,
  LeftButtonDown,
  ReportAsked,         // list: "保存报告..." chosen in its right button's menu
};

// The message that carries a posted event to the window: wParam the
// control id, lParam the ControlEvent. Another process (the benchmark) may
// send it to run an event as the user would cause it.
constexpr UINT kRunEventMessage = WM_APP + 1;

// What the window's owner does with events. The window owns it from
// creation and deletes it when it is destroyed.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // Events nobody handles are not even posted; mouse buttons are watched
  // only on controls that handle them.
  virtual bool Handles(int id, ControlEvent event) const = 0;
  virtual void Run(int id, ControlEvent event) = 0;
};

struct WindowOptions {
  int showCommand = SW_SHOWNORMAL;   // SW_HIDE for a window tests drive unseen
  bool quitOnClose = true;           // closing posts the quit message
};

// Every list copies its selected rows on Ctrl+C and selects all on Ctrl+A
// (where several rows may be selected). A list whose right button has no
// event of its own opens a menu there (and on the menu key) to copy the
// selected rows, all rows and, when the owner handles ReportAsked for it, to
// save a report.

// Creates the window and its controls and shows it as asked; nullptr on
// failure (events is deleted then too). The definition must outlive it.
HWND CreateDefinedWindow(const WindowDefinition& definition, std::unique_ptr<WindowEvents> events,
                         const WindowOptions& options);
// The owner given to CreateDefinedWindow, or nullptr.
WindowEvents* EventsOf(HWND window);

// A control of the window (at any depth) by its id, or nullptr.
HWND FindControlById(HWND window, int id);

// The keyboard of the window as in a dialog (Tab between controls, Alt with
// an underlined letter), with Enter pressing the focused button and, in a
// list, activating its focused row. true when the message was handled and
// must not be dispatched.
bool HandleDialogKey(HWND window, MSG& message);

// true once the user closed the window while an event was being handled (it
// is hidden, and goes when the outermost handler returns): long work stops
// at its next step.
bool CloseRequested(HWND window);
// Whether a handler of the window is running (nested ones included).
bool HandlersRunning(HWND window);
