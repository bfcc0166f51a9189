// File version information: the labelled lines of a file's version strings.
#include <windows.h>

#include "host/files.h"
#include "host/native_view.h"
#include "host/version_block.h"
#include "host/version_info.h"

namespace {

struct VersionString {
  const char* key;
  const char* label;
};

const VersionString kVersionStrings[] = {
    {"Comments", "备注"},
    {"CompanyName", "公司名"},
    {"FileDescription", "描述"},
    {"FileVersion", "文件版本"},
    {"InternalName", "内部名称"},
    {"LegalCopyright", "版权"},
    {"LegalTrademarks", "合法商标"},
    {"OriginalFilename", "原文件名"},
    {"PrivateBuild", "个人用编译版说明"},
    {"ProductName", "产品名称"},
    {"ProductVersion", "产品版本"},
    {"SpecialBuild", "特殊编译版说明"},
};

// The first translation entry as "LLLLCCCC" (language, code page).
bool TranslationKey(ByteString& block, Text& key) {
  void* pointer = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &pointer, &length)) return false;
  key = TranslationKeyFromEntry(CopyFromBlock(block, pointer, length));
  return true;
}

}  // namespace

void ReadVersionInfoLines(const Text& name, TextList& lines) {
  lines.clear();
  // The version functions would look for a bare name along the search path,
  // which starts beside Veltro.exe.
  const Text path = FullFilePath(name);
  ByteString block;
  {
    const NativeFileView nativeFiles;   // describe the file the entry names, not its 32-bit namesake
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size < 1) return;
    block.assign(size, 0);
    // A block that did not load is not queried: it holds nothing to find.
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return;
  }
  Text translation;
  if (!TranslationKey(block, translation)) return;
  for (const VersionString& entry : kVersionStrings) {
    const Text query = Text("\\StringFileInfo\\") + translation + "\\" + entry.key;
    void* pointer = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), query.c_str(), &pointer, &length)) continue;
    const Text value = ToText(CopyFromBlock(block, pointer, length));
    if (value.empty()) continue;
    lines.push_back(VersionLine(entry.label, value));
  }
}

Text GetFileDescription(const Text& path) {
  TextList lines;
  ReadVersionInfoLines(path, lines);
  return DescriptionFromLines(lines);
}
