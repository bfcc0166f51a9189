#include "ui/window_engine.h"

#include <commctrl.h>

#include <vector>

#include "ui/banner.h"
#include "ui/control_factory.h"
#include "ui/drop_down_choice.h"
#include "ui/list_copy.h"
#include "ui/file_verdict_rows.h"
#include "ui/subclass.h"
#include "ui/tab_pages.h"

namespace {

constexpr char kWindowClass[] = "VeltroMainWindow";
constexpr char kMouseEventsSubclass[] = "Veltro.MouseEvents";
constexpr char kListCopySubclass[] = "Veltro.ListCopy";

struct WindowState {
  std::unique_ptr<WindowEvents> events;
  bool quitOnClose = true;
  std::vector<TabState> tabs;
  bool choicePosted = false;   // one drop-down choice waiting to run
  int eventsRunning = 0;       // handlers on the stack, nested ones included
  bool closePending = false;   // closed while handlers ran: destroy once they return
  HWND lastFocus = nullptr;    // control to give the focus back on reactivation
};

WindowState* StateOf(HWND window) {
  return reinterpret_cast<WindowState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void PostEvent(HWND window, int id, ControlEvent event) {
  WindowState* state = StateOf(window);
  if (state == nullptr || !state->events->Handles(id, event)) return;
  PostMessageA(window, kRunEventMessage, static_cast<WPARAM>(id), static_cast<LPARAM>(event));
}

void RunEvent(HWND window, WindowState& state, int id, ControlEvent event) {
  if (event == ControlEvent::ItemChosen) state.choicePosted = false;
  ++state.eventsRunning;
  state.events->Run(id, event);
  if (--state.eventsRunning == 0 && state.closePending) DestroyWindow(window);   // frees state
}

// Posts the mouse-button events bound to a control (a right button over a
// list, a left button over a picture).
LRESULT CALLBACK MouseEventsProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_RBUTTONDOWN) PostEvent(GetAncestor(control, GA_ROOT), GetDlgCtrlID(control), ControlEvent::RightButtonDown);
  if (message == WM_LBUTTONDOWN) PostEvent(GetAncestor(control, GA_ROOT), GetDlgCtrlID(control), ControlEvent::LeftButtonDown);
  return CallReplacedProc(control, kMouseEventsSubclass, message, wParam, lParam);
}

void WatchMouseButtons(HWND window, const WindowDefinition& definition, const WindowEvents& events) {
  for (const ControlDefinition& control : definition.controls) {
    if (events.Handles(control.id, ControlEvent::RightButtonDown) ||
        events.Handles(control.id, ControlEvent::LeftButtonDown)) {
      InstallSubclass(FindControlById(window, control.id), kMouseEventsSubclass, MouseEventsProc);
    }
  }
}

bool ControlKeyDown() { return GetKeyState(VK_CONTROL) < 0; }

// The menu key or Shift+F10 give no point: the menu opens at the focused
// row, or at the list's corner.
POINT MenuPoint(HWND list, LPARAM lParam) {
  POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (lParam != -1) return point;
  RECT rect{};
  rect.left = LVIR_LABEL;
  const LRESULT focused = SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
  if (focused < 0 || !SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(focused), reinterpret_cast<LPARAM>(&rect))) {
    SetRect(&rect, 0, 0, 0, 0);
  }
  point = {rect.left + 8, rect.bottom};
  ClientToScreen(list, &point);
  return point;
}

LRESULT CALLBACK ListCopyProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  ResultList list(control);
  switch (message) {
    case WM_KEYDOWN:
      if (ControlKeyDown() && (wParam == 'A' || wParam == 'C')) {
        if (wParam == 'A') SelectAllRows(list);
        if (wParam == 'C') CopyRows(list, ListMenuChoice::Copy);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == 1 || wParam == 3) return 0;   // Ctrl+A, Ctrl+C: no search, no beep
      break;
    case WM_CONTEXTMENU: {
      HWND window = GetAncestor(control, GA_ROOT);
      WindowState* state = StateOf(window);
      const int id = GetDlgCtrlID(control);
      if (state == nullptr || state->events->Handles(id, ControlEvent::RightButtonDown)) break;
      const ListMenuChoice choice =
          ShowListMenu(list, MenuPoint(control, lParam), state->events->Handles(id, ControlEvent::ReportAsked));
      if (choice == ListMenuChoice::SaveReport) {
        PostEvent(window, id, ControlEvent::ReportAsked);
      } else {
        CopyRows(list, choice);
      }
      return 0;
    }
    default:
      break;
  }
  return CallReplacedProc(control, kListCopySubclass, message, wParam, lParam);
}

void WatchListKeys(HWND window, const WindowDefinition& definition) {
  for (const ControlDefinition& control : definition.controls) {
    if (control.kind == ControlKind::List || control.kind == ControlKind::MultiList) {
      InstallSubclass(FindControlById(window, control.id), kListCopySubclass, ListCopyProc);
    }
  }
}

TabState* FindTab(WindowState& state, HWND tab) {
  for (TabState& t : state.tabs) if (t.tab == tab) return &t;
  return nullptr;
}

bool IsClass(HWND control, const char* name) {
  char className[32] = {};
  GetClassNameA(control, className, sizeof(className));
  return lstrcmpiA(className, name) == 0;
}

