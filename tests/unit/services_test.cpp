#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fakes/recorder.h"
#include "services/services.h"
#include "support/expected_data.h"
#include "support/texts.h"
#include "ui/controls.h"

namespace lumeno {
namespace {

using namespace settings_controls;
constexpr ControlId kXpRadio = kXpDefaultRadio;

const char kStopMessage[] = "\xC7\xEB\xD1\xA1\xD4\xF1\xB7\xFE\xCE\xF1\xD3\xC5\xBB\xAF\xCF\xEE\xC4\xBF\xC9\xCF\xD6\xB4\xD0\xD0\xA3\xA1";
const char kDoneMessage[] = "\xB7\xFE\xCE\xF1\xD3\xC5\xBB\xAF\xCD\xEA\xB1\xCF\xA3\xA1";  // 服务优化完毕！
const char* const kDefaultTitle = texts::kDefaultTitle;

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

// tests/data/service_profiles.tsv: radio, command line; optional_services.tsv: box, command line.
std::vector<std::string> ExpectedLines(const std::string& file, ControlId control) {
  std::vector<std::string> lines;
  for (const expected::Row& row : expected::ReadTable(file))
    if (expected::Number(row.at(0)) == control) lines.push_back(row.at(1));
  return lines;
}

TEST_F(ServiceTest, EveryProfileRunsExactlyItsCommandLinesInOrder) {
  for (ControlId radio : {kMinimalRadio, kCafeRadio, kOfficeRadio, kNotebookRadio, kXpRadio}) {
    std::vector<std::string> expected = ExpectedLines("service_profiles.tsv", radio);
    ASSERT_GE(expected.size(), 80u);
    EXPECT_EQ(ApplyProfile(radio), expected) << fake::Hex32(radio);
  }
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
  EXPECT_EQ(RunLines(), ExpectedLines("service_profiles.tsv", kCafeRadio));
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
    EXPECT_EQ(RunLines(), ExpectedLines("service_profiles.tsv", c.chosen)) << fake::Hex32(c.chosen);
    EXPECT_EQ(ReadControls(), c.reads) << fake::Hex32(c.chosen);
  }
}

// ---------------------------------------------------------------------------
// Starting selected services

constexpr ControlId kHardwareBox = kHardwarePlaybackBox;

const char kStartedMessage[] = "所选项目服务启动完毕！";
const char kChooseServiceMessage[] = "请先选择欲启动项目！";

TEST_F(ServiceTest, EachOptionalServiceAloneRunsItsTwoLinesAndAllFourRunInTableOrder) {
  const expected::Table table = expected::ReadTable("optional_services.tsv");
  std::vector<std::string> all;
  for (const std::string& box : expected::Distinct(table, 0)) {
    fake::Reset();
    fake::Tick(kSettingsWindow, static_cast<ControlId>(expected::Number(box)));
    StartSelectedServices();
    std::vector<std::string> lines;
    for (const expected::Row& row : expected::RowsWhere(table, 0, box)) lines.push_back(row.at(1));
    EXPECT_EQ(RunLines(), lines) << box;
    EXPECT_EQ(fake::CallsOf({"ShowMessageBox"}),
              (std::vector<fake::Call>{{"ShowMessageBox", {kStartedMessage, "64", texts::kDefaultTitle}}}));
    all.insert(all.end(), lines.begin(), lines.end());
  }
  fake::Reset();
  // Ticked in screen order; they start in their own.
  for (ControlId box : {kUpnpBox, kHardwareBox, kWirelessBox, kSpoolerBox}) fake::Tick(kSettingsWindow, box);
  StartSelectedServices();
  EXPECT_EQ(RunLines(), all);
  EXPECT_TRUE(fake::CallsOf({"WriteProperty"}).empty()) << "the boxes stay as the user left them";
}

TEST_F(ServiceTest, FailedStartsDoNotStopTheOtherLines) {
  fake::Tick(kSettingsWindow, kSpoolerBox);
  fake::GetState().run_result = false;
  StartSelectedServices();
  EXPECT_EQ(RunLines(), ExpectedLines("optional_services.tsv", kSpoolerBox));
  EXPECT_EQ(fake::CallsOf({"ShowMessageBox"}).size(), 1u);
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
  const std::string folder = std::string("C:\\Lumeno\\") + texts::kBackupFolder + "\\20261208-143005 PC-07 ";
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
