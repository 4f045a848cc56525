// Service profiles and optional services, as the real program starts them:
// sc and net are recording stand-ins beside the program (found before the
// system's), so every command line is seen byte for byte with its window mode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver.h"
#include "lumeno_windows.h"
#include "ui/control_ids.h"
#include "support/expected_data.h"
#include "support/texts.h"

namespace {

using namespace driver;
using namespace lumeno_e2e;

using namespace lumeno::settings_controls;
constexpr uint32_t kXpRadio = kXpDefaultRadio;
constexpr uint32_t kHardwareBox = kHardwarePlaybackBox;
using texts::kDefaultTitle;

// The command lines tests/data/<file> lists for a control, in order.
std::vector<std::string> ListedLines(const char* file, uint32_t control) {
  std::vector<std::string> lines;
  for (const expected::Row& row : expected::ReadTable(file))
    if (expected::Number(row.at(0)) == control) lines.push_back(row.at(1));
  return lines;
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
  // The lines after the failing ones still ran.
  ExpectLines("sc", ListedLines("service_profiles.tsv", kCafeRadio));
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

TEST_F(ServicesE2eTest, AFailedStartOfAServiceThisSystemLacksIsReported) {
  ASSERT_TRUE(InstallFailingStandIn("net", "WZCSVC", 2));
  Open();
  ASSERT_TRUE(SetChecked(Control(kWirelessBox), true));
  MessageBoxContent box = PressAndReadMessage(program_, Control(kStartServicesButton));
  // Wine has no WZCSVC: the service control manager says so.
  EXPECT_EQ(box.text, "服务启动完成，但有 1 项未能执行：\r\n启动服务 WZCSVC：退出代码 2，服务未安装");
  const std::vector<std::string> listed = ListedLines("optional_services.tsv", kWirelessBox);
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(Lines("sc"), std::vector<std::string>{listed[0]});
  EXPECT_EQ(Lines("net"), std::vector<std::string>{listed[1]});
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
