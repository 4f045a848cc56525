#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fakes/recorder.h"
#include "services/services.h"

namespace lumeno {
namespace {

constexpr ControlId kMinimalRadio = 0x160102F8;   // 单选框1 "最精简模式"
constexpr ControlId kCafeRadio = 0x160102FC;      // 单选框2 "网吧模式"
constexpr ControlId kOfficeRadio = 0x160102FB;    // 单选框3 "办公模式"
constexpr ControlId kNotebookRadio = 0x160102FA;  // 单选框4 "笔记本模式"
constexpr ControlId kXpRadio = 0x160102F9;        // 单选框5 "XP默认"

const char kStopMessage[] = "\xC7\xEB\xD1\xA1\xD4\xF1\xB7\xFE\xCE\xF1\xD3\xC5\xBB\xAF\xCF\xEE\xC4\xBF\xC9\xCF\xD6\xB4\xD0\xD0\xA3\xA1";
const char kDoneMessage[] = "\xB7\xFE\xCE\xF1\xD3\xC5\xBB\xAF\xCD\xEA\xB1\xCF\xA3\xA1";  // 服务优化完毕！
const char kDefaultTitle[] = "\xD0\xC5\xCF\xA2\xA3\xBA";                                // 信息：

class ServiceTest : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }

  // The command lines run, after checking that each one was hidden and waited for.
  static std::vector<std::string> RunLines() {
    std::vector<std::string> lines;
    for (const fake::Call& call : fake::CallsOf({"RunCommandLine"})) {
      EXPECT_EQ(call.args[1], "1") << call.args[0] << " not waited for";
      EXPECT_EQ(call.args[2], "1") << call.args[0] << " not hidden";
      lines.push_back(call.args[0]);
    }
    return lines;
  }

  static std::vector<std::string> ReadControls() {
    std::vector<std::string> read;
    for (const fake::Call& call : fake::CallsOf({"ReadProperty"})) {
      EXPECT_EQ(call.args[0], fake::Hex32(kSettingsWindow));
      EXPECT_EQ(call.args[2], "18");
      read.push_back(call.args[1]);
    }
    return read;
  }

  static std::vector<std::string> Ids(std::initializer_list<ControlId> ids) {
    std::vector<std::string> out;
    for (ControlId id : ids) out.push_back(fake::Hex32(id));
    return out;
  }

  static std::vector<std::string> ApplyProfile(ControlId radio) {
    fake::Reset();
    fake::Tick(kSettingsWindow, radio);
    ApplyServiceProfile();
    return RunLines();
  }
};

// Parts of one "sc config" line: service, mode word, number of trailing blanks.
struct ScLine {
  std::string service, mode;
  size_t trailing_blanks = 0;
};

ScLine ParseScLine(const std::string& line) {
  const std::string head = "sc config   ", middle = " start= ";
  size_t at = line.find(middle);
  if (line.rfind(head, 0) != 0 || at == std::string::npos || at <= head.size()) {
    ADD_FAILURE() << "not an sc config line: \"" << line << '"';
    return {};
  }
  ScLine parsed;
  parsed.service = line.substr(head.size(), at - head.size());
  std::string rest = line.substr(at + middle.size());
  size_t end = std::min(rest.find(' '), rest.size());
  parsed.mode = rest.substr(0, end);
  parsed.trailing_blanks = rest.size() - end;
  EXPECT_EQ(parsed.service.find(' '), std::string::npos) << line;
  EXPECT_EQ(rest.find_first_not_of(' ', end), std::string::npos) << line;
  return parsed;
}

std::map<std::string, int> ModeCounts(const std::vector<std::string>& lines) {
  std::map<std::string, int> counts;
  for (const std::string& line : lines) ++counts[ParseScLine(line).mode];
  return counts;
}

