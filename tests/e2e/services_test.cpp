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

// The system's own text for an error code, as the program shows it.
std::string SystemText(DWORD code) {
  char text[512] = {};
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                sizeof text, nullptr);
  std::string result(text, length);
  while (!result.empty() && (result.back() == '\r' || result.back() == '\n' || result.back() == ' '))
    result.pop_back();
  return result;
}

// Starts or stops the print spooler through the service control manager and
// waits until it has done so.
bool SetSpoolerRunning(bool running) {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (!manager) return false;
  SC_HANDLE service = OpenServiceA(manager, "spooler", SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS);
  bool ok = false;
  if (service) {
    SERVICE_STATUS status{};
    if (running)
      StartServiceA(service, 0, nullptr);
    else
      ControlService(service, SERVICE_CONTROL_STOP, &status);
    const DWORD wanted = running ? SERVICE_RUNNING : SERVICE_STOPPED;
    ok = WaitUntil([&] { return QueryServiceStatus(service, &status) && status.dwCurrentState == wanted; });
    CloseServiceHandle(service);
  }
  CloseServiceHandle(manager);
  return ok;
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

TEST_F(ServicesE2eTest, CafeProfileGoesOnPastRefusedLinesAndNamesTheirServices) {
  ASSERT_TRUE(InstallFailingStandIn("sc", "ose start=", 5));
  // A second rule: the TrkWks line exits 5 too.
  ASSERT_TRUE(WriteFileBytes(std::string(kProgramDirectory) + "\\sc.fail", "5\tose start=\n5\tTrkWks start="));
  Open();
  ASSERT_TRUE(SetChecked(Control(kCafeRadio), true));
  MessageBoxContent box = PressAndReadMessage(program_, Control(kApplyProfileButton));
  EXPECT_EQ(box.title, kDefaultTitle);
  EXPECT_TRUE(box.has_icon);
  // Exit code 5 is the system's "access denied"; the line names its text.
  const std::string access_denied = SystemText(5);
  EXPECT_EQ(box.text, "服务优化完成，但有 2 项未能执行：\r\n服务 ose：退出代码 5，" + access_denied +
                          "\r\n服务 TrkWks：退出代码 5，" + access_denied);
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

TEST_F(ServicesE2eTest, ServicesThisSystemLacksAreNoFailure) {
  ASSERT_TRUE(InstallFailingStandIn("sc", "", 1060));  // every line: "the service does not exist"
  Open();
  ASSERT_TRUE(SetChecked(Control(kXpRadio), true));
  MessageBoxContent box = PressAndReadMessage(program_, Control(kApplyProfileButton));
  EXPECT_EQ(box.title, kDefaultTitle);
  EXPECT_EQ(box.text, "服务优化完毕！");
  EXPECT_EQ(Lines("sc").size(), 80u);
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

TEST_F(ServicesE2eTest, AFailedStartOfAServiceThisSystemLacksIsReported) {
  ASSERT_TRUE(InstallFailingStandIn("net", "WZCSVC", 2));
  Open();
  ASSERT_TRUE(SetChecked(Control(kWirelessBox), true));
  MessageBoxContent box = PressAndReadMessage(program_, Control(kStartServicesButton));
  // Wine has no WZCSVC: the service control manager says so.
  EXPECT_EQ(box.text, "服务启动完成，但有 1 项未能执行：\r\n启动服务 WZCSVC：退出代码 2，服务未安装");
  EXPECT_EQ(Lines("sc"), (std::vector<std::string>{"sc config   WZCSVC start= auto "}));
  EXPECT_EQ(Lines("net"), (std::vector<std::string>{"net start WZCSVC"}));
}

// net exits 2 both when a start failed and when the service already ran: the
// program asks the service control manager which it was. Wine's own print
// spooler can be started and stopped from here.
TEST_F(ServicesE2eTest, NetStartFailingIsJudgedByWhetherTheServiceRuns) {
  ASSERT_TRUE(InstallFailingStandIn("net", "spooler", 2));
  struct Case {
    bool running;
    std::string text;
  };
  const Case cases[] = {
      {true, "所选项目服务启动完毕！"},
      {false, "服务启动完成，但有 1 项未能执行：\r\n启动服务 spooler：退出代码 2，服务未运行"},
  };
  Open();
  ASSERT_TRUE(SetChecked(Control(kSpoolerBox), true));
  for (const Case& c : cases) {
    ASSERT_TRUE(SetSpoolerRunning(c.running)) << c.running;
    EXPECT_EQ(PressAndReadMessage(program_, Control(kStartServicesButton)).text, c.text) << c.running;
  }
  EXPECT_EQ(Lines("net"), (std::vector<std::string>{"net start spooler", "net start spooler"}));
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