// One choice waits at a time: the notifications of one choice come together.
void PostChoice(HWND window, WindowState& state, HWND dropDown) {
  const int id = GetDlgCtrlID(dropDown);
  if (state.choicePosted || !state.events->Handles(id, ControlEvent::ItemChosen)) return;
  state.choicePosted = true;
  PostEvent(window, id, ControlEvent::ItemChosen);
}

void OnCommand(HWND window, WindowState& state, int id, int code, HWND control) {
  if (control == nullptr) return;
  if (IsClass(control, WC_COMBOBOXA)) {
    if (IsConfirmedChoice(control, code)) PostChoice(window, state, control);
    return;
  }
  if (code == BN_CLICKED) PostEvent(window, id, ControlEvent::Clicked);
}

LRESULT OnNotify(HWND window, WindowState& state, NMHDR& header) {
  const int id = static_cast<int>(header.idFrom);
  LRESULT drawn = 0;
  if (DrawRowShade(header, drawn)) return drawn;
  switch (header.code) {
    case TCN_SELCHANGE:
      if (TabState* tab = FindTab(state, header.hwndFrom)) ShowSelectedPage(*tab);
      return 0;
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      if (change.iItem >= 0 && (change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_FOCUSED) &&
          !(change.uOldState & LVIS_FOCUSED)) {
        PostEvent(window, id, ControlEvent::CurrentRowChanged);
      }
      return 0;
    }
    case LVN_ITEMACTIVATE:
      PostEvent(window, id, ControlEvent::RowActivated);
      return 0;
    default:
      return 0;
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowState* state = StateOf(window);
  if (state == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_COMMAND:
      OnCommand(window, *state, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(window, *state, *reinterpret_cast<NMHDR*>(lParam));
    case WM_TIMER:
      if (state->events->Handles(static_cast<int>(wParam), ControlEvent::TimerTick)) {
        RunEvent(window, *state, static_cast<int>(wParam), ControlEvent::TimerTick);
      }
      return 0;
    case kRunEventMessage:
      RunEvent(window, *state, static_cast<int>(wParam), static_cast<ControlEvent>(lParam));
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
      // Closed from inside a running handler (long ones let messages
      // through): they still use the controls, so the window only hides now
      // and is destroyed when the outermost handler returns.
      if (state->eventsRunning > 0) {
        state->closePending = true;
        ShowWindow(window, SW_HIDE);
        return 0;
      }
      break;
    case WM_DESTROY:
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
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassA(&windowClass);
  RegisterPageClass();
  RegisterBannerClass();
}

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

HWND CreateDefinedWindow(const WindowDefinition& definition, std::unique_ptr<WindowEvents> events,
                         const WindowOptions& options) {
  RegisterClasses();
  const WindowFrame& frame = *definition.frame;
  HWND window = CreateWindowExA(WS_EX_CONTROLPARENT, kWindowClass, frame.caption,
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, frame.x,
                                frame.y, frame.width, frame.height, nullptr, nullptr, GetModuleHandleA(nullptr),
                                nullptr);
  if (window == nullptr) return nullptr;
  auto* state = new WindowState;   // owned by the window from here, freed at WM_NCDESTROY
  state->events = std::move(events);
  state->quitOnClose = options.quitOnClose;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));

  CreateDefinedControls(window, definition, state->tabs);
  WatchMouseButtons(window, definition, *state->events);
  WatchListKeys(window, definition);
  ShowWindow(window, options.showCommand);
  if (options.showCommand != SW_HIDE) UpdateWindow(window);
  return window;
}

WindowEvents* EventsOf(HWND window) {
  WindowState* state = window ? StateOf(window) : nullptr;
  return state ? state->events.get() : nullptr;
}

bool HandleDialogKey(HWND window, MSG& message) {
  if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
    HWND focus = GetFocus();
    if (IsClass(focus, WC_LISTVIEWA)) return false;
    // Outside a dialog no button is the default one that Enter presses:
    // Enter presses the button that has the focus.
    const LONG_PTR type = GetWindowLongPtrA(focus, GWL_STYLE) & BS_TYPEMASK;
    if (IsClass(focus, "Button") && IsChild(window, focus) && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)) {
      SendMessageA(focus, BM_CLICK, 0, 0);
      return true;
    }
    // Enter on a closed drop-down list confirms the item it shows.
    WindowState* state = StateOf(window);
    if (state != nullptr && IsClass(focus, WC_COMBOBOXA) && IsChild(window, focus) &&
        SendMessageA(focus, CB_GETDROPPEDSTATE, 0, 0) == 0) {
      PostChoice(window, *state, focus);
      return true;
    }
  }
  return IsDialogMessageA(window, &message) != FALSE;
}

bool HandlersRunning(HWND window) {
  // Any window may be asked about (a list's top-level window need not be
  // ours): only ours keeps a WindowState in its user data.
  WindowState* state = window && IsClass(window, kWindowClass) ? StateOf(window) : nullptr;
  return state != nullptr && state->eventsRunning > 0;
}

bool CloseRequested(HWND window) {
  WindowState* state = window ? StateOf(window) : nullptr;
  return state == nullptr || state->closePending;
}