// Mode counts stated for each profile, kept apart from the program's table so
// that a mistyped cell shows up here.
struct ExpectedProfile {
  ControlId radio;
  size_t lines;
  std::map<std::string, int> modes;
};
const ExpectedProfile kExpected[] = {
    {kMinimalRadio, 82, {{"AUTO", 12}, {"DEMAND", 35}, {"DISABLED", 33}, {"disabled", 2}}},
    {kCafeRadio, 82, {{"AUTO", 25}, {"DEMAND", 31}, {"DISABLED", 26}}},
    {kOfficeRadio, 82, {{"AUTO", 10}, {"DEMAND", 44}, {"DISABLED", 28}}},
    {kNotebookRadio, 82, {{"AUTO", 35}, {"DEMAND", 31}, {"DISABLED", 16}}},
    {kXpRadio, 80, {{"AUTO", 33}, {"DEMAND", 38}, {"DISABLED", 9}}},
};

ControlId ProfileOfLines(const std::vector<std::string>& lines) {
  for (const ExpectedProfile& p : kExpected)
    if (lines.size() == p.lines && ModeCounts(lines) == p.modes) return p.radio;
  return 0;
}

TEST_F(ServiceTest, EveryProfileHasItsStatedModeCounts) {
  for (const ExpectedProfile& p : kExpected) {
    std::vector<std::string> lines = ApplyProfile(p.radio);
    EXPECT_EQ(lines.size(), p.lines) << fake::Hex32(p.radio);
    EXPECT_EQ(ModeCounts(lines), p.modes) << fake::Hex32(p.radio);
  }
}

TEST_F(ServiceTest, EveryProfileRunsInTableOrderAndNamesEachServiceOnce) {
  for (const ExpectedProfile& p : kExpected) {
    std::vector<std::string> lines = ApplyProfile(p.radio);
    ASSERT_GE(lines.size(), 80u);
    size_t first = p.radio == kOfficeRadio ? 1 : 0;
    std::set<std::string> seen;
    for (size_t i = first; i < lines.size(); ++i)
      EXPECT_TRUE(seen.insert(ParseScLine(lines[i]).service).second) << lines[i];
    EXPECT_EQ(ParseScLine(lines[first]).service, "Alerter");
    EXPECT_EQ(ParseScLine(lines[first + 1]).service, "ALG");
    EXPECT_EQ(ParseScLine(lines.back()).service, "xmlprov");
    EXPECT_EQ(ParseScLine(lines[lines.size() - 2]).service, "WZCSVC");
  }
}

TEST_F(ServiceTest, OfficeRunsAppMgmtFirstAndAgainAtItsRowWithoutTrailingBlanks) {
  std::vector<std::string> lines = ApplyProfile(kOfficeRadio);
  ASSERT_EQ(lines.size(), 82u);
  EXPECT_EQ(lines[0], "sc config   AppMgmt start= DEMAND");
  EXPECT_EQ(lines[1], "sc config   Alerter start= DISABLED");
  EXPECT_EQ(lines[3], "sc config   AppMgmt start= DEMAND");
  for (const std::string& line : lines) EXPECT_EQ(ParseScLine(line).trailing_blanks, 0u) << line;
  // NVSvc stands where the other profiles have ose; no ose, no WMConnectCDS.
  auto at = std::find(lines.begin(), lines.end(), "sc config   NtmsSvc start= DEMAND");
  ASSERT_NE(at, lines.end());
  EXPECT_EQ(*(at + 1), "sc config   NVSvc start= DEMAND");
  for (const std::string& line : lines) {
    EXPECT_NE(ParseScLine(line).service, "ose");
    EXPECT_NE(ParseScLine(line).service, "WMConnectCDS");
  }
}

