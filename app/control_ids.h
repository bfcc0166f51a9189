// Control ids of the main window: a stable contract that test automation and
// accessibility tools find the controls by.
#pragma once

constexpr int ButtonId(int n) { return 1000 + n; }      // 按钮N
constexpr int LabelId(int n) { return 1100 + n; }       // 标签N
constexpr int EditId(int n) { return 1200 + n; }        // 编辑框N
constexpr int ListId(int n) { return 1300 + n; }        // 超级列表框N
constexpr int kServiceListId = 1310;                    // 系统服务列表
constexpr int TabId(int n) { return 1400 + n; }         // 选择夹N
constexpr int kProgressId = 1501;                       // 进度条1
constexpr int kComboId = 1601;                          // 组合框1
constexpr int kBannerId = 1701;                         // 图片框1
constexpr int kTimerId = 1801;                          // 时钟1, a timer of the main window
