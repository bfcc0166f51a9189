#include "host/file_verdicts.h"

#include <windows.h>

#include <deque>
#include <map>

#include "host/signature_checker.h"
#include "host/version_block.h"
#include "host/version_info.h"

namespace {

struct FileTable {
  std::deque<FileFacts> files;     // id - 1; a deque keeps handed-out references valid
  std::map<Text, FileId> byPath;   // lower-cased path
  std::size_t nextToQueue = 0;     // files before it were handed over for checking
  std::size_t pending = 0;         // files whose trust is Pending
};

FileTable& Table() {
  static FileTable table;
  return table;
}

FileFacts ReadCheapFacts(const CommandFile& file) {
  FileFacts facts;
  facts.path = file.path;
  if (!file.found) return facts;
  facts.trust = FileTrust::Pending;
  TextList lines;
  ReadVersionInfoLines(file.path, lines);
  facts.description = DescriptionFromLines(lines);
  facts.company = VersionValueFromLines(lines, "公司名");
  facts.version = VersionValueFromLines(lines, "文件版本");
  return facts;
}

}  // namespace

FileId NoteFile(const CommandFile& file) {
  if (file.path.empty()) return 0;
  FileTable& table = Table();
  const Text key = ToLowerCase(file.path);
  const auto known = table.byPath.find(key);
  if (known != table.byPath.end()) return known->second;
  table.files.push_back(ReadCheapFacts(file));
  if (table.files.back().trust == FileTrust::Pending) ++table.pending;
  const FileId id = static_cast<FileId>(table.files.size());
  table.byPath.emplace(key, id);
  return id;
}

const FileFacts* FactsOf(FileId id) {
  const FileTable& table = Table();
  if (id < 1 || static_cast<std::size_t>(id) > table.files.size()) return nullptr;
  return &table.files[static_cast<std::size_t>(id) - 1];
}

bool IsMicrosoftSigned(const FileFacts& facts) {
  return facts.trust == FileTrust::Signed && facts.signer.find("Microsoft") != Text::npos;
}

bool SignaturesPending() { return Table().pending > 0; }

namespace {

void QueueNotedFiles() {
  FileTable& table = Table();
  for (; table.nextToQueue < table.files.size(); ++table.nextToQueue) {
    const FileFacts& facts = table.files[table.nextToQueue];
    if (facts.trust == FileTrust::Pending) QueueSignatureCheck(static_cast<FileId>(table.nextToQueue + 1), facts.path);
  }
}

}  // namespace

void RunSignatureChecks(bool mayRun) {
  QueueNotedFiles();
  LetSignatureChecksRun(mayRun);
}

bool CollectSignatureFindings() {
  FileTable& table = Table();
  bool changed = false;
  for (const SignatureCheck& check : TakeSignatureFindings()) {
    if (check.id < 1 || static_cast<std::size_t>(check.id) > table.files.size()) continue;
    FileFacts& facts = table.files[static_cast<std::size_t>(check.id) - 1];
    if (facts.trust != FileTrust::Pending) continue;
    --table.pending;
    facts.trust = !check.finding.checked  ? FileTrust::Unchecked
                  : check.finding.isSigned ? FileTrust::Signed
                                           : FileTrust::NotSigned;
    facts.signer = check.finding.signer;
    changed = true;
  }
  return changed;
}

void FinishSignatureChecks(void (*between)()) {
  const UrgentSignatureChecks urgent;
  for (;;) {
    QueueNotedFiles();
    CollectSignatureFindings();
    if (!SignaturesPending()) return;
    between();
    // Leaves the processor to the checking thread.
    Sleep(5);
  }
}

Text DescriptionShown(FileId id) {
  const FileFacts* facts = FactsOf(id);
  if (facts == nullptr) return Text();   // an empty text: nothing to describe
  return facts->trust == FileTrust::Missing ? Text("未知") : facts->description;
}

FileId NoteCommandFile(RegistryView view, const Text& commandLine) {
  return NoteFile(ResolveCommandFile(view, commandLine));
}

FileId NoteListedFiles(RegistryView view, const Text& text) { return NoteFile(ResolveListedFiles(view, text)); }
