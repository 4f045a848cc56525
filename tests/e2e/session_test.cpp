// Log-off, restart and shut-down from the menu. Under Wine each of them ends
// every windowed program of the prefix, so this file runs in a prefix of its
// own and observes exactly that: the program and a bystander window end.
#include <gtest/gtest.h>

#include <string>

#include "driver.h"

namespace {

// Low words of the menu items "注销", "重启", "关机", "介绍".
constexpr uint16_t kLogOffItem = 0x02B8;
constexpr uint16_t kRestartItem = 0x02B9;
constexpr uint16_t kShutDownItem = 0x02BA;
constexpr uint16_t kAboutItem = 0x02BD;

const std::string kBystander = std::string(driver::kTestDirectory) + "\\minimal_window.exe";

class SessionMenu : public ::testing::TestWithParam<uint16_t> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program_.Start());
    main_ = program_.WaitForWindow(driver::kMainWindowTitle);
    ASSERT_NE(main_, nullptr);
    ASSERT_TRUE(bystander_.Start(kBystander));
    ASSERT_NE(bystander_.WaitForWindow("MinimalWindow"), nullptr);
  }

  void Choose(uint16_t item) { ASSERT_TRUE(PostMessageA(main_, WM_COMMAND, MAKEWPARAM(item, 0), 0)); }

  driver::Program program_;
  driver::Program bystander_;
  HWND main_ = nullptr;
};

TEST_P(SessionMenu, EndsEveryWindowedProgramWithoutAQuestion) {
  // Another menu item first, as a control: the programs outlive it.
  Choose(kAboutItem);
  HWND box = program_.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(driver::AnswerMessageBox(box));
  EXPECT_FALSE(program_.WaitForExit(500));
  EXPECT_TRUE(bystander_.IsRunning());

  Choose(GetParam());
  EXPECT_TRUE(program_.WaitForExit(30000)) << "the program is still running";
  EXPECT_TRUE(bystander_.WaitForExit(30000)) << "the other program is still running";
}

INSTANTIATE_TEST_SUITE_P(Menu, SessionMenu, ::testing::Values(kLogOffItem, kRestartItem, kShutDownItem),
                         [](const ::testing::TestParamInfo<uint16_t>& info) {
                           switch (info.param) {
                             case kLogOffItem: return std::string("LogOff");
                             case kRestartItem: return std::string("Restart");
                             default: return std::string("ShutDown");
                           }
                         });

}  // namespace
