// Thin wrappers over the window's controls: the only code that sends
// messages to them. Each wrapper holds the control's window handle (owned by
// the main window) and offers the operations the handlers use.
#pragma once

#include <windows.h>

#include <string>

#include "base/text_ops.h"

// A report-style list view. Rows and columns count from 0.
class ResultList {
 public:
  ResultList() = default;
  explicit ResultList(HWND handle) : handle_(handle) {}
  HWND Handle() const { return handle_; }

  // Appends an empty row that keeps the tag, a number that moves with the
  // row when rows above it are deleted.
  int InsertRow(LPARAM tag = 0);
  void SetCellText(int row, int column, const Text& text);
  Text GetCellText(int row, int column) const;        // "" when out of range
  TextList RowTexts(int row) const;                   // every cell; "" when out of range
  LPARAM RowTag(int row) const;                       // 0 when out of range
  int RowCount() const;
  int ColumnCount() const;
  bool IsRowSelected(int row) const;
  void DeleteRow(int row);
  void ClearRows();
  int CurrentRow() const;                             // first selected, or -1
  void SelectRow(int row, bool selected = true);      // also focuses it

 private:
  HWND handle_ = nullptr;
};

class Label {
 public:
  Label() = default;
  explicit Label(HWND handle) : handle_(handle) {}
  HWND Handle() const { return handle_; }
  Text Caption() const;
  void SetCaption(const Text& caption);
 private:
  HWND handle_ = nullptr;
};

class EditBox {
 public:
  EditBox() = default;
  explicit EditBox(HWND handle) : handle_(handle) {}
  HWND Handle() const { return handle_; }
  Text Content() const;
  // The content as the box keeps it, UTF-16: one copy, no conversion.
  std::wstring WideContent() const;
  void SetContent(const Text& content);
 private:
  HWND handle_ = nullptr;
};

// Moves the caret to the end, scrolls it into view and inserts the text
// there; the content grows by exactly the given bytes.
void AppendEditText(EditBox& edit, const Text& text);

class ProgressBar {
 public:
  ProgressBar() = default;
  explicit ProgressBar(HWND handle) : handle_(handle) {}
  HWND Handle() const { return handle_; }
  int Position() const;
  void SetPosition(int position);
 private:
  HWND handle_ = nullptr;
};

// A drop-down list; the current item is 0-based, -1 for none.
class ComboBox {
 public:
  ComboBox() = default;
  explicit ComboBox(HWND handle) : handle_(handle) {}
  HWND Handle() const { return handle_; }
  int CurrentItem() const;
  void SetCurrentItem(int index);   // a larger index selects the last item
  int ItemCount() const;
 private:
  HWND handle_ = nullptr;
};

// A window timer; interval 0 stops it.
class Timer {
 public:
  Timer() = default;
  Timer(HWND owner, UINT_PTR id) : owner_(owner), id_(id) {}
  void SetInterval(int milliseconds);
  UINT_PTR Id() const { return id_; }
 private:
  HWND owner_ = nullptr;
  UINT_PTR id_ = 0;
};
