// Service profiles and optional services, as the real program starts them:
// sc and net are recording stand-ins beside the program (found before the
// system's), so every command line is seen byte for byte with its window mode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver.h"
#include "lumeno_windows.h"
#include "platform/control_ids.h"
#include "support/expected_data.h"
#include "support/texts.h"

namespace {

using namespace driver;
using namespace lumeno_e2e;

constexpr uint32_t kMinimalRadio = 0x160102F8;   // 单选框1 "最精简模式"
constexpr uint32_t kCafeRadio = 0x160102FC;      // 单选框2 "网吧模式"
constexpr uint32_t kOfficeRadio = 0x160102FB;    // 单选框3 "办公模式"
constexpr uint32_t kXpRadio = 0x160102F9;        // 单选框5 "XP默认"
constexpr uint32_t kUpnpBox = 0x160102F4;      // 选择框4
constexpr uint32_t kSpoolerBox = 0x160102F3;   // 选择框1
constexpr uint32_t kHardwareBox = 0x160102F6;  // 选择框2
constexpr uint32_t kWirelessBox = 0x160102F5;  // 选择框3
using lumeno::settings_controls::kApplyProfileButton;
using lumeno::settings_controls::kStartServicesButton;
using texts::kDefaultTitle;

// The command lines tests/data/<file> lists for a control, in order.
std::vector<std::string> ListedLines(const char* file, uint32_t control) {
  std::vector<std::string> lines;
  for (const expected::Row& row : expected::ReadTable(file))
    if (expected::Number(row.at(0)) == control) lines.push_back(row.at(1));
  return lines;
}

class ServicesE2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(InstallStandIn("sc"));
    ASSERT_TRUE(InstallStandIn("net"));
  }

  void Open() {
    HWND main_window = StartProgram(program_);
    ASSERT_NE(main_window, nullptr);
    settings_ = OpenSettingsPage(program_, main_window, kPageServices);
    ASSERT_NE(settings_, nullptr);
  }

  HWND Control(uint32_t id) {
    HWND control = WaitForControl(settings_, id);
    EXPECT_NE(control, nullptr) << std::hex << id;
    return control;
  }

  // The command lines a stand-in saw, after checking each ran hidden.
  static std::vector<std::string> Lines(const std::string& tool) {
    std::vector<std::string> lines;
    for (const RecordedRun& run : ReadStandInRuns(tool)) {
      EXPECT_TRUE(run.show_window_set && run.show_window == SW_HIDE) << run.command_line;
      lines.push_back(run.command_line);
    }
    return lines;
  }

  static void ExpectLines(const std::string& tool, const std::vector<std::string>& listed) {
    const std::vector<std::string> lines = Lines(tool);
    EXPECT_TRUE(lines == listed) << tool << ": " << expected::Difference(lines, listed);
  }

  Program program_;
  HWND settings_ = nullptr;
};

TEST_F(ServicesE2eTest, OfficeProfileRunsItsEightyTwoLinesHiddenThenReports) {
  Open();
  ASSERT_TRUE(SetChecked(Control(kOfficeRadio), true));
  MessageBoxContent box = PressAndReadMessage(program_, Control(kApplyProfileButton));
  EXPECT_EQ(box.title, kDefaultTitle);
  EXPECT_EQ(box.text, "服务优化完毕！");
  EXPECT_TRUE(box.has_icon);

  ExpectLines("sc", ListedLines("service_profiles.tsv", kOfficeRadio));
  EXPECT_TRUE(ReadStandInRuns("net").empty());
}

TEST_F(ServicesE2eTest, MinimalProfileKeepsItsExactTrailingBlanks) {
  Open();
  ASSERT_TRUE(SetChecked(Control(kMinimalRadio), true));
  EXPECT_EQ(PressAndReadMessage(program_, Control(kApplyProfileButton)).text, "服务优化完毕！");
  ExpectLines("sc", ListedLines("service_profiles.tsv", kMinimalRadio));
}

TEST_F(ServicesE2eTest, CafeProfileGoesOnPastAFailingLine) {
  ASSERT_TRUE(InstallFailingStandIn("sc", "ose start="));
  Open();
  ASSERT_TRUE(SetChecked(Control(kCafeRadio), true));
  MessageBoxContent box = PressAndReadMessage(program_, Control(kApplyProfileButton));
  EXPECT_EQ(box.text, "服务优化完毕！");
  // The lines after the failing ose line still ran.
  ExpectLines("sc", ListedLines("service_profiles.tsv", kCafeRadio));
}

TEST_F(ServicesE2eTest, NoProfileSelectedRunsNothing) {
  Open();
  MessageBoxContent box = PressAndReadMessage(program_, Control(kApplyProfileButton));
  EXPECT_EQ(box.title, kDefaultTitle);
  EXPECT_EQ(box.text, "请选择服务优化项目上执行！");
  EXPECT_TRUE(box.has_icon);
  EXPECT_TRUE(ReadStandInRuns("sc").empty());
}

TEST_F(ServicesE2eTest, XpDefaultRunsEightyLines) {
  Open();
  ASSERT_TRUE(SetChecked(Control(kXpRadio), true));
  EXPECT_EQ(PressAndReadMessage(program_, Control(kApplyProfileButton)).text, "服务优化完毕！");
  ExpectLines("sc", ListedLines("service_profiles.tsv", kXpRadio));
}

TEST_F(ServicesE2eTest, AllFourOptionalServicesStartInTableOrder) {
  Open();
  for (uint32_t box : {kUpnpBox, kHardwareBox, kWirelessBox, kSpoolerBox}) ASSERT_TRUE(SetChecked(Control(box), true));
  MessageBoxContent box = PressAndReadMessage(program_, Control(kStartServicesButton));
  EXPECT_EQ(box.title, kDefaultTitle);
  EXPECT_EQ(box.text, "所选项目服务启动完毕！");
  std::vector<std::string> sc, net;
  for (uint32_t box : {kUpnpBox, kSpoolerBox, kHardwareBox, kWirelessBox}) {
    std::vector<std::string> lines = ListedLines("optional_services.tsv", box);
    ASSERT_EQ(lines.size(), 2u);
    sc.push_back(lines[0]);
    net.push_back(lines[1]);
  }
  ExpectLines("sc", sc);
  ExpectLines("net", net);
  for (uint32_t id : {kUpnpBox, kHardwareBox, kWirelessBox, kSpoolerBox})
    EXPECT_TRUE(IsChecked(Control(id))) << "the boxes stay ticked";
}

TEST_F(ServicesE2eTest, OnlyWirelessStartsWzcsvcEvenWhenNetFails) {
  ASSERT_TRUE(InstallFailingStandIn("net", "WZCSVC"));
  Open();
  ASSERT_TRUE(SetChecked(Control(kWirelessBox), true));
  EXPECT_EQ(PressAndReadMessage(program_, Control(kStartServicesButton)).text, "所选项目服务启动完毕！");
  EXPECT_EQ(Lines("sc"), (std::vector<std::string>{"sc config   WZCSVC start= auto "}));
  EXPECT_EQ(Lines("net"), (std::vector<std::string>{"net start WZCSVC"}));
}

TEST_F(ServicesE2eTest, NoOptionalServiceTickedStartsNothing) {
  Open();
  MessageBoxContent box = PressAndReadMessage(program_, Control(kStartServicesButton));
  EXPECT_EQ(box.text, "请先选择欲启动项目！");
  EXPECT_TRUE(box.has_icon);
  EXPECT_TRUE(ReadStandInRuns("sc").empty());
  EXPECT_TRUE(ReadStandInRuns("net").empty());
}

}  // namespace
