// A list's rows as text: what Ctrl+C and the right button's menu copy, and
// the one place a row's facts are gathered for copying and for a report.
#pragma once

#include <windows.h>

#include "ui/controls.h"

// A row's facts as text cells, in the order they are copied and reported.
using RowCellsSource = TextList (*)(const ResultList& list, int row);
// Every cell of the row, the zero-width ones too.
TextList ListRowCells(const ResultList& list, int row);
// Facts that are not cells of the list (added by the program) join the cells
// here; until a source is set, a row is its cells.
void SetRowCellsSource(RowCellsSource source);
TextList RowCells(const ResultList& list, int row);

// A cell as it goes into one line of text: line breaks, tabs and other
// control characters (a registry value may hold any) become spaces, so that
// no cell can start a line of its own or shift the cells after it.
Text OneLineCell(const Text& cell);

// The rows (all, or the selected ones), each its cells joined by tabs and
// ended by "\r\n"; "" for none.
Text RowsAsText(const ResultList& list, bool selectedOnly);
// Selects every row, where the list allows several selected rows.
void SelectAllRows(ResultList& list);
// Puts the text on the clipboard as the code page's text, in place of what
// was there; false (the clipboard unchanged) when it could not.
bool PutOnClipboard(HWND owner, const Text& text);

enum class ListMenuChoice { None, Copy, CopyAll, SaveReport };
// The right button's menu over a list at a screen point: "复制" (greyed
// without a selected row), "全部复制" (greyed for an empty list) and,
// when offered, "保存报告...". Returns what was chosen.
ListMenuChoice ShowListMenu(const ResultList& list, POINT screenPoint, bool offerReport);
// Runs a copy choice of the menu (Copy, CopyAll); false when nothing went
// onto the clipboard.
bool CopyRows(const ResultList& list, ListMenuChoice choice);
