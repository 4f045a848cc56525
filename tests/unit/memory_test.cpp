#include "memory/memory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/memory_fake.h"
#include "fakes/recorder.h"
#include "platform/platform.h"
#include "ui/controls.h"

namespace lumeno {
namespace {

using fake::Call;

using main_controls::kGaugeBar;
using main_controls::kGaugeLabel;
using settings_controls::kTrimTimer;
constexpr ControlId kSwitch = settings_controls::kMemorySwitch;
constexpr ControlId kStateLabel = settings_controls::kMemoryState;

const std::string kOnText = "\xC4\xDA\xB4\xE6\xD3\xC5\xBB\xAF\xBF\xAA\xC6\xF4";   // 内存优化开启
const std::string kOffText = "\xC4\xDA\xB4\xE6\xD3\xC5\xBB\xAF\xB9\xD8\xB1\xD5";  // 内存优化关闭

std::string GaugeText(const std::string& used) {
  return "RAM\xC4\xDA\xB4\xE6\xCA\xB9\xD3\xC3\xC7\xE9\xBF\xF6\xA3\xA8" + used + "%\xA3\xA9\xA3\xBA";
}

class Memory : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    fake::MemoryFigures().clear();
  }

  // Runs one gauge update and returns what the label and the bar show.
  std::pair<std::string, int> Gauge(int total, int available) {
    fake::MemoryFigures()[0] = total;
    fake::MemoryFigures()[1] = available;
    UpdateMemoryGauge();
    return {ReadText(kMainWindow, kGaugeLabel), ReadProperty(kMainWindow, kGaugeBar, kPropertyPosition).number};
  }
};

// ---------------------------------------------------------------------------
// The gauge

TEST_F(Memory, GaugeWorkedExample) {
  fake::MemoryFigures() = {{0, 1023}, {1, 300}};
  fake::Calls().clear();
  UpdateMemoryGauge();
  const std::vector<Call> expected = {
      {"QueryMemoryMB", {"1"}},
      {"QueryMemoryMB", {"0"}},
      {"WriteProperty", {"0x52010001", "0x1601029F", "8", GaugeText("71")}},
      {"WriteProperty", {"0x52010001", "0x1601029E", "13", "71"}},
  };
  EXPECT_EQ(fake::Calls(), expected);
}

TEST_F(Memory, GaugeAtItsEnds) {
  EXPECT_EQ(Gauge(2048, 2048), std::make_pair(GaugeText("0"), 0));
  EXPECT_EQ(Gauge(2048, 1), std::make_pair(GaugeText("100"), 100));
  // 1 / 3 * 100 = 33.3..: free 33 after truncation, not 34 after rounding
  EXPECT_EQ(Gauge(3, 1), std::make_pair(GaugeText("67"), 67));
  EXPECT_EQ(Gauge(3, 2), std::make_pair(GaugeText("34"), 34));
}

TEST_F(Memory, FailedQueryShowsZeroInsteadOfDividingByZero) {
  EXPECT_EQ(Gauge(0, 0), std::make_pair(GaugeText("0"), 0));
  EXPECT_EQ(Gauge(0, 512), std::make_pair(GaugeText("0"), 0));
  EXPECT_EQ(UsedMemoryPercent(512, 0), 0);
  EXPECT_EQ(UsedMemoryPercent(0, -1), 0);
}

TEST_F(Memory, GaugeStaysInRangeWhenTheFiguresDisagree) {
  EXPECT_EQ(UsedMemoryPercent(4096, 2048), 0);
  EXPECT_EQ(UsedMemoryPercent(-5, 2048), 100);
  EXPECT_EQ(UsedMemoryPercent(2147483647, 1), 0);
}

// ---------------------------------------------------------------------------
// The optimisation switch

TEST_F(Memory, SwitchFollowsTheBox) {
  fake::Tick(kSettingsWindow, kSwitch, false);
  ToggleMemoryOptimisation();
  EXPECT_EQ(ReadProperty(kSettingsWindow, kTrimTimer, kPropertyInterval).number, 0);
  EXPECT_EQ(ReadText(kSettingsWindow, kStateLabel), kOffText);
  fake::Tick(kSettingsWindow, kSwitch, true);
  ToggleMemoryOptimisation();
  EXPECT_EQ(ReadProperty(kSettingsWindow, kTrimTimer, kPropertyInterval).number, 3500);
  EXPECT_EQ(ReadText(kSettingsWindow, kStateLabel), kOnText);
  // The box itself is the user's: the handler never sets it.
  for (const Call& c : fake::CallsOf({"WriteProperty"})) EXPECT_NE(c.args[1], "0x16010376");
}

TEST_F(Memory, EveryTickStartsAPass) {
  StartTrimPass();
  StartTrimPass();
  EXPECT_EQ(fake::CallsOf({"StartThread"}).size(), 2u);
  ASSERT_EQ(fake::GetState().started_threads.size(), 2u);
  EXPECT_EQ(fake::GetState().started_threads[0], &TrimAllWorkingSets);
}

// ---------------------------------------------------------------------------
// Trimming

std::string Handle(uint32_t id) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%X", 0x1000u + id);
  return text;
}

TEST_F(Memory, PassTrimsEveryProcessItCanOpen) {
  fake::GetState().processes = {4, 8, 12};
  fake::GetState().unopenable = {8};
  TrimAllWorkingSets();
  const std::vector<Call> expected = {
      {"CallEnumProcesses", {"4096"}},
      {"CallOpenProcess", {"0x1F0FFF", "0", "4"}},
      {"CallSetProcessWorkingSetSize", {"4", Handle(4), "-1", "-1"}},
      {"CallCloseHandle", {Handle(4)}},
      {"CallOpenProcess", {"0x1F0FFF", "0", "8"}},
      {"CallOpenProcess", {"0x1F0FFF", "0", "12"}},
      {"CallSetProcessWorkingSetSize", {"4", Handle(12), "-1", "-1"}},
      {"CallCloseHandle", {Handle(12)}},
  };
  EXPECT_EQ(fake::Calls(), expected);
}

TEST_F(Memory, PassTrimsAtMostTheFirst1024Processes) {
  for (uint32_t id = 1; id <= 1500; ++id) fake::GetState().processes.push_back(id * 4);
  fake::GetState().unopenable = {8, 400, 4096};
  TrimAllWorkingSets();
  std::vector<std::string> opened, trimmed, closed;
  for (const Call& c : fake::Calls()) {
    if (c.op == "CallOpenProcess") opened.push_back(c.args[2]);
    if (c.op == "CallSetProcessWorkingSetSize") trimmed.push_back(c.args[1]);
    if (c.op == "CallCloseHandle") closed.push_back(c.args[0]);
  }
  ASSERT_EQ(opened.size(), 1024u);
  EXPECT_EQ(opened.front(), "4");
  EXPECT_EQ(opened.back(), "4096");
  EXPECT_EQ(trimmed.size(), 1021u);
  EXPECT_EQ(closed, trimmed);  // every handle opened is closed, and only those
}

TEST_F(Memory, FailedEnumerationTrimsNothing) {
  TrimAllWorkingSets();
  EXPECT_EQ(fake::Calls(), std::vector<Call>{(Call{"CallEnumProcesses", {"4096"}})});
}

}  // namespace
}  // namespace lumeno
