// The services page: every key under HKLM\SYSTEM\CurrentControlSet\Services
// that has an "ImagePath", with its configured start type, and the change of
// that start type.
#pragma once

#include "ui/controls.h"

// Columns of 系统服务列表.
enum ServiceColumn : int {
  kServiceDisplayName = 0, kServiceDescription = 1, kServiceImagePath = 2, kServiceStartType = 3,
  kServiceKeyName = 4,
};

// "启动", "系统", "自动", "手动", "禁用" for Start 0..4; "" for anything else.
Text StartTypeText(int32_t start);

void ScanServices(ResultList& list);
// Shows the current row's description and preselects its start type; writes nothing.
void ShowServiceDetails(const ResultList& list, Label& description, ComboBox& startType);
// Writes the chosen start type for the current row's service and shows what
// the registry holds afterwards. Writes nothing without a current row.
void ChangeServiceStart(ResultList& list, const ComboBox& startType);
