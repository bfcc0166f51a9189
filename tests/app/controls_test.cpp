// The list, edit-box and prompt operations against real controls.
#include <gtest/gtest.h>

#include "ui/controls.h"
#include "ui/prompts.h"
#include "support/dialog_answerer.h"
#include "support/test_window.h"

TEST(ResultListTest, RowsCellsAndOutOfRangeAccess) {
  TestListHost host({100, 0, 50});
  ResultList& list = host.List();
  EXPECT_EQ(list.InsertRow(), 0);
  EXPECT_EQ(list.InsertRow(), 1);
  list.SetCellText(1, 1, "hidden cell");
  list.SetCellText(5, 0, "no such row");
  list.SetCellText(0, 7, "no such column");
  EXPECT_EQ(list.RowCount(), 2);
  EXPECT_EQ(list.GetCellText(1, 1), "hidden cell");   // a zero-width column holds data
  EXPECT_EQ(list.GetCellText(0, 0), "");
  EXPECT_EQ(list.GetCellText(-1, 0), "");
  EXPECT_EQ(list.GetCellText(0, 3), "");
  list.DeleteRow(0);
  EXPECT_EQ(list.RowCount(), 1);
  EXPECT_EQ(list.GetCellText(0, 1), "hidden cell");
  list.ClearRows();
  EXPECT_EQ(list.RowCount(), 0);
}

TEST(ResultListTest, LongCellComesBackWhole) {
  TestListHost host({100, 100});
  ResultList& list = host.List();
  const int row = list.InsertRow();
  for (std::size_t length : {511u, 512u, 513u, 5000u}) {
    Text text(length, 'x');
    text.replace(text.size() - 2, 2, "\xD6\xD0");   // ends in a two-byte character
    list.SetCellText(row, 1, text);
    EXPECT_EQ(list.GetCellText(row, 1), text) << length;
  }
}

TEST(ResultListTest, CurrentRowIsTopmostSelection) {
  TestListHost host({100}, /*multipleSelection=*/true);
  ResultList& list = host.List();
  for (int i = 0; i < 4; ++i) list.InsertRow();
  EXPECT_EQ(list.CurrentRow(), -1);
  list.SelectRow(3);
  list.SelectRow(1);
  EXPECT_EQ(list.CurrentRow(), 1);
  EXPECT_TRUE(list.IsRowSelected(3));
  EXPECT_FALSE(list.IsRowSelected(2));
}

TEST(EditBoxTest, AppendGrowsByExactlyTheGivenBytes) {
  TestEditHost host;
  EditBox& edit = host.Edit();
  edit.SetContent("a\r\nb");
  AppendEditText(edit, "\xD6\xD0\xCE\xC4\r\n");
  AppendEditText(edit, "c");
  EXPECT_EQ(edit.Content(), "a\r\nb\xD6\xD0\xCE\xC4\r\nc");
}

TEST(MessageBoxTest, YesNoAnswersAsResultCodes) {
  DialogAnswerer answerer({{IDYES, ""}, {IDNO, ""}});
  EXPECT_EQ(ShowMessageBox("是否删除\r\nX", kYesNoInformation, "Windows"), kResultYes);
  EXPECT_EQ(ShowMessageBox("问题", kYesNo, "Windows"), kResultNo);
  const auto seen = answerer.Seen();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].caption, "Windows");
  EXPECT_EQ(seen[0].message, "是否删除\r\nX");
  EXPECT_TRUE(IsYesNoWithInformationIcon(seen[0]));
  EXPECT_TRUE(IsYesNoWithoutIcon(seen[1]));
}

TEST(InputBoxTest, OkStoresTextCancelKeepsVariable) {
  DialogAnswerer answerer({{IDOK, "HKEY_CURRENT_USER\\Software\\Veltro"}, {IDCANCEL, "ignored"}});
  Text result = "before";
  EXPECT_TRUE(ShowInputBox("键：", "输入", "", result));
  EXPECT_EQ(result, "HKEY_CURRENT_USER\\Software\\Veltro");
  EXPECT_FALSE(ShowInputBox("", "输入", "x", result));
  EXPECT_EQ(result, "HKEY_CURRENT_USER\\Software\\Veltro");
  EXPECT_TRUE(answerer.Seen().at(0).hasEdit);
  EXPECT_EQ(answerer.Seen().at(0).okText, "确定");
  EXPECT_EQ(answerer.Seen().at(0).cancelText, "取消");
}
