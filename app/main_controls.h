// The named controls of the main window and the program-wide objects, as the
// handlers see them. The window definition creates the controls and fills
// this structure; handlers receive it by reference.
#pragma once

#include <windows.h>

#include "ui/controls.h"

// Objects that live from start-up to exit, outside any control.
struct ProgramState {
  TextList pendingRepairs;   // rebuilt by every restriction scan, read by the repair
};

struct MainControls {
  HWND window = nullptr;
  ProgramState* program = nullptr;

  Timer 时钟1;
  ProgressBar 进度条1;
  ComboBox 组合框1;
  HWND 图片框1 = nullptr;
  HWND 选择夹1 = nullptr, 选择夹2 = nullptr, 选择夹3 = nullptr;

  ResultList 超级列表框1, 超级列表框2, 超级列表框3, 超级列表框4, 超级列表框5,
      超级列表框6, 超级列表框7, 超级列表框8, 超级列表框9, 系统服务列表;

  EditBox 编辑框1, 编辑框2, 编辑框3, 编辑框4, 编辑框5, 编辑框6, 编辑框7, 编辑框8;

  Label 标签1, 标签2, 标签3, 标签4, 标签5, 标签6, 标签7, 标签8, 标签9, 标签10,
      标签11, 标签12, 标签13, 标签14, 标签15, 标签16;

  // Buttons are reached by id (1000 + N); handlers do not read them.
};
