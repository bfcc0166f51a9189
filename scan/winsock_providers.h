// Entries of the Winsock 2 protocol catalogue with the library behind each,
// so that a layered provider slipped in by malware can be spotted.
#pragma once

#include "ui/controls.h"

// Refills the list (columns "名称", "描述", "路径", hidden "值"); the hidden
// cell is the absolute path of the catalogue entry's key.
void ScanWinsockProviders(ResultList& list);
