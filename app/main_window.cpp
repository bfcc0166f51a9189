// The main window: walks the window definition to create the controls, keeps
// the tab pages in step with their tabs and turns control events into the
// bound actions.
//
// Every event is posted to the window as kRunBindingMessage and runs from the
// message loop (or from ProcessPendingEvents inside a scan), never inside the
// control's own notification: a handler may delete rows of the very list
// that is still processing the click that fired it.
#include "app/main_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/banner.h"
#include "host/system_functions.h"

namespace {

constexpr UINT kRunBindingMessage = WM_APP + 1;   // wParam: index into Bindings()
constexpr char kWindowClass[] = "VeltroMainWindow";
constexpr char kPageClass[] = "VeltroPage";

struct TabState {
  int id = 0;
  HWND tab = nullptr;
  POINT pageOrigin{};          // where the pages sit inside the tab control
  std::vector<HWND> pages;
};

struct WindowState {
  MainControls controls;
  bool quitOnClose = true;
  std::vector<TabState> tabs;
  HWND tooltip = nullptr;
  int hintRow = -1;            // row the pointer rests on in 超级列表框8
  Text hintText;               // storage the tooltip reads from
  std::wstring hintTextWide;
  bool choicePosted = false;   // one 组合框1 choice waiting to run
  int actionsRunning = 0;      // bound actions on the stack, nested ones included
  bool closePending = false;   // closed while actions ran: destroy once they return
  HWND lastFocus = nullptr;    // control to give the focus back on reactivation
};

WindowState* StateOf(HWND window) {
  return reinterpret_cast<WindowState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

int FindBinding(int id, ControlEvent event) {
  const TableView<Binding> bindings = Bindings();
  for (std::size_t i = 0; i < bindings.size(); ++i) {
    if (bindings.first[i].id == id && bindings.first[i].event == event) return static_cast<int>(i);
  }
  return -1;
}

void PostBinding(HWND window, int id, ControlEvent event) {
  const int index = FindBinding(id, event);
  if (index >= 0) PostMessageA(window, kRunBindingMessage, static_cast<WPARAM>(index), 0);
}

void RunBinding(WindowState& state, std::size_t index) {
  const TableView<Binding> bindings = Bindings();
  if (index >= bindings.size()) return;
  const Binding& binding = bindings.first[index];
  if (binding.event == ControlEvent::ItemChosen) state.choicePosted = false;
  HWND window = state.controls.window;
  ++state.actionsRunning;
  RunExclusive(state.controls, binding.action);
  if (--state.actionsRunning == 0 && state.closePending) DestroyWindow(window);   // frees state
}

// --- tab pages ---------------------------------------------------------------

LRESULT CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  // Pages are plain containers: their controls' events belong to the one
  // dispatcher of the main window.
  if (message == WM_COMMAND || message == WM_NOTIFY) {
    return SendMessageA(GetAncestor(page, GA_ROOT), message, wParam, lParam);
  }
  return DefWindowProcA(page, message, wParam, lParam);
}

TabState* FindTab(WindowState& state, HWND tab) {
  for (TabState& t : state.tabs) if (t.tab == tab) return &t;
  return nullptr;
}

TabState* FindTabById(WindowState& state, int id) {
  for (TabState& t : state.tabs) if (t.id == id) return &t;
  return nullptr;
}

void ShowSelectedPage(const TabState& tab) {
  const int selected = static_cast<int>(SendMessageA(tab.tab, TCM_GETCURSEL, 0, 0));
  for (std::size_t i = 0; i < tab.pages.size(); ++i) {
    ShowWindow(tab.pages[i], static_cast<int>(i) == selected ? SW_SHOW : SW_HIDE);
  }
}

void AddPages(WindowState& state, HWND tab, int id, const RECT& bounds) {
  TabState tabState;
  tabState.id = id;
  tabState.tab = tab;
  for (const TabPages& definition : TabPageDefinitions()) {
    if (definition.tabId != id) continue;
    for (const char* caption : definition.captions) {
      if (caption == nullptr) break;
      TCITEMA item{};
      item.mask = TCIF_TEXT;
      item.pszText = const_cast<char*>(caption);
      SendMessageA(tab, TCM_INSERTITEMA, static_cast<WPARAM>(tabState.pages.size()),
                   reinterpret_cast<LPARAM>(&item));
      tabState.pages.push_back(nullptr);
    }
  }
  RECT display = {0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top};
  SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  tabState.pageOrigin = {display.left, display.top};
  for (std::size_t i = 0; i < tabState.pages.size(); ++i) {
    tabState.pages[i] = CreateWindowExA(
        WS_EX_CONTROLPARENT, kPageClass, "", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (i == 0 ? WS_VISIBLE : 0),
        display.left, display.top, display.right - display.left, display.bottom - display.top, tab, nullptr,
        GetModuleHandleA(nullptr), nullptr);
  }
  state.tabs.push_back(tabState);
}

// --- controls ----------------------------------------------------------------

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
void PrepareControl(HWND control, const ControlDefinition& definition) {
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
      SetWindowTextA(control, AboutText());
      break;
    case ControlKind::ProgressBar:
      SendMessageA(control, PBM_SETRANGE32, 0, kProgressMaximum);
      SendMessageA(control, PBM_SETPOS, 0, 0);
      break;
    case ControlKind::DropDownList: {
      for (const char* item : StartTypeItems()) {
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

// The control's own window procedure, kept while ours runs in front of it.
// Subclassed by replacing the procedure: comctl32 of Windows 2000 exports
// SetWindowSubclass by ordinal only.
constexpr char kPreviousProcProperty[] = "Veltro.PreviousProc";

// Posts the mouse-button events bound to a control (right button over
// 超级列表框8, left button over 图片框1) and keeps the tooltip of
// 超级列表框8 on the row under the pointer.
LRESULT CALLBACK MouseEventsProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  auto previous = reinterpret_cast<WNDPROC>(GetPropA(control, kPreviousProcProperty));
  HWND window = GetAncestor(control, GA_ROOT);
  const int id = GetDlgCtrlID(control);
  switch (message) {
    case WM_RBUTTONDOWN:
      PostBinding(window, id, ControlEvent::RightButtonDown);
      break;
    case WM_LBUTTONDOWN:
      PostBinding(window, id, ControlEvent::LeftButtonDown);
      break;
    case WM_MOUSEMOVE:
      if (WindowState* state = StateOf(window)) {
        if (state->tooltip && id == ListId(8)) {
          LVHITTESTINFO hit{};
          hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
          const int row = static_cast<int>(SendMessageA(control, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
          if (row != state->hintRow) {
            state->hintRow = row;
            SendMessageA(state->tooltip, TTM_POP, 0, 0);   // the next tip asks for the new row's text
          }
        }
      }
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
      RemovePropA(control, kPreviousProcProperty);
      break;
    default:
      break;
  }
  return previous ? CallWindowProcA(previous, control, message, wParam, lParam)
                  : DefWindowProcA(control, message, wParam, lParam);
}

void SubclassForMouseEvents(HWND control) {
  if (GetPropA(control, kPreviousProcProperty) != nullptr) return;   // bound twice: once is enough
  const LONG_PTR previous = GetWindowLongPtrA(control, GWLP_WNDPROC);
  if (previous == 0 || !SetPropA(control, kPreviousProcProperty, reinterpret_cast<HANDLE>(previous))) return;
  SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MouseEventsProc));
}

}  // namespace

namespace {

struct IdSearch {
  int id;
  HWND found;
};

BOOL CALLBACK MatchId(HWND child, LPARAM lParam) {
  auto* search = reinterpret_cast<IdSearch*>(lParam);
  if (GetDlgCtrlID(child) != search->id) return TRUE;
  search->found = child;
  return FALSE;
}

}  // namespace

HWND FindControlById(HWND window, int id) {
  IdSearch search{id, nullptr};
  EnumChildWindows(window, MatchId, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

namespace {

void CreateControls(HWND window, WindowState& state) {
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  for (const ControlDefinition& definition : ControlDefinitions()) {
    HWND parent = window;
    POINT origin{};
    if (definition.tabId != 0) {
      TabState* tab = FindTabById(state, definition.tabId);
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
    PrepareControl(control, definition);
    if (definition.kind == ControlKind::TabControl || definition.kind == ControlKind::BottomTabs) {
      const RECT bounds = {definition.x, definition.y, definition.x + definition.width,
                           definition.y + definition.height};
      AddPages(state, control, definition.id, bounds);
    }
  }

  for (const ColumnDefinition& column : ColumnDefinitions()) {
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

  for (const Binding& binding : Bindings()) {
    if (binding.event != ControlEvent::RightButtonDown && binding.event != ControlEvent::LeftButtonDown) continue;
    if (HWND control = FindControlById(window, binding.id)) SubclassForMouseEvents(control);
  }
}

template <typename Wrapper>
struct Member {
  int id;
  Wrapper MainControls::*member;
};

const Member<ResultList> kLists[] = {
    {ListId(1), &MainControls::超级列表框1}, {ListId(2), &MainControls::超级列表框2},
    {ListId(3), &MainControls::超级列表框3}, {ListId(4), &MainControls::超级列表框4},
    {ListId(5), &MainControls::超级列表框5}, {ListId(6), &MainControls::超级列表框6},
    {ListId(7), &MainControls::超级列表框7}, {ListId(8), &MainControls::超级列表框8},
    {ListId(9), &MainControls::超级列表框9}, {kServiceListId, &MainControls::系统服务列表},
};
const Member<EditBox> kEdits[] = {
    {EditId(1), &MainControls::编辑框1}, {EditId(2), &MainControls::编辑框2}, {EditId(3), &MainControls::编辑框3},
    {EditId(4), &MainControls::编辑框4}, {EditId(5), &MainControls::编辑框5}, {EditId(6), &MainControls::编辑框6},
    {EditId(7), &MainControls::编辑框7}, {EditId(8), &MainControls::编辑框8},
};
const Member<Label> kLabels[] = {
    {LabelId(1), &MainControls::标签1},   {LabelId(2), &MainControls::标签2},   {LabelId(3), &MainControls::标签3},
    {LabelId(4), &MainControls::标签4},   {LabelId(5), &MainControls::标签5},   {LabelId(6), &MainControls::标签6},
    {LabelId(7), &MainControls::标签7},   {LabelId(8), &MainControls::标签8},   {LabelId(9), &MainControls::标签9},
    {LabelId(10), &MainControls::标签10}, {LabelId(11), &MainControls::标签11}, {LabelId(12), &MainControls::标签12},
    {LabelId(13), &MainControls::标签13}, {LabelId(14), &MainControls::标签14}, {LabelId(15), &MainControls::标签15},
    {LabelId(16), &MainControls::标签16},
};

void FillMainControls(HWND window, MainControls& c) {
  c.window = window;
  for (const auto& m : kLists) c.*m.member = ResultList(FindControlById(window, m.id));
  for (const auto& m : kEdits) c.*m.member = EditBox(FindControlById(window, m.id));
  for (const auto& m : kLabels) c.*m.member = Label(FindControlById(window, m.id));
  c.进度条1 = ProgressBar(FindControlById(window, kProgressId));
  c.组合框1 = ComboBox(FindControlById(window, kComboId));
  c.图片框1 = FindControlById(window, kBannerId);
  c.选择夹1 = FindControlById(window, TabId(1));
  c.选择夹2 = FindControlById(window, TabId(2));
  c.选择夹3 = FindControlById(window, TabId(3));
  c.时钟1 = Timer(window, kTimerId);
}

void FillInitialRows(MainControls& c) {
  for (const HintedRow& row : ImmunityInitialRows()) {
    c.超级列表框8.SetCellText(c.超级列表框8.InsertRow(), 0, row.text);
  }
}

void AddImmunityTooltip(HWND window, WindowState& state) {
  HWND list = state.controls.超级列表框8.Handle();
  state.tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
  if (state.tooltip == nullptr || list == nullptr) return;
  TTTOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;   // understood by every comctl32 version
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window;                 // receives TTN_GETDISPINFO
  tool.uId = reinterpret_cast<UINT_PTR>(list);
  tool.lpszText = LPSTR_TEXTCALLBACKA;
  SendMessageA(state.tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void SupplyHint(WindowState& state, NMHDR& header) {
  HWND list = reinterpret_cast<HWND>(header.idFrom);
  POINT point;
  GetCursorPos(&point);
  ScreenToClient(list, &point);
  state.hintText = ImmunityHintAt(state.controls.超级列表框8, point);
  if (header.code == TTN_GETDISPINFOA) {
    auto& info = reinterpret_cast<NMTTDISPINFOA&>(header);
    info.lpszText = const_cast<char*>(state.hintText.c_str());
    info.hinst = nullptr;
  } else {
    const int length = MultiByteToWideChar(936, 0, state.hintText.c_str(), -1, nullptr, 0);
    state.hintTextWide.assign(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    if (length > 0) MultiByteToWideChar(936, 0, state.hintText.c_str(), -1, &state.hintTextWide[0], length);
    auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
    info.lpszText = &state.hintTextWide[0];
    info.hinst = nullptr;
  }
}

// --- dispatcher --------------------------------------------------------------

void OnCommand(HWND window, WindowState& state, int id, int code, HWND control) {
  if (control == nullptr) return;
  if (id == kComboId) {
    // A choice counts once the user confirmed it: SELENDOK comes as the list
    // closes on a choice; with the list closed, arrow keys only send
    // SELCHANGE. Setting the item from code sends neither.
    const bool dropped = SendMessageA(control, CB_GETDROPPEDSTATE, 0, 0) != 0;
    if ((code == CBN_SELENDOK || (code == CBN_SELCHANGE && !dropped)) && !state.choicePosted) {
      state.choicePosted = true;
      PostBinding(window, id, ControlEvent::ItemChosen);
    }
    return;
  }
  if (code == BN_CLICKED) PostBinding(window, id, ControlEvent::Clicked);
}

LRESULT OnNotify(HWND window, WindowState& state, NMHDR& header) {
  const int id = static_cast<int>(header.idFrom);
  switch (header.code) {
    case TCN_SELCHANGE:
      if (TabState* tab = FindTab(state, header.hwndFrom)) ShowSelectedPage(*tab);
      return 0;
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      if (change.iItem >= 0 && (change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_FOCUSED) &&
          !(change.uOldState & LVIS_FOCUSED)) {
        PostBinding(window, id, ControlEvent::CurrentRowChanged);
      }
      return 0;
    }
    case LVN_ITEMACTIVATE:
      PostBinding(window, id, ControlEvent::RowActivated);
      return 0;
    case TTN_GETDISPINFOA:
    case TTN_GETDISPINFOW:
      if (header.hwndFrom == state.tooltip) SupplyHint(state, header);
      return 0;
    default:
      return 0;
  }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowState* state = StateOf(window);
  if (state == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_COMMAND:
      OnCommand(window, *state, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(window, *state, *reinterpret_cast<NMHDR*>(lParam));
    case WM_TIMER:
      if (wParam == kTimerId) {
        const int index = FindBinding(kTimerId, ControlEvent::TimerTick);
        if (index >= 0) RunBinding(*state, static_cast<std::size_t>(index));
      }
      return 0;
    case kRunBindingMessage:
      RunBinding(*state, wParam);
      return 0;
    case WM_ACTIVATE:
      // Keep the keyboard where the user left it when switching windows.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window, focus)) state->lastFocus = focus;
      } else if (state->lastFocus != nullptr && IsWindow(state->lastFocus)) {
        SetFocus(state->lastFocus);
        return 0;
      }
      break;
    case WM_CLOSE:
      // Closed from inside a running action (the scans let messages
      // through): the actions still use the controls, so the window only
      // hides now and is destroyed when the outermost action returns.
      if (state->actionsRunning > 0) {
        state->closePending = true;
        ShowWindow(window, SW_HIDE);
        return 0;
      }
      break;
    case WM_DESTROY:
      KillTimer(window, kTimerId);
      if (state->quitOnClose) PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      delete state;
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterClasses() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassA(&windowClass);
  windowClass.lpfnWndProc = PageProc;
  windowClass.hIcon = nullptr;
  windowClass.lpszClassName = kPageClass;
  RegisterClassA(&windowClass);
  RegisterBannerClass();
}

}  // namespace

bool RunExclusive(MainControls& controls, Action action) {
  static std::vector<Action> running;
  if (std::find(running.begin(), running.end(), action) != running.end()) return false;
  running.push_back(action);
  action(controls);
  running.erase(std::find(running.begin(), running.end(), action));
  return true;
}

Text ImmunityHintAt(const ResultList& list, POINT clientPoint) {
  LVHITTESTINFO hit{};
  hit.pt = clientPoint;
  const int row = static_cast<int>(SendMessageA(list.Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  const TableView<HintedRow> rows = ImmunityInitialRows();
  if (row < 0 || static_cast<std::size_t>(row) >= rows.size() || (hit.flags & LVHT_ONITEM) == 0) return Text();
  return rows.first[row].hint;
}

HWND CreateMainWindow(ProgramState& program, const MainWindowOptions& options) {
  RegisterClasses();
  const WindowFrame& frame = MainWindowFrame();
  HWND window = CreateWindowExA(WS_EX_CONTROLPARENT, kWindowClass, frame.caption,
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, frame.x,
                                frame.y, frame.width, frame.height, nullptr, nullptr, GetModuleHandleA(nullptr),
                                nullptr);
  if (window == nullptr) return nullptr;
  auto* state = new WindowState;   // owned by the window from here, freed at WM_NCDESTROY
  state->quitOnClose = options.quitOnClose;
  state->controls.program = &program;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));

  CreateControls(window, *state);
  FillMainControls(window, state->controls);
  FillInitialRows(state->controls);
  AddImmunityTooltip(window, *state);
  state->controls.时钟1.SetInterval(kTimerInterval);

  ShowWindow(window, options.showCommand);
  if (options.showCommand != SW_HIDE) UpdateWindow(window);
  OnMainWindowCreated(state->controls);
  return window;
}

bool HandleDialogKey(HWND window, MSG& message) {
  if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
    HWND focus = GetFocus();
    char className[32] = {};
    GetClassNameA(focus, className, sizeof(className));
    if (lstrcmpiA(className, WC_LISTVIEWA) == 0) return false;
    // Outside a dialog no button is the default one that Enter presses:
    // Enter presses the button that has the focus.
    const LONG_PTR type = GetWindowLongPtrA(focus, GWL_STYLE) & BS_TYPEMASK;
    if (lstrcmpiA(className, "Button") == 0 && IsChild(window, focus) &&
        (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)) {
      SendMessageA(focus, BM_CLICK, 0, 0);
      return true;
    }
  }
  return IsDialogMessageA(window, &message) != FALSE;
}

bool CloseRequested(HWND window) {
  WindowState* state = window ? StateOf(window) : nullptr;
  return state == nullptr || state->closePending;
}

MainControls* MainControlsOf(HWND window) {
  WindowState* state = window ? StateOf(window) : nullptr;
  return state ? &state->controls : nullptr;
}
