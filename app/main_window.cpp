// The main window: the window definition handed to the window engine, the
// named controls filled from what it made, and control events run as the
// bound actions.
#include "app/main_window.h"

#include <algorithm>
#include <new>
#include <vector>

#include "app/immunity_page.h"
#include "app/row_facts.h"
#include "app/verdict_lists.h"
#include "host/backup.h"
#include "ui/list_copy.h"
#include "ui/file_verdict_rows.h"
#include "ui/prompts.h"

namespace {

// Asked when no place takes a backup, before the change goes on: the user
// may stop it. Once answered yes, not asked again in this run.
bool AskGoOnWithoutBackup(const TextList& foldersTried) {
  Text message = "无法写入备份文件，已试过：";
  for (const Text& folder : foldersTried) message += "\r\n" + folder;
  message += "\r\n\r\n不备份，继续修改吗？（选“是”后，本次运行不再询问）";
  return ShowMessageBox(message, MB_YESNO | MB_ICONWARNING, "Windows") == kResultYes;
}

// The about text ends with the folder backups go to; written again when
// a backup lands somewhere else.
void ShowBackupFolder(MainControls& c) {
  const Text text = Text(AboutText()) + "备份：" + BackupFolderShown() + "\r\n";
  if (c.编辑框8.Content() != text) c.编辑框8.SetContent(text);
}

const WindowDefinition& MainWindowDefinition() {
  static const WindowDefinition definition = {
      &MainWindowFrame(), ControlDefinitions(), TabPageDefinitions(), ColumnDefinitions(), StartTypeItems(),
      kProgressMaximum,
  };
  return definition;
}

// Control events become the actions the binding table names; every action
// runs through RunExclusive.
class MainWindowEvents : public WindowEvents {
 public:
  explicit MainWindowEvents(ProgramState& program) { controls.program = &program; }
  bool Handles(int id, ControlEvent event) const override { return Find(id, event) != nullptr; }
  void Run(int id, ControlEvent event) override {
    if (const Binding* binding = Find(id, event)) RunExclusive(controls, binding->action);
  }
  MainControls controls;

 private:
  static const Binding* Find(int id, ControlEvent event) {
    for (const Binding& binding : Bindings()) {
      if (binding.id == id && binding.event == event) return &binding;
    }
    return nullptr;
  }
};

template <typename Wrapper>
struct Member {
  int id;
  Wrapper MainControls::*member;
};

const Member<ResultList> kLists[] = {
    {ListId(1), &MainControls::超级列表框1}, {ListId(2), &MainControls::超级列表框2},
    {ListId(3), &MainControls::超级列表框3}, {ListId(4), &MainControls::超级列表框4},
    {ListId(5), &MainControls::超级列表框5}, {ListId(6), &MainControls::超级列表框6},
    {ListId(7), &MainControls::超级列表框7}, {ListId(8), &MainControls::超级列表框8},
    {ListId(9), &MainControls::超级列表框9}, {kServiceListId, &MainControls::系统服务列表},
};
const Member<EditBox> kEdits[] = {
    {EditId(1), &MainControls::编辑框1}, {EditId(2), &MainControls::编辑框2}, {EditId(3), &MainControls::编辑框3},
    {EditId(4), &MainControls::编辑框4}, {EditId(5), &MainControls::编辑框5}, {EditId(6), &MainControls::编辑框6},
    {EditId(7), &MainControls::编辑框7}, {EditId(8), &MainControls::编辑框8},
};
const Member<Label> kLabels[] = {
    {LabelId(1), &MainControls::标签1},   {LabelId(2), &MainControls::标签2},   {LabelId(3), &MainControls::标签3},
    {LabelId(4), &MainControls::标签4},   {LabelId(5), &MainControls::标签5},   {LabelId(6), &MainControls::标签6},
    {LabelId(7), &MainControls::标签7},   {LabelId(8), &MainControls::标签8},   {LabelId(9), &MainControls::标签9},
    {LabelId(10), &MainControls::标签10}, {LabelId(11), &MainControls::标签11}, {LabelId(12), &MainControls::标签12},
    {LabelId(13), &MainControls::标签13}, {LabelId(14), &MainControls::标签14}, {LabelId(15), &MainControls::标签15},
    {LabelId(16), &MainControls::标签16},
};

void FillMainControls(HWND window, MainControls& c) {
  c.window = window;
  for (const auto& m : kLists) c.*m.member = ResultList(FindControlById(window, m.id));
  for (const auto& m : kEdits) c.*m.member = EditBox(FindControlById(window, m.id));
  for (const auto& m : kLabels) c.*m.member = Label(FindControlById(window, m.id));
  c.进度条1 = ProgressBar(FindControlById(window, kProgressId));
  c.组合框1 = ComboBox(FindControlById(window, kComboId));
  c.图片框1 = FindControlById(window, kBannerId);
  c.选择夹1 = FindControlById(window, TabId(1));
  c.选择夹2 = FindControlById(window, TabId(2));
  c.选择夹3 = FindControlById(window, TabId(3));
  c.时钟1 = Timer(window, kTimerId);
}

}  // namespace

bool RunExclusive(MainControls& controls, Action action) {
  static std::vector<Action> running;
  if (std::find(running.begin(), running.end(), action) != running.end()) return false;
  running.push_back(action);
  try {
    action(controls);
  } catch (const std::bad_alloc&) {
    // Too big for this machine's memory (a huge value, file or list on the
    // 32-bit build): that operation fails, nothing escapes into the window.
  }
  running.erase(std::find(running.begin(), running.end(), action));
  ShowBackupFolder(controls);
  return true;
}

HWND CreateMainWindow(ProgramState& program, const MainWindowOptions& options) {
  auto events = std::make_unique<MainWindowEvents>(program);
  MainControls& controls = events->controls;
  WindowOptions hidden = options;
  hidden.showCommand = SW_HIDE;   // shown once its contents are in place
  HWND window = CreateDefinedWindow(MainWindowDefinition(), std::move(events), hidden);
  if (window == nullptr) return nullptr;
  FillMainControls(window, controls);
  SetGoOnWithoutBackupQuestion(AskGoOnWithoutBackup);
  SetRowCellsSource(RowFacts);
  ShowBackupFolder(controls);
  PrepareImmunityPage(controls.超级列表框8);
  for (const VerdictList& shaded : VerdictLists()) ShowFileVerdicts(controls.*shaded.list, shaded.storedTextColumn);
  controls.时钟1.SetInterval(kTimerInterval);

  ShowWindow(window, options.showCommand);
  if (options.showCommand != SW_HIDE) UpdateWindow(window);
  OnMainWindowCreated(controls);
  return window;
}

MainControls* MainControlsOf(HWND window) {
  auto* events = static_cast<MainWindowEvents*>(EventsOf(window));
  return events ? &events->controls : nullptr;
}
