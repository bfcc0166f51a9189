#include "scan/services.h"

#include "ui/row_sink.h"
#include "ui/prompts.h"
#include "host/backup.h"
#include "host/display_text.h"
#include "host/file_verdicts.h"
#include "host/registry.h"
#include "host/registry_presence.h"

namespace {

const char kServicesKey[] = "SYSTEM\\CurrentControlSet\\Services";
const char* const kStartTypes[] = {"启动", "系统", "自动", "手动", "禁用"};
constexpr int32_t kStartTypeCount = 5;

Text ValuePath(const Text& service, const char* value) {
  return ConcatText(Text(kServicesKey), Text("\\"), service, Text("\\"), Text(value));
}

// Whether the command line starts svchost with a group ("-k"). XP writes
// "%SystemRoot%\system32\svchost -k DcomLaunch", later systems the ".exe"
// and sometimes quotes: the program is recognised by its file name alone.
bool RunsInSvchost(const Text& image) {
  const Text lowered = ToLowerCase(image);
  const bool quoted = !lowered.empty() && lowered[0] == '"';
  const std::size_t programEnd = quoted ? lowered.find('"', 1) : lowered.find(' ');
  if (programEnd == Text::npos) return false;
  const Text program = lowered.substr(quoted ? 1 : 0, programEnd - (quoted ? 1 : 0));
  const std::size_t slash = LastBackslash(program);
  const Text name = slash == Text::npos ? program : program.substr(slash + 1);
  if (name != "svchost" && name != "svchost.exe") return false;
  return (" " + lowered.substr(programEnd + 1)).find(" -k") != Text::npos;
}

// The library a svchost service runs: Parameters\ServiceDll, or the
// service key's own ServiceDll, which svchost also reads.
Text ServiceLibrary(const Text& service) {
  const Text library = ReadRegistryText(kLocalMachine, ValuePath(service, "Parameters\\ServiceDll"));
  return library.empty() ? ReadRegistryText(kLocalMachine, ValuePath(service, "ServiceDll")) : library;
}

// What the "系统文件" column shows: the image, and for a service that runs
// inside svchost the library that really runs, which is all that tells two
// svchost services apart. The row keeps that file: the library, or the image.
struct ServiceFile {
  Text shown;
  FileId file;
};

ServiceFile ServiceFiles(const Text& service) {
  const Text image = ReadRegistryText(kLocalMachine, ValuePath(service, "ImagePath"));
  const Text library = RunsInSvchost(image) ? ServiceLibrary(service) : Text();
  if (library.empty()) return {image, NoteCommandFile(RegistryView::Native, image)};
  return {image + " | " + library, NoteCommandFile(RegistryView::Native, library)};
}

}  // namespace

Text StartTypeText(int32_t start) {
  return (start >= 0 && start < kStartTypeCount) ? Text(kStartTypes[start]) : Text();
}

void ScanServices(ResultList& list) {
  RowSink rows(list);
  if (!rows.Accepting()) return;
  TextList services;
  ListSubkeys(kLocalMachine, kServicesKey, services);
  for (const Text& service : services) {
    rows.LetEventsThrough();
    // Keys without an image are configuration-only entries, not services.
    if (!RegistryItemExists(kLocalMachine, ValuePath(service, "ImagePath"))) continue;
    // Cells in column order (ServiceColumn). Start is read with an
    // out-of-range default: a missing or non-DWORD "Start" leaves the column
    // empty instead of reading as 0, the boot start type.
    const ServiceFile files = ServiceFiles(service);
    rows.Add({ReadRegistryDisplayText(kLocalMachine, ValuePath(service, "DisplayName")),
              ReadRegistryDisplayText(kLocalMachine, ValuePath(service, "Description")),
              files.shown,
              StartTypeText(ReadRegistryNumber(kLocalMachine, ValuePath(service, "Start"), kStartTypeCount)),
              service},
             files.file);
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
  if (!BackUpRegistry("service-start", {ValueBackup(kLocalMachine, Text(kServicesKey) + "\\" + service, "Start")})) {
    return;
  }
  WriteRegistryValue(kLocalMachine, path, start);
  const Text stored = StartTypeText(ReadRegistryNumber(kLocalMachine, path, kStartTypeCount));
  if (!stored.empty()) list.SetCellText(row, kServiceStartType, stored);
}
