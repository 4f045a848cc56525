// Service profiles and optional services, as the real program starts them:
// sc and net are recording stand-ins beside the program (found before the
// system's), so every command line is seen byte for byte with its window mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "driver.h"
#include "lumeno_windows.h"

namespace {

using namespace driver;
using namespace lumeno_e2e;

constexpr uint32_t kMinimalRadio = 0x160102F8;   // 单选框1 "最精简模式"
constexpr uint32_t kCafeRadio = 0x160102FC;      // 单选框2 "网吧模式"
constexpr uint32_t kOfficeRadio = 0x160102FB;    // 单选框3 "办公模式"
constexpr uint32_t kXpRadio = 0x160102F9;        // 单选框5 "XP默认"
constexpr uint32_t kApplyProfileButton = 0x160102FD;  // 按钮6
constexpr uint32_t kUpnpBox = 0x160102F4;      // 选择框4
constexpr uint32_t kSpoolerBox = 0x160102F3;   // 选择框1
constexpr uint32_t kHardwareBox = 0x160102F6;  // 选择框2
constexpr uint32_t kWirelessBox = 0x160102F5;  // 选择框3
constexpr uint32_t kStartServicesButton = 0x160102F2;  // 按钮7

const char kDefaultTitle[] = "信息：";

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

  static std::map<std::string, int> ModeCounts(const std::vector<std::string>& lines) {
    std::map<std::string, int> counts;
    for (const std::string& line : lines) {
      size_t at = line.find(" start= ");
      if (at == std::string::npos) continue;
      std::string mode = line.substr(at + 8);
      mode.erase(mode.find_last_not_of(' ') + 1);
      ++counts[mode];
    }
    return counts;
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

  std::vector<std::string> lines = Lines("sc");
  ASSERT_EQ(lines.size(), 82u);
  EXPECT_EQ(lines[0], "sc config   AppMgmt start= DEMAND");
  EXPECT_EQ(lines[1], "sc config   Alerter start= DISABLED");
  EXPECT_EQ(lines[3], "sc config   AppMgmt start= DEMAND");
  EXPECT_EQ(lines[81], "sc config   xmlprov start= DEMAND");
  EXPECT_EQ(ModeCounts(lines), (std::map<std::string, int>{{"AUTO", 10}, {"DEMAND", 44}, {"DISABLED", 28}}));
  for (const std::string& line : lines) EXPECT_NE(line.back(), ' ') << line;
  EXPECT_TRUE(ReadStandInRuns("net").empty());
}

TEST_F(ServicesE2eTest, MinimalProfileKeepsItsExactTrailingBlanks) {
  Open();
  ASSERT_TRUE(SetChecked(Control(kMinimalRadio), true));
  EXPECT_EQ(PressAndReadMessage(program_, Control(kApplyProfileButton)).text, "服务优化完毕！");
  std::vector<std::string> lines = Lines("sc");
  ASSERT_EQ(lines.size(), 82u);
  std::map<std::string, std::string> by_service;
  for (const std::string& line : lines) by_service[line.substr(12, line.find(' ', 12) - 12)] = line;
  EXPECT_EQ(by_service["TrkWks"], "sc config   TrkWks start= DISABLED  ");
  EXPECT_EQ(by_service["seclogon"], "sc config   seclogon start= disabled ");
  EXPECT_EQ(by_service["ShellHWDetection"], "sc config   ShellHWDetection start= disabled ");
  EXPECT_EQ(by_service["LmHosts"], "sc config   LmHosts start= DISABLED");
  EXPECT_EQ(by_service["xmlprov"], "sc config   xmlprov start= DEMAND");
  EXPECT_EQ(ModeCounts(lines),
            (std::map<std::string, int>{{"AUTO", 12}, {"DEMAND", 35}, {"DISABLED", 33}, {"disabled", 2}}));
}

TEST_F(ServicesE2eTest, CafeProfileGoesOnPastAFailingLine) {
  ASSERT_TRUE(InstallFailingStandIn("sc", "ose start="));
  Open();
  ASSERT_TRUE(SetChecked(Control(kCafeRadio), true));
  MessageBoxContent box = PressAndReadMessage(program_, Control(kApplyProfileButton));
  EXPECT_EQ(box.text, "服务优化完毕！");
  std::vector<std::string> lines = Lines("sc");
  ASSERT_EQ(lines.size(), 82u);
  auto failing = std::find(lines.begin(), lines.end(), "sc config   ose start= DEMAND ");
  ASSERT_NE(failing, lines.end());
  EXPECT_EQ(*(failing + 1), "sc config   PlugPlay start= AUTO ") << "the line after the failing one still ran";
  EXPECT_EQ(lines[5], "sc config   Browser start= AUTO ");
  EXPECT_EQ(ModeCounts(lines), (std::map<std::string, int>{{"AUTO", 25}, {"DEMAND", 31}, {"DISABLED", 26}}));
  for (const std::string& line : lines)
    EXPECT_TRUE(line.back() == ' ' && line[line.size() - 2] != ' ') << "not one trailing blank: " << line;
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
  std::vector<std::string> lines = Lines("sc");
  ASSERT_EQ(lines.size(), 80u);
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find(" ose "), std::string::npos);
    EXPECT_EQ(line.find("NVSvc"), std::string::npos);
    EXPECT_EQ(line.find("WMConnectCDS"), std::string::npos);
  }
}

TEST_F(ServicesE2eTest, AllFourOptionalServicesStartInTableOrder) {
  Open();
  for (uint32_t box : {kUpnpBox, kHardwareBox, kWirelessBox, kSpoolerBox}) ASSERT_TRUE(SetChecked(Control(box), true));
  MessageBoxContent box = PressAndReadMessage(program_, Control(kStartServicesButton));
  EXPECT_EQ(box.title, kDefaultTitle);
  EXPECT_EQ(box.text, "所选项目服务启动完毕！");
  EXPECT_EQ(Lines("sc"), (std::vector<std::string>{
                             "sc config   upnphost start= auto ",
                             "sc config   spooler start= auto ",
                             "sc config   ShellHWDetection start= auto ",
                             "sc config   WZCSVC start= auto ",
                         }));
  EXPECT_EQ(Lines("net"), (std::vector<std::string>{"net start upnphost", "net start spooler",
                                                    "net start ShellHWDetection", "net start WZCSVC"}));
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