TEST_F(ServiceTest, XpDefaultHasNeitherOseNorNvsvcNorWmConnectCds) {
  std::vector<std::string> lines = ApplyProfile(kXpRadio);
  ASSERT_EQ(lines.size(), 80u);
  for (const std::string& line : lines) {
    ScLine parsed = ParseScLine(line);
    EXPECT_NE(parsed.service, "ose");
    EXPECT_NE(parsed.service, "NVSvc");
    EXPECT_NE(parsed.service, "WMConnectCDS");
    EXPECT_EQ(parsed.trailing_blanks, 1u) << line;
  }
  EXPECT_EQ(lines[1], "sc config   ALG start= DEMAND ");
  EXPECT_EQ(lines[13], "sc config   dmserver start= AUTO ");
}

TEST_F(ServiceTest, CafeAndNotebookEndEveryLineInOneBlankAndKeepOse) {
  for (ControlId radio : {kCafeRadio, kNotebookRadio}) {
    std::vector<std::string> lines = ApplyProfile(radio);
    ASSERT_EQ(lines.size(), 82u);
    for (const std::string& line : lines) EXPECT_EQ(ParseScLine(line).trailing_blanks, 1u) << line;
    auto at = std::find(lines.begin(), lines.end(), "sc config   NtmsSvc start= DEMAND ");
    ASSERT_NE(at, lines.end());
    EXPECT_EQ(*(at + 1), "sc config   ose start= DEMAND ");
    EXPECT_EQ(*(at + 2), "sc config   PlugPlay start= AUTO ");
  }
  std::vector<std::string> cafe = ApplyProfile(kCafeRadio);
  EXPECT_EQ(cafe[5], "sc config   Browser start= AUTO ");
  std::vector<std::string> notebook = ApplyProfile(kNotebookRadio);
  EXPECT_EQ(notebook[1], "sc config   ALG start= AUTO ");
}

TEST_F(ServiceTest, MinimalHasLowerCaseDisabledAndItsTrailingBlankExceptions) {
  std::vector<std::string> lines = ApplyProfile(kMinimalRadio);
  ASSERT_EQ(lines.size(), 82u);
  std::map<std::string, std::string> by_service;
  for (const std::string& line : lines) by_service[ParseScLine(line).service] = line;
  EXPECT_EQ(by_service["seclogon"], "sc config   seclogon start= disabled ");
  EXPECT_EQ(by_service["ShellHWDetection"], "sc config   ShellHWDetection start= disabled ");
  EXPECT_EQ(by_service["TrkWks"], "sc config   TrkWks start= DISABLED  ");
  EXPECT_EQ(by_service["LmHosts"], "sc config   LmHosts start= DISABLED");
  EXPECT_EQ(by_service["Netman"], "sc config   Netman start= DEMAND");
  EXPECT_EQ(by_service["stisvc"], "sc config   stisvc start= DEMAND");
  EXPECT_EQ(by_service["xmlprov"], "sc config   xmlprov start= DEMAND");
  EXPECT_EQ(by_service.count("NVSvc"), 0u);
  const std::set<std::string> exceptions = {"TrkWks", "LmHosts", "Netman", "stisvc", "xmlprov"};
  for (const std::string& line : lines) {
    if (!exceptions.count(ParseScLine(line).service)) {
      EXPECT_EQ(ParseScLine(line).trailing_blanks, 1u) << line;
    }
  }
  EXPECT_EQ(lines[0], "sc config   Alerter start= DISABLED ");
}

TEST_F(ServiceTest, ReportsCompletionAfterTheLastLine) {
  ApplyProfile(kNotebookRadio);
  const std::vector<fake::Call>& calls = fake::Calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back(), (fake::Call{"ShowMessageBox", {kDoneMessage, "64", kDefaultTitle}}));
  EXPECT_EQ(fake::CallsOf({"ShowMessageBox"}).size(), 1u);
}

TEST_F(ServiceTest, FailingRunsDoNotStopTheList) {
  fake::Tick(kSettingsWindow, kCafeRadio);
  fake::GetState().run_result = false;
  ApplyServiceProfile();
  EXPECT_EQ(RunLines().size(), 82u);
  EXPECT_EQ(fake::CallsOf({"ShowMessageBox"}).size(), 1u);
}

