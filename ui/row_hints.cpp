#include "ui/row_hints.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>
#include <utility>
#include <vector>

#include "ui/subclass.h"

namespace {

constexpr char kHintsSubclass[] = "Veltro.RowHints";

struct RowHints {
  HWND tooltip = nullptr;
  RowHintSource source = nullptr;
  int row = -1;              // row the pointer rests on
  Text text;                 // storage the tooltip reads from
  std::wstring textWide;
};

// Kept in the process, not in window properties: the list's procedure asks
// for every message, and a property is read through the window server.
std::vector<std::pair<HWND, RowHints*>>& HintedLists() {
  static std::vector<std::pair<HWND, RowHints*>> lists;
  return lists;
}

RowHints* HintsOf(HWND list) {
  for (const auto& hinted : HintedLists()) {
    if (hinted.first == list) return hinted.second;
  }
  return nullptr;
}

void ForgetHints(HWND list) {
  auto& lists = HintedLists();
  for (auto it = lists.begin(); it != lists.end(); ++it) {
    if (it->first == list) {
      delete it->second;
      lists.erase(it);
      return;
    }
  }
}

void SupplyHint(HWND list, RowHints& hints, NMHDR& header) {
  POINT point;
  GetCursorPos(&point);
  ScreenToClient(list, &point);
  hints.text = hints.source(ResultList(list), point);
  if (header.code == TTN_GETDISPINFOA) {
    auto& info = reinterpret_cast<NMTTDISPINFOA&>(header);
    info.lpszText = const_cast<char*>(hints.text.c_str());
    info.hinst = nullptr;
  } else {
    const int length = MultiByteToWideChar(936, 0, hints.text.c_str(), -1, nullptr, 0);
    hints.textWide.assign(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    if (length > 0) MultiByteToWideChar(936, 0, hints.text.c_str(), -1, &hints.textWide[0], length);
    auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
    info.lpszText = &hints.textWide[0];
    info.hinst = nullptr;
  }
}

LRESULT CALLBACK HintedListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  if (RowHints* hints = HintsOf(list)) {
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
      // Relayed here rather than by the tooltip's own subclass of the list:
      // Wine's comctl32 looks that subclass up in a window property, through
      // the window server, for every message the list gets.
      MSG relayed{list, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}};
      ClientToScreen(list, &relayed.pt);
      SendMessageA(hints->tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
    switch (message) {
      case WM_MOUSEMOVE: {
        LVHITTESTINFO hit{};
        hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const int row = static_cast<int>(SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        if (row != hints->row) {
          hints->row = row;
          SendMessageA(hints->tooltip, TTM_POP, 0, 0);   // the next tip asks for the new row's text
        }
        break;
      }
      case WM_NOTIFY: {
        auto& header = *reinterpret_cast<NMHDR*>(lParam);
        if (header.hwndFrom == hints->tooltip &&
            (header.code == TTN_GETDISPINFOA || header.code == TTN_GETDISPINFOW)) {
          SupplyHint(list, *hints, header);
          return 0;
        }
        break;
      }
      case WM_NCDESTROY:
        ForgetHints(list);
        break;
      default:
        break;
    }
  }
  return CallReplacedProc(list, kHintsSubclass, message, wParam, lParam);
}

}  // namespace

bool AttachRowHints(ResultList list, RowHintSource source, int maxWidth) {
  HWND handle = list.Handle();
  if (handle == nullptr || source == nullptr || HintsOf(handle) != nullptr) return false;
  HWND tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 GetAncestor(handle, GA_ROOT), nullptr, GetModuleHandleA(nullptr), nullptr);
  if (tooltip == nullptr) return false;
  auto* hints = new RowHints;   // freed with the list
  hints->tooltip = tooltip;
  hints->source = source;
  HintedLists().push_back({handle, hints});
  if (!InstallSubclass(handle, kHintsSubclass, HintedListProc)) {
    ForgetHints(handle);
    DestroyWindow(tooltip);
    return false;
  }
  TTTOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;   // understood by every comctl32 version
  tool.uFlags = TTF_IDISHWND;   // mouse messages relayed by HintedListProc
  tool.hwnd = handle;                  // receives TTN_GETDISPINFO
  tool.uId = reinterpret_cast<UINT_PTR>(handle);
  tool.lpszText = LPSTR_TEXTCALLBACKA;
  SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  if (maxWidth > 0) SendMessageA(tooltip, TTM_SETMAXTIPWIDTH, 0, maxWidth);
  // Long hints stay up long enough to be read.
  if (maxWidth > 0) SendMessageA(tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
  return true;
}
