// The main window as data: every control with its container, geometry,
// caption and style; list columns; initial contents; and the table binding
// control events to actions. app/main_window.cpp walks these tables.
#pragma once

#include <cstddef>

#include "app/control_ids.h"
#include "app/handlers.h"

template <typename T>
struct TableView {
  const T* first;
  std::size_t count;
  const T* begin() const { return first; }
  const T* end() const { return first + count; }
  std::size_t size() const { return count; }
};

template <typename T, std::size_t N>
constexpr TableView<T> ViewOf(const T (&table)[N]) { return {table, N}; }

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

enum class ControlEvent {
  Clicked,
  TimerTick,
  ItemChosen,          // combo box: the user confirmed a choice
  CurrentRowChanged,   // list: a row became the focused row
  RowActivated,        // list: double-click or Enter
  RightButtonDown,
  LeftButtonDown,
};

using Action = void (*)(MainControls&);

struct Binding {
  int id;
  ControlEvent event;
  Action action;
};

struct HintedRow {
  const char* text;
  const char* hint;
};

struct WindowFrame {
  const char* caption;
  int x, y, width, height;   // outer size
};

const WindowFrame& MainWindowFrame();
TableView<ControlDefinition> ControlDefinitions();   // parents before children
TableView<TabPages> TabPageDefinitions();
TableView<ColumnDefinition> ColumnDefinitions();
TableView<Binding> Bindings();
TableView<HintedRow> ImmunityInitialRows();          // 超级列表框8
TableView<const char*> StartTypeItems();             // 组合框1, index = Start value
const char* AboutText();                             // 编辑框8
const char* WebAddress();                            // opened by 图片框1
constexpr int kProgressMaximum = 15;
constexpr int kTimerInterval = 500;

// The page refresh and save actions of the system file pages, one per
// page, so that a binding and the full scan name the same action.
void LoadWinIniPage(MainControls& c);
void LoadSystemIniPage(MainControls& c);
void LoadAutoexecBatPage(MainControls& c);
void LoadConfigSysPage(MainControls& c);
void LoadBootIniPage(MainControls& c);
void LoadHostsPage(MainControls& c);
