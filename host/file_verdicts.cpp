#include "host/file_verdicts.h"

#include <windows.h>

#include <deque>
#include <map>

#include "host/signatures.h"
#include "host/version_block.h"
#include "host/version_info.h"

namespace {

struct FileTable {
  std::deque<FileFacts> files;     // id - 1; a deque keeps handed-out references valid
  std::map<Text, FileId> byPath;   // lower-cased path
  std::size_t nextToCheck = 0;     // files before it have no Pending verdict
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

bool SignaturesPending() {
  const FileTable& table = Table();
  for (std::size_t i = table.nextToCheck; i < table.files.size(); ++i) {
    if (table.files[i].trust == FileTrust::Pending) return true;
  }
  return false;
}

bool CheckPendingSignatures(unsigned milliseconds) {
  FileTable& table = Table();
  const DWORD start = GetTickCount();
  bool changed = false;
  while (table.nextToCheck < table.files.size()) {
    FileFacts& facts = table.files[table.nextToCheck++];
    if (facts.trust != FileTrust::Pending) continue;
    const SignatureFinding finding = CheckFileSignature(facts.path);
    facts.trust = !finding.checked  ? FileTrust::Unchecked
                  : finding.isSigned ? FileTrust::Signed
                                     : FileTrust::NotSigned;
    facts.signer = finding.signer;
    changed = true;
    if (GetTickCount() - start >= milliseconds) break;
  }
  return changed;
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
