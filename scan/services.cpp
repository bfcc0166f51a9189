#include "scan/services.h"

#include "ui/list_fill.h"
#include "ui/prompts.h"
#include "host/registry.h"
#include "host/registry_presence.h"

namespace {

const char kServicesKey[] = "SYSTEM\\CurrentControlSet\\Services";
const char* const kStartTypes[] = {"启动", "系统", "自动", "手动", "禁用"};
constexpr int32_t kStartTypeCount = 5;

Text ValuePath(const Text& service, const char* value) {
  return ConcatText(Text(kServicesKey), Text("\\"), service, Text("\\"), Text(value));
}

}  // namespace

Text StartTypeText(int32_t start) {
  return (start >= 0 && start < kStartTypeCount) ? Text(kStartTypes[start]) : Text();
}

void ScanServices(ResultList& list) {
  ListFill fill(list);   // drawn a few times a second, not for every row
  list.ClearRows();
  TextList services;
  ListSubkeys(kLocalMachine, kServicesKey, services);
  for (const Text& service : services) {
    ProcessPendingEvents();
    // Keys without an image are configuration-only entries, not services.
    if (!RegistryItemExists(kLocalMachine, ValuePath(service, "ImagePath"))) continue;
    const int row = list.InsertRow();
    list.SetCellText(row, kServiceDisplayName, ReadRegistryText(kLocalMachine, ValuePath(service, "DisplayName")));
    list.SetCellText(row, kServiceDescription, ReadRegistryText(kLocalMachine, ValuePath(service, "Description")));
    list.SetCellText(row, kServiceImagePath, ReadRegistryText(kLocalMachine, ValuePath(service, "ImagePath")));
    // Read with an out-of-range default: a missing or non-DWORD "Start"
    // leaves the column empty instead of reading as 0, the boot start type.
    list.SetCellText(row, kServiceStartType,
                     StartTypeText(ReadRegistryNumber(kLocalMachine, ValuePath(service, "Start"), kStartTypeCount)));
    list.SetCellText(row, kServiceKeyName, service);
  }
}

void ShowServiceDetails(const ResultList& list, Label& description, ComboBox& startType) {
  const int row = list.CurrentRow();
  description.SetCaption(list.GetCellText(row, kServiceDescription));
  RepaintNow(description.Handle());
  const Text shown = list.GetCellText(row, kServiceStartType);
  for (int32_t start = 0; start < kStartTypeCount; ++start) {
    if (shown == kStartTypes[start]) {
      startType.SetCurrentItem(start);
      return;
    }
  }
}

void ChangeServiceStart(ResultList& list, const ComboBox& startType) {
  const int row = list.CurrentRow();
  const Text service = list.GetCellText(row, kServiceKeyName);
  const int32_t start = startType.CurrentItem();
  // Without a service (no row selected) or a start type there is nothing to
  // change: the path would name a value "Start" directly under the Services
  // key, or the boot start type would be forced on the service.
  if (service.empty() || start < 0 || start >= kStartTypeCount) return;
  // A service removed since the scan gets no key made up for it.
  if (!RegistryKeyPresent(kLocalMachine, Text(kServicesKey) + "\\" + service)) return;
  const Text path = ValuePath(service, "Start");
  WriteRegistryValue(kLocalMachine, path, start);
  const Text stored = StartTypeText(ReadRegistryNumber(kLocalMachine, path, kStartTypeCount));
  if (!stored.empty()) list.SetCellText(row, kServiceStartType, stored);
}
