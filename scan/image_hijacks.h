// Programs whose start Windows redirects through "Image File Execution
// Options": a subkey named after an executable with a Debugger value.
#pragma once

#include "ui/controls.h"

// Refills the list (columns "名称", "描述", "路径", hidden "值"); the hidden
// cell is the absolute path of the Debugger value, which removal deletes.
void ScanImageHijacks(ResultList& list);
