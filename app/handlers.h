// Every action the window binds to a control event. Each takes the window's
// controls and hands the subsystem that owns the page the controls it
// works on; the window definition binds them, and the full scan runs the
// refresh actions.
#pragma once

#include "app/main_controls.h"
#include "sysfiles/text_file_pages.h"

// Application core (app/)
void OnMainWindowCreated(MainControls& c);
void OnTimerTick(MainControls& c);
void OnBannerClicked(MainControls& c);
void RunFullScan(MainControls& c);
void OnSaveReport(MainControls& c);             // a list's menu: "保存报告..."

// Registry repair (repair/)
void OnCheckErrors(MainControls& c);            // 按钮1: ScanRestrictions
void OnRepairErrors(MainControls& c);           // 按钮2: repair, then scan

// Startup and hijack scanners, browser and Winsock (scan/)
void OnStartupRefresh(MainControls& c);         // 按钮14
void OnStartupDelete(MainControls& c);          // 按钮15
void OnBrowserRefresh(MainControls& c);         // 按钮12
void OnBrowserDelete(MainControls& c);          // 按钮13
void OnWinsockRefresh(MainControls& c);         // 按钮6
void OnWinsockDelete(MainControls& c);          // 按钮7
void OnImageHijackRefresh(MainControls& c);     // 按钮8
void OnImageHijackDelete(MainControls& c);      // 按钮9
void OnShellHookRefresh(MainControls& c);       // 按钮10
void OnShellHookDelete(MainControls& c);        // 按钮11

// Services (scan/)
void OnServicesRefresh(MainControls& c);        // 按钮28
void OnServiceRowChanged(MainControls& c);      // 系统服务列表, current row changed
void OnServiceStartChosen(MainControls& c);     // 组合框1, item selected

// System files (sysfiles/)
void OnStartupFolderRefresh(MainControls& c);   // 按钮17
void OnStartupFolderDelete(MainControls& c);    // 按钮16
EditBox& TextFilePageEdit(MainControls& c, TextFilePage page);
void LoadTextFilePage(MainControls& c, TextFilePage page);
void SaveTextFilePage(MainControls& c, TextFilePage page);

// Protection and accounts (protect/)
void OnApplyImmunity(MainControls& c);          // 按钮30
void OnRemoveImmunity(MainControls& c);         // 按钮29
void OnImmunityRowActivated(MainControls& c);   // 超级列表框8, row activated
void OnImmunityListRightClick(MainControls& c); // 超级列表框8, right button down
void OnShowAccounts(MainControls& c);           // 按钮32
void OnDeleteAccount(MainControls& c);          // 按钮31
void OnRestoreAccount(MainControls& c);         // 按钮33
