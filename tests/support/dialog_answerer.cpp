#include "support/dialog_answerer.h"

#include <utility>

namespace {

constexpr int kMessageTextId = 0xFFFF;   // the static that holds a message box's text
constexpr int kMessageIconId = 0x0440;

Text TextOf(HWND window) {
  char buffer[4096] = {};
  GetWindowTextA(window, buffer, sizeof(buffer));
  return buffer;
}

struct FindDialog {
  DWORD process;
  HWND found;
};

BOOL CALLBACK FindOwnDialog(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<FindDialog*>(parameter);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char className[64] = {};
  GetClassNameA(window, className, sizeof(className));
  if (process == search->process && IsWindowVisible(window) && lstrcmpA(className, "#32770") == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK MatchVisibleEdit(HWND child, LPARAM parameter) {
  char className[16] = {};
  GetClassNameA(child, className, sizeof(className));
  if (lstrcmpiA(className, "EDIT") != 0 || !IsWindowVisible(child)) return TRUE;
  *reinterpret_cast<HWND*>(parameter) = child;
  return FALSE;
}

// The edit field the user types into: a direct child of an input box, the
// file name field inside a combo box of a save dialog.
HWND FirstEditChild(HWND dialog) {
  HWND found = nullptr;
  EnumChildWindows(dialog, MatchVisibleEdit, reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

namespace {

bool IsYesNo(const SeenDialog& seen) { return seen.hasYes && seen.hasNo && !seen.hasOk && !seen.hasCancel; }

}  // namespace

bool IsYesNoWithInformationIcon(const SeenDialog& seen) {
  return IsYesNo(seen) && seen.icon != nullptr && seen.icon == LoadIconA(nullptr, IDI_INFORMATION);
}

bool IsYesNoWithoutIcon(const SeenDialog& seen) { return IsYesNo(seen) && seen.icon == nullptr; }

DialogAnswerer::DialogAnswerer(std::vector<DialogAnswer> answers)
    : answers_(std::move(answers)), thread_([this] { Watch(); }) {}

DialogAnswerer::~DialogAnswerer() { stop_ = true; }   // the thread is joined next

std::vector<SeenDialog> DialogAnswerer::Seen() const {
  CriticalSection::Lock lock(lock_);
  return seen_;
}

void DialogAnswerer::Watch() {
  std::size_t next = 0;
  HWND lastAnswered = nullptr;
  while (!stop_) {
    FindDialog search{GetCurrentProcessId(), nullptr};
    EnumWindows(FindOwnDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found && search.found != lastAnswered && next < answers_.size()) {
      HWND dialog = search.found;
      SeenDialog seen;
      seen.caption = TextOf(dialog);
      if (HWND text = GetDlgItem(dialog, kMessageTextId)) seen.message = TextOf(text);
      seen.hasYes = GetDlgItem(dialog, IDYES) != nullptr;
      seen.hasNo = GetDlgItem(dialog, IDNO) != nullptr;
      seen.hasOk = GetDlgItem(dialog, IDOK) != nullptr;
      seen.hasCancel = GetDlgItem(dialog, IDCANCEL) != nullptr;
      if (seen.hasOk) seen.okText = TextOf(GetDlgItem(dialog, IDOK));
      if (seen.hasCancel) seen.cancelText = TextOf(GetDlgItem(dialog, IDCANCEL));
      HWND icon = GetDlgItem(dialog, kMessageIconId);  // Wine keeps a hidden one
      if (icon != nullptr && IsWindowVisible(icon)) {
        seen.icon = reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0));
      }
      HWND edit = FirstEditChild(dialog);
      seen.hasEdit = edit != nullptr;
      const DialogAnswer& answer = answers_[next++];
      if (edit) SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(answer.inputText.c_str()));
      {
        CriticalSection::Lock lock(lock_);
        seen_.push_back(seen);
      }
      HWND button = GetDlgItem(dialog, answer.buttonId);
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(answer.buttonId, BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
      lastAnswered = dialog;
    }
    if (lastAnswered && !IsWindow(lastAnswered)) lastAnswered = nullptr;
    Sleep(20);
  }
}
