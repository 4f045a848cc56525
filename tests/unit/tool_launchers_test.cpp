#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/recorder.h"
#include "fakes/utilities_fake.h"
#include "support/expected_data.h"
#include "utilities/tool_launchers.h"
#include "ui/control_ids.h"

namespace lumeno {
namespace {

class ToolLauncherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    fake::ResetUtilities();
  }
};

// tests/data/launchers.tsv: button, method, verb, target. The call the fake
// records for a button: started normally without waiting, or opened through
// the shell with no parameters, no directory and a normal window.
fake::Call ExpectedCall(const expected::Row& row) {
  if (row.at(1) == "run") return {"RunCommandLine", {row.at(3), "0", "2"}};
  if (row.at(1) == "multimedia") return {"SendMultimediaCommand", {row.at(3)}};
  return {"ShellOpen", {row.at(2) == "open" ? "4" : "0", row.at(3), "", "", "2"}};
}

TEST_F(ToolLauncherTest, EachButtonDoesExactlyItsOneOperation) {
  const expected::Table table = expected::ReadTable("launchers.tsv");
  ASSERT_EQ(table.size(), 17u);
  for (const expected::Row& row : table) {
    fake::Reset();
    const ControlId button = static_cast<ControlId>(expected::Number(row.at(0)));
    if (row.at(1) == "multimedia")
      (button == settings_controls::kEjectButton ? EjectCdTray : CloseCdTray)();
    else
      LaunchTool(button);
    EXPECT_EQ(fake::Calls(), std::vector<fake::Call>{ExpectedCall(row)}) << row.at(0);
  }
}

TEST_F(ToolLauncherTest, CaptionsAreTheButtonsOwn) {
  const expected::Table controls = expected::ReadTable("layout_controls.tsv");
  for (const expected::Row& row : expected::ReadTable("launchers.tsv")) {
    if (row.at(1) == "multimedia") continue;
    const ToolLauncher* launcher = FindToolLauncher(static_cast<ControlId>(expected::Number(row.at(0))));
    ASSERT_NE(launcher, nullptr) << row.at(0);
    EXPECT_EQ(launcher->caption, expected::RowsWhere(controls, 3, row.at(0)).at(0).at(4)) << row.at(0);
  }
}

TEST_F(ToolLauncherTest, PressingTwiceStartsTwice) {
  LaunchTool(0x160102D3);
  LaunchTool(0x160102D3);
  const fake::Call chkdsk{"RunCommandLine", {"chkdsk.exe", "0", "2"}};
  EXPECT_EQ(fake::Calls(), (std::vector<fake::Call>{chkdsk, chkdsk}));
}

TEST_F(ToolLauncherTest, ButtonsWithoutALauncherDoNothing) {
  for (uint32_t button : {0x160102CBu, 0x160102DBu, 0x16010304u, 0u}) LaunchTool(button);
  EXPECT_TRUE(fake::Calls().empty());
  EXPECT_EQ(FindToolLauncher(0x160102CB), nullptr);  // 按钮26 has its own handler
}

}  // namespace
}  // namespace lumeno