TEST_F(ServiceTest, NoRadioSelectedRunsNothingAndAsksForAProfile) {
  ApplyServiceProfile();
  EXPECT_TRUE(RunLines().empty());
  EXPECT_EQ(ReadControls(), Ids({kMinimalRadio, kOfficeRadio, kNotebookRadio, kCafeRadio, kXpRadio}));
  EXPECT_EQ(fake::CallsOf({"ShowMessageBox"}),
            (std::vector<fake::Call>{{"ShowMessageBox", {kStopMessage, "16", kDefaultTitle}}}));
}

TEST_F(ServiceTest, SeveralSelectedRadiosPickByTheFixedReadingOrder) {
  struct Case {
    std::vector<ControlId> ticked;
    ControlId chosen;
    std::vector<std::string> reads;
  };
  const Case cases[] = {
      {{kMinimalRadio, kCafeRadio, kOfficeRadio, kNotebookRadio, kXpRadio}, kMinimalRadio, Ids({kMinimalRadio})},
      {{kCafeRadio, kOfficeRadio}, kOfficeRadio, Ids({kMinimalRadio, kOfficeRadio})},
      {{kXpRadio, kNotebookRadio, kCafeRadio}, kNotebookRadio, Ids({kMinimalRadio, kOfficeRadio, kNotebookRadio})},
      {{kXpRadio, kCafeRadio}, kCafeRadio, Ids({kMinimalRadio, kOfficeRadio, kNotebookRadio, kCafeRadio})},
      {{kXpRadio}, kXpRadio, Ids({kMinimalRadio, kOfficeRadio, kNotebookRadio, kCafeRadio, kXpRadio})},
  };
  for (const Case& c : cases) {
    fake::Reset();
    for (ControlId radio : c.ticked) fake::Tick(kSettingsWindow, radio);
    ApplyServiceProfile();
    EXPECT_EQ(ProfileOfLines(RunLines()), c.chosen) << fake::Hex32(c.chosen);
    EXPECT_EQ(ReadControls(), c.reads) << fake::Hex32(c.chosen);
  }
}

// ---------------------------------------------------------------------------
// Starting selected services

constexpr ControlId kUpnpBox = 0x160102F4;      // 选择框4
constexpr ControlId kSpoolerBox = 0x160102F3;   // 选择框1
constexpr ControlId kHardwareBox = 0x160102F6;  // 选择框2
constexpr ControlId kWirelessBox = 0x160102F5;  // 选择框3

const char kStartedMessage[] = "所选项目服务启动完毕！";
const char kChooseServiceMessage[] = "请先选择欲启动项目！";

TEST_F(ServiceTest, AllFourServicesStartInTableOrder) {
  for (ControlId box : {kSpoolerBox, kHardwareBox, kWirelessBox, kUpnpBox}) fake::Tick(kSettingsWindow, box);
  StartSelectedServices();
  EXPECT_EQ(RunLines(), (std::vector<std::string>{
                            "sc config   upnphost start= auto ",
                            "net start upnphost",
                            "sc config   spooler start= auto ",
                            "net start spooler",
                            "sc config   ShellHWDetection start= auto ",
                            "net start ShellHWDetection",
                            "sc config   WZCSVC start= auto ",
                            "net start WZCSVC",
                        }));
  EXPECT_EQ(fake::Calls().back(), (fake::Call{"ShowMessageBox", {kStartedMessage, "64", kDefaultTitle}}));
  EXPECT_TRUE(fake::CallsOf({"WriteProperty"}).empty()) << "the boxes stay as the user left them";
}

TEST_F(ServiceTest, OnlyTheWirelessBoxStartsOnlyWzcsvc) {
  fake::Tick(kSettingsWindow, kWirelessBox);
  StartSelectedServices();
  EXPECT_EQ(RunLines(), (std::vector<std::string>{"sc config   WZCSVC start= auto ", "net start WZCSVC"}));
  EXPECT_EQ(fake::CallsOf({"ShowMessageBox"}),
            (std::vector<fake::Call>{{"ShowMessageBox", {kStartedMessage, "64", kDefaultTitle}}}));
}

