#include "ui/control_factory.h"

#include <commctrl.h>

#include "host/system_functions.h"
#include "ui/banner.h"

namespace {

struct CreateArgs {
  const char* className;
  DWORD style;
  DWORD exStyle;
};

CreateArgs ArgsFor(ControlKind kind) {
  constexpr DWORD kList = WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;
  constexpr DWORD kTabs = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  switch (kind) {
    // Tab controls and pages are control parents: Tab reaches their controls.
    case ControlKind::TabControl: return {WC_TABCONTROLA, kTabs, WS_EX_CONTROLPARENT};
    case ControlKind::BottomTabs: return {WC_TABCONTROLA, kTabs | TCS_BOTTOM, WS_EX_CONTROLPARENT};
    case ControlKind::List: return {WC_LISTVIEWA, kList | LVS_SINGLESEL, WS_EX_CLIENTEDGE};
    case ControlKind::MultiList: return {WC_LISTVIEWA, kList, WS_EX_CLIENTEDGE};
    case ControlKind::Button: return {"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0};
    case ControlKind::Label: return {"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0};
    case ControlKind::WrapLabel: return {"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::TextEdit:
      return {"EDIT", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, WS_EX_CLIENTEDGE};
    case ControlKind::AboutEdit: return {"EDIT", ES_MULTILINE | ES_READONLY, 0};
    case ControlKind::ReadOnlyLine: return {"EDIT", ES_READONLY | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::ProgressBar: return {PROGRESS_CLASSA, 0, 0};
    case ControlKind::DropDownList: return {WC_COMBOBOXA, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    case ControlKind::Banner: return {kBannerClassName, 0, 0};
  }
  return {"STATIC", 0, 0};
}

// Shapes a freshly created control as its kind requires.
void PrepareControl(HWND control, const ControlDefinition& definition, const WindowDefinition& window) {
  switch (definition.kind) {
    case ControlKind::List:
    case ControlKind::MultiList:
      SendMessageA(control, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
      break;
    case ControlKind::TextEdit:
      // System files can be of any size: lift the edit box's default limit.
      SendMessageA(control, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
      break;
    case ControlKind::AboutEdit:
      break;   // its caption is the text
    case ControlKind::ProgressBar:
      SendMessageA(control, PBM_SETRANGE32, 0, window.progressMaximum);
      SendMessageA(control, PBM_SETPOS, 0, 0);
      break;
    case ControlKind::DropDownList: {
      for (const char* item : window.dropDownItems) {
        SendMessageA(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
      }
      // The closed box keeps the height the window definition gives it.
      RECT rect;
      GetWindowRect(control, &rect);
      const LRESULT field = SendMessageA(control, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
      const int excess = (rect.bottom - rect.top) - definition.height;
      if (field != CB_ERR && excess != 0 && field - excess > 0) {
        SendMessageA(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field - excess);
      }
      SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
      break;
    }
    case ControlKind::BottomTabs:
      // Visual styles draw bottom tabs upside down; draw these two classic.
      // Windows 2000 has no visual styles (nor uxtheme.dll): classic already.
      using SetWindowThemeFunction = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
      if (auto setTheme = SystemFunction<SetWindowThemeFunction>("uxtheme.dll", "SetWindowTheme")) {
        setTheme(control, L"", L"");
      }
      break;
    default:
      break;
  }
}

TabState* FindTabById(std::vector<TabState>& tabs, int id) {
  for (TabState& t : tabs) if (t.id == id) return &t;
  return nullptr;
}

}  // namespace

void CreateDefinedControls(HWND window, const WindowDefinition& windowDefinition, std::vector<TabState>& tabs) {
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  for (const ControlDefinition& definition : windowDefinition.controls) {
    HWND parent = window;
    POINT origin{};
    if (definition.tabId != 0) {
      TabState* tab = FindTabById(tabs, definition.tabId);
      if (tab == nullptr || definition.page >= static_cast<int>(tab->pages.size())) continue;
      parent = tab->pages[static_cast<std::size_t>(definition.page)];
      origin = tab->pageOrigin;
    }
    const CreateArgs args = ArgsFor(definition.kind);
    // A drop-down list's window height includes its dropped list.
    const int height = definition.kind == ControlKind::DropDownList ? definition.height + 120 : definition.height;
    HWND control = CreateWindowExA(args.exStyle, args.className, definition.caption,
                                   WS_CHILD | WS_VISIBLE | args.style, definition.x - origin.x,
                                   definition.y - origin.y, definition.width, height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(definition.id)),
                                   GetModuleHandleA(nullptr), nullptr);
    if (control == nullptr) continue;
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    PrepareControl(control, definition, windowDefinition);
    if (definition.kind == ControlKind::TabControl || definition.kind == ControlKind::BottomTabs) {
      const RECT bounds = {definition.x, definition.y, definition.x + definition.width,
                           definition.y + definition.height};
      tabs.push_back(AddTabPages(windowDefinition, control, definition.id, bounds));
    }
  }

  for (const ColumnDefinition& column : windowDefinition.columns) {
    HWND list = FindControlById(window, column.listId);
    if (list == nullptr) continue;
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    const LRESULT position = header ? SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) : 0;
    LVCOLUMNA item{};
    item.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    item.fmt = column.centred ? LVCFMT_CENTER : LVCFMT_LEFT;
    item.cx = column.width;
    item.pszText = const_cast<char*>(column.caption);
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&item));
  }
}
