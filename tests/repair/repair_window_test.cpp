// 检查错误 and 修复错误 driven through the real main window.
#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "ui/controls.h"
#include "repair_fixture.h"
#include "support/main_window_fixture.h"

namespace {

#define EXPL TEST_EXPLORER_POLICIES

TEST_F(RepairLocationsTest, CheckAndRepairButtons) {
  WriteRegistryValue(kCurrentUser, EXPL "NoRun", 1);
  WriteRegistryValue(kCurrentUser, EXPL "NoFolderOptions", 1);   // a repair-table record
  MainWindowFixture window;
  ResultList list(window.Control(ListId(1)));
  Label count(window.Control(LabelId(2)));
  const std::vector<Row> damaged = {{"禁用运行", EXPL "NoRun"}, {"禁止使用文件夹选项", EXPL "NoFolderOptions"}};

  for (int press = 0; press < 2; ++press) {   // a second press rebuilds, not doubles
    window.Click(ButtonId(1));
    EXPECT_EQ(FirstTwoColumns(list), damaged) << press;
    EXPECT_EQ(count.Caption(), "2条") << press;
    EXPECT_EQ(window.Program().pendingRepairs, TextList{"n|3|" EXPL "NoFolderOptions|禁止使用文件夹选项|0"});
  }

  window.Click(ButtonId(2));
  EXPECT_EQ(FirstTwoColumns(list), std::vector<Row>());
  EXPECT_EQ(count.Caption(), "0条");
  EXPECT_TRUE(window.Program().pendingRepairs.empty());
  EXPECT_EQ(ReadRegistryNumber(kCurrentUser, EXPL "NoRun", 99), 0);
  EXPECT_EQ(ReadRegistryNumber(kCurrentUser, EXPL "NoFolderOptions", 99), 0);
}

}  // namespace
