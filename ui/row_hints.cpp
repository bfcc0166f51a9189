#include "ui/row_hints.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>

#include "ui/subclass.h"

namespace {

constexpr char kHintsProperty[] = "Veltro.RowHints";       // the replaced procedure
constexpr char kStateProperty[] = "Veltro.RowHintsState";  // the RowHints below

struct RowHints {
  HWND tooltip = nullptr;
  RowHintSource source = nullptr;
  int row = -1;              // row the pointer rests on
  Text text;                 // storage the tooltip reads from
  std::wstring textWide;
};

RowHints* HintsOf(HWND list) {
  return reinterpret_cast<RowHints*>(GetPropA(list, kStateProperty));
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
        RemovePropA(list, kStateProperty);
        delete hints;
        break;
      default:
        break;
    }
  }
  return CallReplacedProc(list, kHintsProperty, message, wParam, lParam);
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
  SetPropA(handle, kStateProperty, hints);
  if (!InstallSubclass(handle, kHintsProperty, HintedListProc)) {
    RemovePropA(handle, kStateProperty);
    delete hints;
    DestroyWindow(tooltip);
    return false;
  }
  TTTOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;   // understood by every comctl32 version
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = handle;                  // receives TTN_GETDISPINFO
  tool.uId = reinterpret_cast<UINT_PTR>(handle);
  tool.lpszText = LPSTR_TEXTCALLBACKA;
  SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  if (maxWidth > 0) SendMessageA(tooltip, TTM_SETMAXTIPWIDTH, 0, maxWidth);
  // Long hints stay up long enough to be read.
  if (maxWidth > 0) SendMessageA(tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
  return true;
}
