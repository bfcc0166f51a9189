#include "ui/tab_pages.h"

#include <commctrl.h>

namespace {

constexpr char kPageClass[] = "VeltroPage";

LRESULT CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  // Pages are plain containers: their controls' events belong to the one
  // dispatcher of the top-level window.
  if (message == WM_COMMAND || message == WM_NOTIFY) {
    return SendMessageA(GetAncestor(page, GA_ROOT), message, wParam, lParam);
  }
  return DefWindowProcA(page, message, wParam, lParam);
}

}  // namespace

void RegisterPageClass() {
  WNDCLASSA pageClass{};
  pageClass.lpfnWndProc = PageProc;
  pageClass.hInstance = GetModuleHandleA(nullptr);
  pageClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  pageClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  pageClass.lpszClassName = kPageClass;
  RegisterClassA(&pageClass);
}

TabState AddTabPages(const WindowDefinition& definition, HWND tab, int id, const RECT& bounds) {
  TabState state;
  state.id = id;
  state.tab = tab;
  for (const TabPages& pages : definition.tabs) {
    if (pages.tabId != id) continue;
    for (const char* caption : pages.captions) {
      if (caption == nullptr) break;
      TCITEMA item{};
      item.mask = TCIF_TEXT;
      item.pszText = const_cast<char*>(caption);
      SendMessageA(tab, TCM_INSERTITEMA, static_cast<WPARAM>(state.pages.size()), reinterpret_cast<LPARAM>(&item));
      state.pages.push_back(nullptr);
    }
  }
  RECT display = {0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top};
  SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  state.pageOrigin = {display.left, display.top};
  for (std::size_t i = 0; i < state.pages.size(); ++i) {
    state.pages[i] = CreateWindowExA(
        WS_EX_CONTROLPARENT, kPageClass, "", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (i == 0 ? WS_VISIBLE : 0),
        display.left, display.top, display.right - display.left, display.bottom - display.top, tab, nullptr,
        GetModuleHandleA(nullptr), nullptr);
  }
  return state;
}

void ShowSelectedPage(const TabState& tab) {
  const int selected = static_cast<int>(SendMessageA(tab.tab, TCM_GETCURSEL, 0, 0));
  for (std::size_t i = 0; i < tab.pages.size(); ++i) {
    ShowWindow(tab.pages[i], static_cast<int>(i) == selected ? SW_SHOW : SW_HIDE);
  }
}
