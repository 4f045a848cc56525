// The page "分辨率" through the real program: the mode shown when the
// settings window opens, an LCD preset applied and read back, a refused mode
// and the message when nothing is ticked.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "driver.h"
#include "ui/control_ids.h"
#include "settings_window.h"
#include "ui/controls.h"

namespace {

using namespace driver;

using lumeno::settings_controls::kModeLabel;
constexpr uint32_t kApplyButton = lumeno::settings_controls::kApplyPresetButton;  // 按钮1 "设置"
using lumeno::settings_controls::kCrt15Radio;  // 800 x 600, 85 Hz
using lumeno::settings_controls::kLcd17Radio;  // 1024 x 768, 60 Hz

const std::string kNoPresetMessage =
    "\xC7\xEB\xD1\xA1\xD4\xF1\xBA\xCF\xCA\xCA\xB5\xC4\xB7\xD6\xB1\xE6\xC2\xCA\xA3\xA1";  // 请选择合适的分辨率！
const std::string kHintTitle = "\xCC\xE1\xCA\xBE";                                       // 提示

// The mode text for what this process sees of the screen (the program runs on
// the same display).
std::string ScreenModeText() {
  HDC screen = GetDC(nullptr);
  const int bits = GetDeviceCaps(screen, BITSPIXEL);
  const int refresh = GetDeviceCaps(screen, VREFRESH);
  ReleaseDC(nullptr, screen);
  return std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "\xA1\xC1" + std::to_string(GetSystemMetrics(SM_CYSCREEN)) +
         " \xA3\xC0" + std::to_string(refresh) + "Hz/" + std::to_string(bits) + "\xCE\xBB";
}

class Display : public ::testing::Test {
 protected:
  void OpenSettings() {
    settings_ = settings_window::Open(program_);
    ASSERT_NE(settings_, nullptr) << "the settings window did not open";
    label_ = WaitForControl(settings_, kModeLabel);
    ASSERT_NE(label_, nullptr);
  }
  HWND Control(uint32_t id) {
    HWND control = WaitForControl(settings_, id);
    EXPECT_NE(control, nullptr) << std::hex << id;
    return control;
  }

  Program program_;
  HWND settings_ = nullptr;
  HWND label_ = nullptr;
};

TEST_F(Display, OpeningTheWindowShowsTheScreenMode) {
  OpenSettings();
  EXPECT_EQ(GetText(label_), ScreenModeText());
}

// Plain Xvfb offers a single mode; a Wine virtual desktop offers 60 Hz modes,
// so the program runs on one for this test, and the test's own thread joins
// that desktop to reach its windows.
TEST_F(Display, LcdPresetIsAppliedAndReadBackOnAVirtualDesktop) {
  ASSERT_TRUE(program_.Start("explorer.exe /desktop=lumeno-lcd,1280x1024 " + std::string(kProgramPath)));
  std::thread on_desktop([&] {
    HDESK desktop = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (desktop = OpenDesktopA("lumeno-lcd", 0, FALSE, GENERIC_ALL)) != nullptr; }));
    ASSERT_TRUE(SetThreadDesktop(desktop));
    HWND main_window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (main_window = FindWindowA(nullptr, settings_window::kMainTitle)) != nullptr; }));
    HWND open_button = WaitForControl(main_window, settings_window::kOpenButton);
    ASSERT_NE(open_button, nullptr);
    ASSERT_TRUE(Click(open_button));
    ASSERT_TRUE(WaitUntil([&] { return (settings_ = FindWindowA(nullptr, settings_window::kTitle)) != nullptr; }));
    label_ = WaitForControl(settings_, kModeLabel);
    ASSERT_NE(label_, nullptr);
    EXPECT_TRUE(WaitForText(label_, "1280\xA1\xC1" "1024 \xA3\xC0" "60Hz/32\xCE\xBB")) << GetText(label_);

    ASSERT_TRUE(SetText(label_, "stale"));
    ASSERT_TRUE(SetChecked(Control(kLcd17Radio), true));
    ASSERT_TRUE(Click(Control(kApplyButton)));
    EXPECT_EQ(GetText(label_), "1024\xA1\xC1" "768 \xA3\xC0" "60Hz/32\xCE\xBB");

    PostClose(settings_);
    WaitForWindowGone(settings_);
    PostClose(main_window);
  });
  on_desktop.join();
}

// 85 Hz is refused here: nothing is reported, the screen stays as it was and
// the label shows that unchanged mode.
TEST_F(Display, RefusedPresetLeavesTheModeAndShowsIt) {
  OpenSettings();
  const int width = GetSystemMetrics(SM_CXSCREEN);
  ASSERT_NE(width, 800);
  ASSERT_TRUE(SetText(label_, "stale"));
  ASSERT_TRUE(SetChecked(Control(kCrt15Radio), true));
  ASSERT_TRUE(Click(Control(kApplyButton)));
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), width);
  EXPECT_EQ(GetText(label_), ScreenModeText());
  EXPECT_TRUE(program_.NoMessageBoxWithin(500));
}

TEST_F(Display, NothingTickedAsksForAPresetAndRefreshesTheLabel) {
  OpenSettings();
  ASSERT_TRUE(SetText(label_, "stale"));
  ASSERT_TRUE(PostClick(Control(kApplyButton)));
  HWND box = program_.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  const MessageBoxContent content = ReadMessageBox(box);
  EXPECT_EQ(content.title, kHintTitle);
  EXPECT_EQ(content.text, kNoPresetMessage);
  EXPECT_TRUE(content.has_icon);
  ASSERT_TRUE(AnswerMessageBox(box));
  EXPECT_TRUE(WaitForText(label_, ScreenModeText())) << GetText(label_);
}

}  // namespace
