#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/recorder.h"
#include "fakes/utilities_fake.h"
#include "utilities/tool_launchers.h"

namespace lumeno {
namespace {

class ToolLauncherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    fake::ResetUtilities();
  }
};

// What each button must do: the call the fake records for it.
struct ExpectedLaunch {
  uint32_t button;
  fake::Call call;
};

fake::Call RunCall(const std::string& command_line) { return {"RunCommandLine", {command_line, "0", "2"}}; }
fake::Call OpenCall(const std::string& file, const std::string& verb = "0") {
  return {"ShellOpen", {verb, file, "", "", "0"}};
}

const std::vector<ExpectedLaunch> kExpected = {
    {0x160102DA, RunCall("regedit.exe")},
    {0x160102D9, OpenCall("gpedit.msc")},
    {0x160102D8, RunCall("dxdiag.exe")},
    {0x160102D7, RunCall("msconfig.exe")},
    {0x160102D6, OpenCall("devmgmt.msc", "4")},
    {0x160102D5, RunCall("mstsc.exe")},
    {0x160102D4, OpenCall("services.msc")},
    {0x160102D3, RunCall("chkdsk.exe")},
    {0x160102D2, OpenCall("fsmgmt.msc")},
    {0x160102D1, OpenCall("appwiz.cpl")},
    {0x160102D0, RunCall("control.exe")},
    {0x160102CF, OpenCall("wuaucpl.cpl")},
    {0x160102CE, RunCall("explorer.exe ::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\::{21EC2020-3AEA-1069-A2DD-"
                     "08002B30309D}\\::{D6277990-4C6A-11CF-8D87-00AA0060F5BF}")},
    {0x160102CD, OpenCall("eventvwr.msc")},
    {0x160102CC, OpenCall("certmgr.msc")},
};

TEST_F(ToolLauncherTest, EachButtonStartsItsToolWithOneOperation) {
  for (const ExpectedLaunch& expected : kExpected) {
    fake::Reset();
    LaunchTool(expected.button);
    EXPECT_EQ(fake::Calls(), std::vector<fake::Call>{expected.call}) << "button " << fake::Hex32(expected.button);
  }
}

TEST_F(ToolLauncherTest, CaptionsAreTheButtonsOwn) {
  // "注册表", "设备管理", "XP更新" in GBK.
  ASSERT_NE(FindToolLauncher(0x160102DA), nullptr);
  EXPECT_STREQ(FindToolLauncher(0x160102DA)->caption, "\xD7\xA2\xB2\xE1\xB1\xED");
  EXPECT_STREQ(FindToolLauncher(0x160102D6)->caption, "\xC9\xE8\xB1\xB8\xB9\xDC\xC0\xED");
  EXPECT_STREQ(FindToolLauncher(0x160102CF)->caption, "XP\xB8\xFC\xD0\xC2");
}

TEST_F(ToolLauncherTest, PressingTwiceStartsTwice) {
  LaunchTool(0x160102D3);
  LaunchTool(0x160102D3);
  EXPECT_EQ(fake::Calls(), (std::vector<fake::Call>{RunCall("chkdsk.exe"), RunCall("chkdsk.exe")}));
}

TEST_F(ToolLauncherTest, ButtonsWithoutALauncherDoNothing) {
  for (uint32_t button : {0x160102CBu, 0x160102DBu, 0x16010304u, 0u}) LaunchTool(button);
  EXPECT_TRUE(fake::Calls().empty());
  EXPECT_EQ(FindToolLauncher(0x160102CB), nullptr);  // 按钮26 has its own handler
}

TEST_F(ToolLauncherTest, TrayButtonsSendTheirMultimediaCommands) {
  fake::Utilities().multimedia_result = false;  // no drive: still one command each, nothing else
  EjectCdTray();
  CloseCdTray();
  EXPECT_EQ(fake::Calls(), (std::vector<fake::Call>{{"SendMultimediaCommand", {"Set cdaudio door open wait"}},
                                                    {"SendMultimediaCommand", {"Set cdaudio door closed wait"}}}));
}

}  // namespace
}  // namespace lumeno
