#include "utilities/display_presets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/recorder.h"
#include "platform/platform.h"
#include "support/expected_data.h"
#include "ui/controls.h"

namespace lumeno {
namespace {

using fake::Call;

using settings_controls::kModeLabel;

// The radio buttons in the order the page reads them, group by group.
constexpr ControlId kRadio1 = 0x1601030E, kRadio2 = 0x1601030F, kRadio3 = 0x1601030D;  // CRT
constexpr ControlId kRadio4 = 0x1601030A, kRadio5 = 0x1601030B, kRadio6 = 0x16010309;  // LCD
constexpr ControlId kRadio7 = 0x16010306, kRadio8 = 0x16010307, kRadio9 = 0x16010305;  // widescreen

const std::string kNoPresetMessage =
    "\xC7\xEB\xD1\xA1\xD4\xF1\xBA\xCF\xCA\xCA\xB5\xC4\xB7\xD6\xB1\xE6\xC2\xCA\xA3\xA1";  // 请选择合适的分辨率！
const std::string kHintTitle = "\xCC\xE1\xCA\xBE";                                       // 提示

Call Mode(int w, int h, int bits, int hz) {
  return {"SetDisplayMode", {std::to_string(w), std::to_string(h), std::to_string(bits), std::to_string(hz)}};
}

class DisplayPresets : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }

  std::vector<Call> Apply(std::initializer_list<ControlId> ticked) {
    for (ControlId radio : ticked) fake::Tick(kSettingsWindow, radio);
    fake::Calls().clear();
    ApplyResolutionPreset();
    return fake::CallsOf({"SetDisplayMode", "ShowMessageBox"});
  }
  std::string ModeLabel() { return ReadText(kSettingsWindow, kModeLabel); }
};

TEST_F(DisplayPresets, EveryPresetSetsItsMode) {
  const expected::Table presets = expected::ReadTable("display_presets.tsv");
  ASSERT_EQ(presets.size(), 9u);
  for (const expected::Row& row : presets) {
    fake::Reset();
    EXPECT_EQ(Apply({static_cast<ControlId>(expected::Number(row.at(0)))}),
              (std::vector<Call>{{"SetDisplayMode", {row.at(1), row.at(2), row.at(3), row.at(4)}}}))
        << row.at(0);
  }
}

TEST_F(DisplayPresets, SeventeenInchLcdSetsItsModeOnce) {
  EXPECT_EQ(Apply({kRadio5}), std::vector<Call>{Mode(1024, 768, 32, 60)});
}

TEST_F(DisplayPresets, OnlyTheFirstTickedOfAGroupCounts) {
  EXPECT_EQ(Apply({kRadio8, kRadio9}), std::vector<Call>{Mode(1440, 900, 32, 60)});
}

TEST_F(DisplayPresets, TickedGroupsApplyInGroupOrder) {
  // The widescreen tick comes first here; the CRT group is still applied first.
  const std::vector<Call> expected = {Mode(800, 600, 32, 85), Mode(1280, 720, 32, 60)};
  EXPECT_EQ(Apply({kRadio7, kRadio1}), expected);
  fake::Reset();
  const std::vector<Call> all_three = {Mode(1280, 1024, 32, 85), Mode(1280, 1024, 32, 60), Mode(1680, 1050, 32, 60)};
  EXPECT_EQ(Apply({kRadio9, kRadio6, kRadio3}), all_three);
}

TEST_F(DisplayPresets, NothingTickedAsksForAPresetAndStillShowsTheMode) {
  fake::GetState().display = {1024, 768, 32, 60};
  EXPECT_EQ(Apply({}), (std::vector<Call>{{"ShowMessageBox", {kNoPresetMessage, "16", kHintTitle}}}));
  EXPECT_EQ(ModeLabel(), "1024\xA1\xC1" "768 \xA3\xC0" "60Hz/32\xCE\xBB");
}

TEST_F(DisplayPresets, LabelIsRewrittenAfterThePress) {
  // A refused mode leaves the screen as it was: the label shows what the
  // screen reports, not what was asked for.
  fake::GetState().set_display_result = false;
  fake::GetState().screen_width = 800;
  fake::GetState().screen_height = 600;
  fake::GetState().display = {800, 600, 32, 75};
  Apply({kRadio5});
  const std::vector<Call> calls = fake::CallsOf({"SetDisplayMode", "WriteProperty"});
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].op, "SetDisplayMode");
  EXPECT_EQ(calls[1], (Call{"WriteProperty", {"0x520102C9", "0x160102FF", "8", "800\xA1\xC1" "600 \xA3\xC0" "75Hz/32\xCE\xBB"}}));
}

TEST_F(DisplayPresets, ModeTextShowsTheQueriedFiguresUnmapped) {
  // Width and height come from the screen metrics, depth and refresh from
  // the device query, whatever odd values those give.
  fake::GetState().screen_width = 1280;
  fake::GetState().screen_height = 1024;
  fake::GetState().display = {640, 480, 16, 75};
  ShowCurrentDisplayMode();
  EXPECT_EQ(ModeLabel(), "1280\xA1\xC1" "1024 \xA3\xC0" "75Hz/16\xCE\xBB");
  fake::GetState().display = {0, 0, 0, 1};
  ShowCurrentDisplayMode();
  EXPECT_EQ(ModeLabel(), "1280\xA1\xC1" "1024 \xA3\xC0" "1Hz/0\xCE\xBB");
}

}  // namespace
}  // namespace lumeno