TEST_F(ServiceTest, NoServiceTickedStartsNothing) {
  StartSelectedServices();
  EXPECT_TRUE(RunLines().empty());
  EXPECT_EQ(ReadControls(), Ids({kUpnpBox, kSpoolerBox, kHardwareBox, kWirelessBox}));
  EXPECT_EQ(fake::CallsOf({"ShowMessageBox"}),
            (std::vector<fake::Call>{{"ShowMessageBox", {kChooseServiceMessage, "16", kDefaultTitle}}}));
}

// ---------------------------------------------------------------------------
// The restore file: each installed service's start type, read before any sc line

TEST_F(ServiceTest, StartTypesAreSavedBeforeTheFirstCommandLine) {
  const std::string services = "SYSTEM\\CurrentControlSet\\Services\\";
  const RegistryData automatic{4, std::string("\x02\0\0\0", 4)}, manual{4, std::string("\x03\0\0\0", 4)};
  struct Case {
    std::function<void()> handler;
    std::string file;  // GBK: "C:\Lumeno\备份\<the fake's time> <command>.reg"
    std::vector<std::string> sections;
  };
  const std::string folder = "C:\\Lumeno\\\xB1\xB8\xB7\xDD\\20261208-143005 ";
  const Case cases[] = {
      {[] {
         fake::Tick(kSettingsWindow, kMinimalRadio);
         ApplyServiceProfile();
       },
       folder + "\xB7\xFE\xCE\xF1\xD3\xC5\xBB\xAF.reg",  // 服务优化
       // Eventlog stays automatic and ose is not installed: neither is saved.
       {"[HKEY_LOCAL_MACHINE\\" + services + "Alerter]\r\n\"Start\"=dword:00000002\r\n",
        "[HKEY_LOCAL_MACHINE\\" + services + "Spooler]\r\n\"Start\"=dword:00000003\r\n",
        "[HKEY_LOCAL_MACHINE\\" + services + "TrkWks]\r\n\"Start\"=dword:00000002\r\n",
        "[HKEY_LOCAL_MACHINE\\" + services + "WZCSVC]\r\n\"Start\"=dword:00000003\r\n"}},
      {[] {
         fake::Tick(kSettingsWindow, kSpoolerBox);
         StartSelectedServices();
       },
       folder + "\xC6\xF4\xB6\xAF\xB7\xFE\xCE\xF1.reg",  // 启动服务
       {"[HKEY_LOCAL_MACHINE\\" + services + "spooler]\r\n\"Start\"=dword:00000003\r\n"}},
  };
  for (const Case& c : cases) {
    fake::Reset();
    fake::SetRegistryValue(4, services + "Alerter", "Start", automatic);
    fake::SetRegistryValue(4, services + "Eventlog", "Start", automatic);
    fake::SetRegistryValue(4, services + "Spooler", "Start", manual);
    fake::SetRegistryValue(4, services + "TrkWks", "Start", automatic);
    fake::SetRegistryValue(4, services + "WZCSVC", "Start", manual);
    c.handler();
    std::string expected = "REGEDIT4\r\n";
    for (const std::string& section : c.sections) expected += "\r\n" + section;
    EXPECT_EQ(fake::GetState().files[c.file], expected + "\r\n") << c.file;
    std::vector<std::string> order;
    for (const fake::Call& call : fake::CallsOf({"ReadRegistryValue", "WriteNewFile", "RunCommandLine"}))
      if (order.empty() || order.back() != call.op) order.push_back(call.op);
    EXPECT_EQ(order, (std::vector<std::string>{"ReadRegistryValue", "WriteNewFile", "RunCommandLine"})) << c.file;
  }
}

}  // namespace
}  // namespace lumeno
