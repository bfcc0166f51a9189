// Entries a scanner test puts in the real, shared locations of the prefix and
// takes out again: exactly its own values and keys, nothing else.
#pragma once

#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "base/text_ops.h"
#include "support/fixtures.h"
#include "support/test_window.h"

class RegistryScratch {
 public:
  ~RegistryScratch() {
    for (auto undo = undo_.rbegin(); undo != undo_.rend(); ++undo) (*undo)();
  }
  // A key of the test's own, removed whole at the end.
  void Key(HKEY root, const Text& key) {
    HKEY handle = nullptr;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) == 0) {
      RegCloseKey(handle);
    }
    undo_.push_back([=] { RegDeleteTreeA(root, key.c_str()); RegDeleteKeyA(root, key.c_str()); });
  }
  // A value of the test's own, possibly in a shared key; removed at the end.
  void Value(HKEY root, const Text& key, const Text& name, DWORD type, const ByteString& data) {
    RegSetKeyValueA(root, key.c_str(), name.c_str(), type, data.data(), static_cast<DWORD>(data.size()));
    undo_.push_back([=] { RegDeleteKeyValueA(root, key.c_str(), name.c_str()); });
  }
  void String(HKEY root, const Text& key, const Text& name, const Text& text, DWORD type = REG_SZ) {
    Value(root, key, name, type, ByteString(text.c_str(), text.c_str() + text.size() + 1));
  }
  void Number(HKEY root, const Text& key, const Text& name, DWORD number) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&number);
    Value(root, key, name, REG_DWORD, ByteString(bytes, bytes + sizeof number));
  }
  static bool KeyExists(HKEY root, const Text& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != 0) return false;
    RegCloseKey(handle);
    return true;
  }
  // Replaces the key's access list by the one the SDDL text gives; false
  // when the key could not be opened to change it.
  static bool SetAccess(HKEY root, const Text& key, const char* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    HKEY handle = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr);
    const bool opened = RegOpenKeyExA(root, key.c_str(), 0, WRITE_DAC, &handle) == 0;
    if (opened) {
      RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, descriptor);
      RegCloseKey(handle);
    }
    LocalFree(descriptor);
    return opened;
  }
  static bool ValueExists(HKEY root, const Text& key, const Text& name) {
    return RegGetValueA(root, key.c_str(), name.c_str(), RRF_RT_ANY, nullptr, nullptr, nullptr) == 0;
  }

 private:
  std::vector<std::function<void()>> undo_;
};

// Rows of a scan into a list of its own.
inline std::vector<std::vector<Text>> ScanRows(void (*scan)(ResultList&), std::vector<int> columns) {
  TestListHost host(columns);
  scan(host.List());
  return host.Rows();
}

// The row whose cell in `column` is `text`, or -1.
inline int FindRow(const std::vector<std::vector<Text>>& rows, std::size_t column, const Text& text) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].size() > column && rows[i][column] == text) return static_cast<int>(i);
  }
  return -1;
}

// The row of a live list whose cell in `column` is `text`, or -1.
inline int RowHolding(const ResultList& list, int column, const Text& text) {
  for (int row = 0; row < list.RowCount(); ++row) {
    if (list.GetCellText(row, column) == text) return row;
  }
  return -1;
}

// Expects, for each expected row (hidden path last), the row with that path
// holding those cells, in this order in the list; an empty row of cells
// means "no such row".
inline void ExpectRowsInOrder(const std::vector<std::vector<Text>>& rows,
                              const std::vector<std::pair<Text, std::vector<Text>>>& expected,
                              std::size_t pathColumn) {
  int previous = -1;
  for (const auto& [path, cells] : expected) {
    const int row = FindRow(rows, pathColumn, path);
    if (cells.empty()) {
      EXPECT_EQ(row, -1) << path;
      continue;
    }
    if (row < 0) {
      ADD_FAILURE() << "no row " << path;
      continue;
    }
    std::vector<Text> shown = rows[row];
    shown.pop_back();
    EXPECT_EQ(shown, cells) << path;
    EXPECT_GT(row, previous) << "order: " << path;
    previous = row;
  }
}
