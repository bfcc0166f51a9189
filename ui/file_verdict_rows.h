// Rows that name a file show what Veltro found out about it: their colour
// says who vouches for the file, their hint says all of it.
//
// A row carries its file as the row's tag (RowSink::Add). Drawing reads the
// verdict the run already holds, never the file; signatures are checked
// beside the window while it is idle, and the rows take their colour as the
// verdicts come.
#pragma once

#include <windows.h>

#include "base/text_ops.h"
#include "host/file_verdicts.h"
#include "ui/controls.h"

enum class RowShade {
  Normal,    // another publisher signed it, not checked yet, or no file
  Warning,   // missing or not signed: red
  Windows,   // signed by Microsoft: grey
};

RowShade ShadeOf(const FileFacts* facts);

// Colours the list's rows and gives them hints built from the cell in
// storedTextColumn (the text as the entry stores it) and the file's facts.
void ShowFileVerdicts(ResultList list, int storedTextColumn);

// The list's custom drawing, when the list shows verdicts; false leaves the
// notification to the default handling.
bool DrawRowShade(NMHDR& header, LRESULT& result);

// The hint over a point of a list that shows verdicts ("" off the rows).
Text FileVerdictHintAt(const ResultList& list, POINT clientPoint);
// What is known of who vouches for the file: "签名：<signer>", "未签名",
// "文件不存在" or "签名：正在检查".
Text TrustLine(const FileFacts& facts);
// The hint of a row: the stored text, then the file's facts.
Text FileVerdictHint(const Text& storedText, const FileFacts* facts);

// Lets the signatures still waiting be checked whenever the window has no
// handler running (a scan is one), and redraws the lists as they arrive.
void ScheduleFileVerdicts(const ResultList& list);
