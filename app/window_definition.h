// The main window as data: every control with its container, geometry,
// caption and style; list columns; initial contents; and the table binding
// control events to actions. The window engine walks these tables.
#pragma once

#include "app/control_ids.h"
#include "app/handlers.h"
#include "base/table_view.h"
#include "ui/window_engine.h"

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

const WindowFrame& MainWindowFrame();
TableView<ControlDefinition> ControlDefinitions();   // parents before children
TableView<TabPages> TabPageDefinitions();
TableView<ColumnDefinition> ColumnDefinitions();
TableView<Binding> Bindings();
TableView<HintedRow> ImmunityInitialRows();          // 超级列表框8
TableView<const char*> StartTypeItems();             // 组合框1, index = Start value
const char* AboutText();                             // 编辑框8, its caption
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
