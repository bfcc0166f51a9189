#include "ui/file_verdict_rows.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "ui/list_fill.h"
#include "ui/row_hints.h"
#include "ui/window_engine.h"

namespace {

constexpr COLORREF kWarningColour = RGB(0xD0, 0x00, 0x00);
constexpr COLORREF kWindowsColour = RGB(0x80, 0x80, 0x80);

// Signatures are checked beside the window; each tick says whether the
// window is idle enough for checks to run and colours the rows whose
// verdicts arrived.
constexpr UINT_PTR kVerdictTimerId = 0x5644;   // "VD"; distinct from the window's own timer
constexpr UINT kTickMilliseconds = 40;
constexpr int kHintWidth = 600;

// The lists that show verdicts, with the column of their stored text. Kept
// in the process: every row's drawing asks, and a window property would be
// read through the window server.
struct ShadedList {
  HWND list;
  int storedTextColumn;
};

std::vector<ShadedList>& ShadedLists() {
  static std::vector<ShadedList> lists;
  return lists;
}

const ShadedList* ShadedListOf(HWND list) {
  for (const ShadedList& shaded : ShadedLists()) {
    if (shaded.list == list) return &shaded;
  }
  return nullptr;
}

bool ShowsVerdicts(HWND list) { return ShadedListOf(list) != nullptr; }

}  // namespace

Text FileVerdictHintAt(const ResultList& list, POINT clientPoint) {
  LVHITTESTINFO hit{};
  hit.pt = clientPoint;
  const int row = static_cast<int>(SendMessageA(list.Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (row < 0 || (hit.flags & LVHT_ONITEM) == 0) return Text();
  const ShadedList* shaded = ShadedListOf(list.Handle());
  const int column = shaded != nullptr ? shaded->storedTextColumn : -1;
  return FileVerdictHint(list.GetCellText(row, column), FactsOf(static_cast<FileId>(list.RowTag(row))));
}

namespace {

void CALLBACK CheckSomeVerdicts(HWND window, UINT, UINT_PTR timer, DWORD) {
  // A scan lets messages through between rows: its time is not the checks'.
  RunSignatureChecks(!HandlersRunning(window) && !ListFill::AnyFilling());
  if (CollectSignatureFindings()) {
    auto& lists = ShadedLists();
    lists.erase(std::remove_if(lists.begin(), lists.end(), [](const ShadedList& shaded) { return !IsWindow(shaded.list); }),
                lists.end());
    for (const ShadedList& shaded : lists) InvalidateRect(shaded.list, nullptr, FALSE);
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
  auto& lists = ShadedLists();
  lists.erase(std::remove_if(lists.begin(), lists.end(), [](const ShadedList& shaded) { return !IsWindow(shaded.list); }),
              lists.end());
  if (handle == nullptr || ShowsVerdicts(handle)) return;
  lists.push_back({handle, storedTextColumn});
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

Text TrustLine(const FileFacts& facts) {
  switch (facts.trust) {
    case FileTrust::Missing:
      return "文件不存在";
    case FileTrust::Signed:
      return "签名：" + (facts.signer.empty() ? Text("（签名者不明）") : facts.signer);
    case FileTrust::NotSigned:
      return "未签名";
    case FileTrust::Unchecked:
      return "签名：无法检查";
    default:
      return "签名：正在检查";
  }
}

Text FileVerdictHint(const Text& storedText, const FileFacts* facts) {
  if (facts == nullptr) return storedText;
  Text hint = storedText + "\r\n文件：" + facts->path;
  if (facts->trust == FileTrust::Missing) return hint + "\r\n" + TrustLine(*facts);
  if (!facts->description.empty()) hint += "\r\n描述：" + facts->description;
  if (!facts->company.empty()) hint += "\r\n公司：" + facts->company;
  if (!facts->version.empty()) hint += "\r\n版本：" + facts->version;
  return hint + "\r\n" + TrustLine(*facts);
}

void ScheduleFileVerdicts(const ResultList& list) {
  HWND window = GetAncestor(list.Handle(), GA_ROOT);
  if (window != nullptr && SignaturesPending()) SetTimer(window, kVerdictTimerId, kTickMilliseconds, CheckSomeVerdicts);
}
