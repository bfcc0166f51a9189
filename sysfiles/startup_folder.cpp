#include "sysfiles/startup_folder.h"

#include "ui/row_sink.h"
#include "ui/prompts.h"
#include "host/backup.h"
#include "host/files.h"
#include "host/folder_files.h"
#include "host/file_verdicts.h"
#include "sysfiles/drive_autoruns.h"

namespace {

constexpr int kPathColumn = 2;
constexpr int kAttributeReadOnly = 0x01;
constexpr int kAttributeDirectory = 0x10;

// Malware marks its files read-only so that they resist deletion; the user
// asked for the file to go, so the mark is taken off first (and put back
// when the file still cannot be deleted).
bool DeleteListedFile(const Text& path) {
  if (DeleteFile(path)) return true;
  const int attributes = GetFileAttributes(path);
  if (attributes == -1 || (attributes & kAttributeReadOnly) == 0 || (attributes & kAttributeDirectory) != 0) {
    return false;
  }
  if (!SetFileAttributes(path, attributes & ~kAttributeReadOnly)) return false;
  if (DeleteFile(path)) return true;
  SetFileAttributes(path, attributes);
  return false;
}

}  // namespace

void LoadStartupFolderPage(ResultList& list, const Text& folder) {
  RowSink rows(list);
  if (!rows.Accepting()) return;
  TextList names;
  if (!folder.empty()) ListFolderFiles(folder + "*.*", names);   // "*.*" alone would list the current folder
  for (const Text& name : names) {
    rows.LetEventsThrough();
    const Text path = folder + name;
    const FileId file = NoteFile(ResolveStartupFolderFile(path));
    rows.Add({path, DescriptionShown(file), path}, file);   // the last is the hidden path column
  }
  for (const DriveAutorun& autorun : FindDriveAutoruns()) {
    rows.LetEventsThrough();
    rows.Add({autorun.infPath, autorun.starts.empty() ? Text("未知") : autorun.starts, autorun.infPath});
  }
}

void DeleteStartupFolderFile(ResultList& list) {
  const int row = list.CurrentRow();
  const Text path = list.GetCellText(row, kPathColumn);
  if (path.empty()) return;
  if (ShowMessageBox("是否删除文件\r\n" + path, kYesNo, "Windows") != kResultYes) return;
  // Delete what the user was asked about, even if the list changed meanwhile.
  if (!BackUpFile("startup-file-delete", path) || !DeleteListedFile(path)) return;
  if (list.GetCellText(row, kPathColumn) == path) list.DeleteRow(row);
}
