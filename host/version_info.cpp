// File version information: the labelled lines of a file's version strings.
#include <windows.h>

#include <cstdio>

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

const char kColon[] = "：";
const char kDescriptionLabel[] = "描述";
constexpr long long kLabelWidth = 12;

// The first translation entry as "LLLLCCCC" (language, code page).
bool TranslationKey(ByteString& block, Text& key) {
  void* pointer = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &pointer, &length)) return false;
  const ByteString entry = CopyFromBlock(block, pointer, length);
  const uint32_t value = static_cast<uint32_t>(ReadTypedValue(entry, ValueType::Int32).integer);
  char text[9];
  std::snprintf(text, sizeof text, "%04X%04X", static_cast<unsigned>(value & 0xFFFFu),
                static_cast<unsigned>(value >> 16));
  key = text;
  return true;
}

Text VersionLine(const Text& label, const Text& value) {
  const Text head = label + kColon;
  return head + SpaceText(kLabelWidth - static_cast<long long>(head.size())) + value;
}

}  // namespace

ByteString CopyFromBlock(const ByteString& block, const void* pointer, std::size_t claimedLength) {
  const auto* begin = block.data();
  const auto* end = begin + block.size();
  const auto* from = static_cast<const unsigned char*>(pointer);
  // Compared as addresses: the pointer need not lie inside the block.
  const auto address = reinterpret_cast<uintptr_t>(from);
  if (from == nullptr || address < reinterpret_cast<uintptr_t>(begin) || address >= reinterpret_cast<uintptr_t>(end)) {
    return ByteString();
  }
  const std::size_t available = static_cast<std::size_t>(end - from);
  return ByteString(from, from + (claimedLength < available ? claimedLength : available));
}

void ReadVersionInfoLines(const Text& path, TextList& lines) {
  lines.clear();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size < 1) return;
  ByteString block(size, 0);
  // A block that did not load is not queried: it holds nothing to find.
  if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return;
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
  const Text label = kDescriptionLabel;
  const std::size_t head = label.size() + Text(kColon).size();
  for (const Text& line : lines) {
    if (line.compare(0, label.size(), label) == 0) return TrimSpaces(line.substr(head));
  }
  return Text();
}
