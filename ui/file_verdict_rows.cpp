#include "ui/file_verdict_rows.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "ui/list_fill.h"
#include "ui/row_hints.h"
#include "ui/window_engine.h"

namespace {

constexpr char kStoredColumnProperty[] = "Veltro.StoredTextColumn";   // column + 1
constexpr COLORREF kWarningColour = RGB(0xD0, 0x00, 0x00);
constexpr COLORREF kWindowsColour = RGB(0x80, 0x80, 0x80);

// Idle work: one slice of signature checks per tick, short enough that the
// window answers within a frame or two whatever the machine's speed.
constexpr UINT_PTR kVerdictTimerId = 0x5644;   // "VD"; distinct from the window's own timer
constexpr UINT kTickMilliseconds = 40;
constexpr unsigned kSliceMilliseconds = 30;
constexpr int kHintWidth = 600;

std::vector<HWND>& ShadedLists() {
  static std::vector<HWND> lists;
  return lists;
}

bool ShowsVerdicts(HWND list) { return GetPropA(list, kStoredColumnProperty) != nullptr; }

}  // namespace

Text FileVerdictHintAt(const ResultList& list, POINT clientPoint) {
  LVHITTESTINFO hit{};
  hit.pt = clientPoint;
  const int row = static_cast<int>(SendMessageA(list.Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (row < 0 || (hit.flags & LVHT_ONITEM) == 0) return Text();
  const int column = static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(list.Handle(), kStoredColumnProperty))) - 1;
  return FileVerdictHint(list.GetCellText(row, column), FactsOf(static_cast<FileId>(list.RowTag(row))));
}

namespace {

void CALLBACK CheckSomeVerdicts(HWND window, UINT, UINT_PTR timer, DWORD) {
  // A scan lets messages through between rows: its time is not ours.
  if (HandlersRunning(window) || ListFill::AnyFilling()) return;
  if (CheckPendingSignatures(kSliceMilliseconds)) {
    auto& lists = ShadedLists();
    lists.erase(std::remove_if(lists.begin(), lists.end(), [](HWND list) { return !IsWindow(list); }), lists.end());
    for (HWND list : lists) InvalidateRect(list, nullptr, FALSE);
  }
  if (!SignaturesPending()) KillTimer(window, timer);
}

}  // namespace

RowShade ShadeOf(const FileFacts* facts) {
  if (facts == nullptr) return RowShade::Normal;
  switch (facts->trust) {
    case FileTrust::Missing:
    case FileTrust::NotSigned:
      return RowShade::Warning;
    case FileTrust::Signed:
      return IsMicrosoftSigned(*facts) ? RowShade::Windows : RowShade::Normal;
    default:
      return RowShade::Normal;
  }
}

void ShowFileVerdicts(ResultList list, int storedTextColumn) {
  HWND handle = list.Handle();
  if (handle == nullptr || ShowsVerdicts(handle)) return;
  SetPropA(handle, kStoredColumnProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(storedTextColumn + 1)));
  ShadedLists().push_back(handle);
  AttachRowHints(list, FileVerdictHintAt, kHintWidth);
}

bool DrawRowShade(NMHDR& header, LRESULT& result) {
  if (header.code != NM_CUSTOMDRAW || !ShowsVerdicts(header.hwndFrom)) return false;
  auto& draw = reinterpret_cast<NMLVCUSTOMDRAW&>(header);
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
    result = CDRF_NOTIFYITEMDRAW;
    return true;
  }
  if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return false;
  const RowShade shade = ShadeOf(FactsOf(static_cast<FileId>(draw.nmcd.lItemlParam)));
  if (shade == RowShade::Warning) draw.clrText = kWarningColour;
  if (shade == RowShade::Windows) draw.clrText = kWindowsColour;
  result = CDRF_DODEFAULT;
  return true;
}

Text FileVerdictHint(const Text& storedText, const FileFacts* facts) {
  if (facts == nullptr) return storedText;
  Text hint = storedText + "\r\n文件：" + facts->path;
  if (facts->trust == FileTrust::Missing) return hint + "\r\n文件不存在";
  if (!facts->description.empty()) hint += "\r\n描述：" + facts->description;
  if (!facts->company.empty()) hint += "\r\n公司：" + facts->company;
  if (!facts->version.empty()) hint += "\r\n版本：" + facts->version;
  switch (facts->trust) {
    case FileTrust::Signed:
      return hint + "\r\n签名：" + (facts->signer.empty() ? Text("（签名者不明）") : facts->signer);
    case FileTrust::NotSigned:
      return hint + "\r\n未签名";
    default:
      return hint + "\r\n签名：正在检查";
  }
}

void ScheduleFileVerdicts(const ResultList& list) {
  HWND window = GetAncestor(list.Handle(), GA_ROOT);
  if (window != nullptr && SignaturesPending()) SetTimer(window, kVerdictTimerId, kTickMilliseconds, CheckSomeVerdicts);
}
