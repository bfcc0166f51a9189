// A hidden top-level window holding one real report-style list view, for
// tests that hand a scanner a list of their own.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/controls.h"

class TestListHost {
 public:
  // columnWidths: one entry per column (0 makes a hidden column).
  explicit TestListHost(const std::vector<int>& columnWidths, bool multipleSelection = false);
  ~TestListHost();
  TestListHost(const TestListHost&) = delete;
  TestListHost& operator=(const TestListHost&) = delete;

  ResultList& List() { return list_; }
  HWND Window() const { return window_; }
  // Cell texts of every row, row by row.
  std::vector<std::vector<Text>> Rows() const;

 private:
  HWND window_ = nullptr;
  ResultList list_;
};

// A hidden edit box / label of its own, for page tests.
class TestEditHost {
 public:
  explicit TestEditHost(bool multiLine = true);
  ~TestEditHost();
  TestEditHost(const TestEditHost&) = delete;
  TestEditHost& operator=(const TestEditHost&) = delete;
  EditBox& Edit() { return edit_; }
  Label& Caption() { return label_; }
 private:
  HWND window_ = nullptr;
  EditBox edit_;
  Label label_;
};
