#include "protect/access_script.h"

#include "host/backup.h"
#include "host/registry_security.h"

const char kImmunitySuffix[] = " [8 19]\r\n";
const char kUnlockSuffix[] = " [8 1 17]\r\n";
const char kUnlockUserSuffix[] = " [8 1 17 40]\r\n";

namespace {

// The regini codes this program uses, and the access entry each stands for.
struct AccessCode {
  int code;
  KeyTrustee trustee;
  uint32_t mask;
};

// 40 is this program's own: regini has no code for the current user.
const AccessCode kAccessCodes[] = {
    {1, KeyTrustee::Administrators, kKeyAccessFullControl},
    {8, KeyTrustee::Everyone, kKeyAccessRead},
    {10, KeyTrustee::Everyone, kKeyAccessReadWriteDelete},
    {17, KeyTrustee::LocalSystem, kKeyAccessFullControl},
    {18, KeyTrustee::LocalSystem, kKeyAccessReadWrite},
    {19, KeyTrustee::LocalSystem, kKeyAccessRead},
    {40, KeyTrustee::CurrentUser, kKeyAccessFullControl},
};

const AccessCode* FindAccessCode(int code) {
  for (const AccessCode& known : kAccessCodes) {
    if (known.code == code) return &known;
  }
  return nullptr;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "8 19" into {8, 19}: space-separated decimal codes, each one known.
bool ParseCodes(const Text& list, std::vector<int>& codes) {
  codes.clear();
  std::size_t i = 0;
  while (i < list.size()) {
    if (list[i] == ' ') {
      ++i;
      continue;
    }
    int code = 0;
    std::size_t digits = 0;
    for (; i < list.size() && IsDigit(list[i]); ++i, ++digits) {
      if (digits >= 4) return false;
      code = code * 10 + (list[i] - '0');
    }
    if (digits == 0 || (i < list.size() && list[i] != ' ')) return false;
    if (!FindAccessCode(code)) return false;
    codes.push_back(code);
  }
  return !codes.empty();   // an empty list would lock everybody out
}

AccessScriptLine ParseLine(const Text& line) {
  AccessScriptLine parsed;
  // The path may hold spaces and brackets of its own: the access list is the
  // last bracketed part, and it ends the line.
  const std::size_t open = line.rfind('[');
  if (open == Text::npos || open == 0 || line[open - 1] != ' ') return parsed;
  if (line.size() < open + 2 || line.back() != ']') return parsed;
  parsed.keyPath = line.substr(0, open - 1);
  if (!ParseCodes(line.substr(open + 1, line.size() - open - 2), parsed.codes)) return parsed;
  parsed.wellFormed = !parsed.keyPath.empty();
  return parsed;
}

}  // namespace

std::vector<AccessScriptLine> ParseAccessScript(const Text& script) {
  std::vector<AccessScriptLine> lines;
  std::size_t begin = 0;
  while (begin < script.size()) {
    const std::size_t end = script.find("\r\n", begin);
    if (end == Text::npos) {
      lines.push_back(ParseLine(script.substr(begin)));
      break;
    }
    lines.push_back(ParseLine(script.substr(begin, end - begin)));
    begin = end + 2;
  }
  return lines;
}

std::size_t CountScriptLines(const Text& text) {
  std::size_t count = 0;
  for (std::size_t at = text.find("\r\n"); at != Text::npos; at = text.find("\r\n", at + 2)) ++count;
  return count;
}

std::vector<bool> ApplyAccessScript(const Text& script) {
  std::vector<bool> results;
  const std::vector<AccessScriptLine> lines = ParseAccessScript(script);
  TextList changed;
  for (const AccessScriptLine& line : lines) {
    if (line.wellFormed) changed.push_back(line.keyPath);
  }
  // Stopped by the user for want of a backup: nothing is changed.
  if (!changed.empty() && !BackUpAccessLists("access-change", changed)) return std::vector<bool>(lines.size(), false);
  for (const AccessScriptLine& line : lines) {
    if (!line.wellFormed) {
      results.push_back(false);
      continue;
    }
    std::vector<KeyAccessEntry> entries;
    for (int code : line.codes) {
      const AccessCode* known = FindAccessCode(code);
      entries.push_back(KeyAccessEntry{known->trustee, known->mask, true});
    }
    results.push_back(ReplaceKeyAccessList(line.keyPath, entries));
  }
  return results;
}
