// The handlers of app/ (those of no feature of their own) against the recording fake.
#include <gtest/gtest.h>

#include "app/layouts.h"
#include "app/main_window.h"
#include "app/settings_window.h"
#include "fakes/app_fake.h"
#include "hung_programs/hung_programs.h"
#include "fakes/recorder.h"
#include "ui/controls.h"

namespace lumeno {
namespace {

using fake::Call;
using fake::Calls;
using fake::CallsOf;

using main_controls::kInvertBox;

const std::string kMain = "0x52010001";

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    fake::HungWindowTitles().clear();
    UseWindowLayouts(ProgramWindowLayouts(), ProgramEventBindings());
    // The fake finds tagged controls the way the real windows do: from the layout.
    for (int tag = 1; tag <= 26; ++tag)
      fake::GetState().tags[{kMainWindow, tag}] = *FindTaggedControl(*FindWindowLayout(kMainWindow), tag);
  }

  static ControlId Item(int tag) { return *FindTaggedControl(*FindWindowLayout(kMainWindow), tag); }
  static bool Ticked(ControlId id) { return fake::GetState().properties[{kMainWindow, id, kPropertyChecked}].number; }

  // The user clicks "反选": the box toggles itself, then the handler runs.
  static void ClickInvert() {
    fake::Tick(kMainWindow, kInvertBox, !Ticked(kInvertBox));
    InvertItemSelection();
  }
};

TEST_F(MainWindowTest, StartRoutineLetsStartUpGoOnAndDoesNothing) {
  EXPECT_EQ(RunStartRoutine(), 0);
  EXPECT_TRUE(Calls().empty());
}

TEST_F(MainWindowTest, TrimOwnWorkingSetEmptiesTheProgramsOwnWorkingSet) {
  TrimOwnWorkingSet();
  ASSERT_EQ(Calls().size(), 1u);
  EXPECT_EQ(Calls()[0].op, "CallSetProcessWorkingSetSize");
  EXPECT_EQ(Calls()[0].args[0], "0");  // the entry for the program itself
  EXPECT_EQ(Calls()[0].args[2], "-1");
  EXPECT_EQ(Calls()[0].args[3], "-1");
  // The current-process pseudo handle.
  EXPECT_EQ(Calls()[0].args[1], sizeof(uintptr_t) == 8 ? "0xFFFFFFFFFFFFFFFF" : "0xFFFFFFFF");
}

TEST_F(MainWindowTest, CloseHungProgramsEndsEachListedTitleInOrder) {
  fake::HungWindowTitles() = {"记事本", "", "Hung One"};
  CloseHungPrograms();
  std::vector<Call> expected = {
      {"WriteProperty", {kMain, "0x160102A0", "6", "1"}},
      {"Delay", {"300"}},
      {"ListHungWindowTitles", {}},
      {"TerminateProcessByName", {"记事本"}},
      {"TerminateProcessByName", {""}},
      {"TerminateProcessByName", {"Hung One"}},
      {"WriteProperty", {kMain, "0x160102A0", "6", "0"}},
  };
  EXPECT_EQ(Calls(), expected);
}

TEST_F(MainWindowTest, CloseHungProgramsWithNoneHungOnlyBlinksTheButton) {
  CloseHungPrograms();
  std::vector<Call> expected = {
      {"WriteProperty", {kMain, "0x160102A0", "6", "1"}},
      {"Delay", {"300"}},
      {"ListHungWindowTitles", {}},
      {"WriteProperty", {kMain, "0x160102A0", "6", "0"}},
  };
  EXPECT_EQ(Calls(), expected);
  EXPECT_TRUE(CallsOf({"ShowMessageBox"}).empty());
}

TEST_F(MainWindowTest, FirstInvertClickTicksAllItemsWithoutReadingThem) {
  ClickInvert();
  for (int tag = 1; tag <= 26; ++tag) EXPECT_TRUE(Ticked(Item(tag))) << tag;
  EXPECT_EQ(CallsOf({"FindControlByTag"}).size(), 26u);
  // Only "反选" itself is read; the items are set blindly.
  std::vector<Call> reads = CallsOf({"ReadProperty"});
  ASSERT_EQ(reads.size(), 1u);
  EXPECT_EQ(reads[0].args[1], "0x160102A1");
  EXPECT_EQ(CallsOf({"WriteProperty"}).size(), 26u);
  for (const Call& c : CallsOf({"WriteProperty"})) EXPECT_EQ(c.args[3], "1");
}

TEST_F(MainWindowTest, SecondInvertClickUnticksAll) {
  ClickInvert();
  ClickInvert();
  EXPECT_FALSE(Ticked(kInvertBox));
  for (int tag = 1; tag <= 26; ++tag) EXPECT_FALSE(Ticked(Item(tag))) << tag;
}

TEST_F(MainWindowTest, ItemsChangedByHandInBetweenAreInvertedOnTheirOwn) {
  ClickInvert();
  fake::Tick(kMainWindow, Item(5), false);
  fake::Tick(kMainWindow, Item(26), false);
  ClickInvert();
  for (int tag = 1; tag <= 26; ++tag) EXPECT_EQ(Ticked(Item(tag)), tag == 5 || tag == 26) << tag;
  // The third click ticks everything again, whatever was there.
  ClickInvert();
  for (int tag = 1; tag <= 26; ++tag) EXPECT_TRUE(Ticked(Item(tag))) << tag;
}

TEST_F(MainWindowTest, InvertVisitsTheTagsInOrder) {
  ClickInvert();
  std::vector<Call> finds = CallsOf({"FindControlByTag"});
  for (int tag = 1; tag <= 26; ++tag) EXPECT_EQ(finds[tag - 1].args, (std::vector<std::string>{kMain, std::to_string(tag)}));
}

TEST_F(MainWindowTest, InvertStopsTheProgramWhenATagIsMissing) {
  fake::GetState().tags.erase({kMainWindow, 7});
  fake::Tick(kMainWindow, kInvertBox, true);
  try {
    InvertItemSelection();
    FAIL() << "no fatal error";
  } catch (const fake::FatalExit& exit) {
    EXPECT_EQ(exit.message, "未找到指定标记的组件");
  }
  EXPECT_EQ(CallsOf({"WriteProperty"}).size(), 6u);  // tags 1 to 6 were set before
}

TEST_F(MainWindowTest, OpeningTheSettingsWindowShowsTheModeThenSwitchesOn) {
  fake::Tick(kSettingsWindow, settings_controls::kMemorySwitch, true);
  Calls().clear();
  InitSettingsWindow();
  const std::vector<Call> expected = {
      {"WriteProperty", {"0x520102C9", "0x160102FF", "8", "1024\xA1\xC1" "768 \xA3\xC0" "60Hz/32\xCE\xBB"}},
      {"WriteProperty", {"0x520102C9", "0x16010375", "8", "3500"}},
      {"WriteProperty", {"0x520102C9", "0x16010374", "8", "\xC4\xDA\xB4\xE6\xD3\xC5\xBB\xAF\xBF\xAA\xC6\xF4"}},
  };
  EXPECT_EQ(CallsOf({"WriteProperty"}), expected);
}

TEST_F(MainWindowTest, OpenSettingsWindowLoadsItModalWithoutParent) {
  OpenSettingsWindow();
  std::vector<Call> expected = {{"LoadWindow", {"0x520102C9", "0x00000000", "1"}}};
  EXPECT_EQ(Calls(), expected);
}

}  // namespace
}  // namespace lumeno
