#include "ui/prompts.h"

#include <cstring>
#include <vector>

#include "ui/list_fill.h"

namespace {

// Windows' IDOK (1) .. IDNO (7) map to our result codes 0 .. 6.
int ResultCodeFromDialogId(int id) {
  return (id >= IDOK && id <= IDNO) ? id - IDOK : kResultOk;
}

// --- In-memory input dialog --------------------------------------------------

constexpr int kPromptId = 100;
constexpr int kEditId = 101;

struct InputBoxState {
  const Text* prompt;
  const Text* caption;
  const Text* initialText;
  Text entered;
};

// Appends one DLGITEMTEMPLATE (with class atom, title, no extra data). The
// template holds its texts in UTF-16 whichever function shows it.
void AddItem(std::vector<WORD>& buffer, DWORD style, short x, short y, short cx, short cy, WORD id,
             WORD classAtom, const wchar_t* title = L"") {
  while (buffer.size() % 2 != 0) buffer.push_back(0);  // DWORD alignment
  DLGITEMTEMPLATE item{};
  item.style = style | WS_CHILD | WS_VISIBLE;
  item.x = x; item.y = y; item.cx = cx; item.cy = cy; item.id = id;
  const WORD* raw = reinterpret_cast<const WORD*>(&item);
  buffer.insert(buffer.end(), raw, raw + sizeof(item) / sizeof(WORD));
  buffer.push_back(0xFFFF);
  buffer.push_back(classAtom);
  for (const wchar_t* c = title; *c; ++c) buffer.push_back(static_cast<WORD>(*c));
  buffer.push_back(0);  // end of the title
  buffer.push_back(0);  // creation data
}

std::vector<WORD> BuildInputDialogTemplate(bool withPrompt) {
  const short promptHeight = withPrompt ? 24 : 0;
  std::vector<WORD> buffer;
  DLGTEMPLATE dialog{};
  dialog.style = DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  dialog.cdit = static_cast<WORD>(withPrompt ? 4 : 3);
  dialog.cx = 220;
  dialog.cy = static_cast<short>(52 + promptHeight);
  const WORD* raw = reinterpret_cast<const WORD*>(&dialog);
  buffer.insert(buffer.end(), raw, raw + sizeof(dialog) / sizeof(WORD));
  buffer.push_back(0);  // no menu
  buffer.push_back(0);  // default class
  buffer.push_back(0);  // title, set later
  buffer.push_back(9);  // font size
  for (const char* p = "MS Shell Dlg"; *p; ++p) buffer.push_back(static_cast<WORD>(*p));
  buffer.push_back(0);

  constexpr WORD kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082;
  if (withPrompt) AddItem(buffer, SS_LEFT, 7, 7, 206, 20, kPromptId, kStatic);
  AddItem(buffer, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, static_cast<short>(7 + promptHeight), 206,
          14, kEditId, kEdit);
  AddItem(buffer, BS_DEFPUSHBUTTON | WS_TABSTOP, 106, static_cast<short>(28 + promptHeight), 50, 16, IDOK,
          kButton, L"确定");
  AddItem(buffer, BS_PUSHBUTTON | WS_TABSTOP, 163, static_cast<short>(28 + promptHeight), 50, 16, IDCANCEL,
          kButton, L"取消");
  return buffer;
}

INT_PTR CALLBACK InputBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      const auto* state = reinterpret_cast<const InputBoxState*>(lParam);
      SetWindowTextA(dialog, state->caption->c_str());
      SetDlgItemTextA(dialog, kPromptId, state->prompt->c_str());
      SetDlgItemTextA(dialog, kEditId, state->initialText->c_str());
      return TRUE;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDOK) {
        auto* state = reinterpret_cast<InputBoxState*>(GetWindowLongPtrA(dialog, DWLP_USER));
        HWND edit = GetDlgItem(dialog, kEditId);
        const int length = GetWindowTextLengthA(edit);
        std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
        GetWindowTextA(edit, text.data(), length + 1);
        state->entered = text.data();
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
    }
    default:
      break;
  }
  return FALSE;
}

}  // namespace

int ShowMessageBox(const Text& message, int flags, const Text& caption) {
  UINT style = static_cast<UINT>(flags);
  if ((style & MB_SYSTEMMODAL) == 0) style |= MB_TASKMODAL;
  return ResultCodeFromDialogId(MessageBoxA(nullptr, message.c_str(), caption.c_str(), style));
}

bool ShowInputBox(const Text& prompt, const Text& caption, const Text& initialText, Text& result) {
  InputBoxState state{&prompt, &caption, &initialText, Text()};
  const std::vector<WORD> dialogTemplate = BuildInputDialogTemplate(!prompt.empty());
  const INT_PTR answer = DialogBoxIndirectParamA(
      GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.data()),
      GetActiveWindow(), InputBoxProc, reinterpret_cast<LPARAM>(&state));
  if (answer != IDOK) return false;
  result = state.entered;
  return true;
}

void FocusControl(HWND control) { SetFocus(control); }

void RepaintNow(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void ProcessPendingEvents() {
  RefreshListFills();
  MSG message;
  // Bounded, so that a control that keeps posting cannot hold us here.
  for (int handled = 0; handled < 10000; ++handled) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) return;
    if (message.message == WM_QUIT) return;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}
