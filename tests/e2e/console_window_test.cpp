// Console windows of the command lines the program starts. A console program
// started hidden (the service profiles' sc lines) runs without a console
// window of its own, which nobody would see and which only costs time; one
// started visible (the empty-folder sweep's script, through ComSpec) still
// gets its console, where its pauses are answered. The stand-ins are console
// programs that record whether they have a console window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver.h"
#include "lumeno_windows.h"

namespace {

using namespace driver;
using namespace lumeno_e2e;

constexpr uint32_t kOfficeRadio = 0x160102FB;         // 单选框3 "办公模式"
constexpr uint32_t kApplyProfileButton = 0x160102FD;  // 按钮6 "执行"
constexpr uint32_t kSweepButton = 0x16010295;         // MainWindow 按钮3 "空文件夹清理"

bool InstallConsoleStandIn(const std::string& name) {
  const std::string base = std::string(kProgramDirectory) + "\\" + name;
  DeleteFileA((base + ".log").c_str());
  return CopyFileA((std::string(kTestDirectory) + "\\console_recorder.exe").c_str(), (base + ".exe").c_str(), FALSE);
}

struct ConsoleRun {
  bool console_window;
  std::string command_line;
};

std::vector<ConsoleRun> ConsoleRuns(const std::string& name) {
  std::vector<ConsoleRun> runs;
  const std::string log = ReadFileBytes(std::string(kProgramDirectory) + "\\" + name + ".log").value_or("");
  for (size_t start = 0, end; (end = log.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string line = log.substr(start, end - start);
    EXPECT_TRUE(line.size() > 2 && (line[0] == '0' || line[0] == '1') && line[1] == '\t') << line;
    runs.push_back({line[0] == '1', line.substr(2)});
  }
  return runs;
}

TEST(ConsoleWindowE2eTest, HiddenConsoleProgramsRunWithoutAConsoleWindowVisibleOnesKeepTheirs) {
  // Started from the desktop, the program has no console to hand down; under
  // Wine it would otherwise pass on this test's own.
  FreeConsole();
  ASSERT_TRUE(InstallConsoleStandIn("sc"));
  ASSERT_TRUE(InstallConsoleStandIn("cmd"));
  ASSERT_TRUE(PointComSpecAt("cmd"));

  Program program;
  HWND main_window = StartProgram(program);
  ASSERT_NE(main_window, nullptr);
  HWND settings = OpenSettingsPage(program, main_window, kPageServices);
  ASSERT_NE(settings, nullptr);
  HWND office = WaitForControl(settings, kOfficeRadio);
  HWND apply = WaitForControl(settings, kApplyProfileButton);
  ASSERT_TRUE(office && apply);
  ASSERT_TRUE(SetChecked(office, true));
  PressAndReadMessage(program, apply);

  const std::vector<ConsoleRun> hidden = ConsoleRuns("sc");
  EXPECT_EQ(hidden.size(), 82u);
  for (const ConsoleRun& run : hidden) EXPECT_FALSE(run.console_window) << run.command_line;

  ASSERT_TRUE(PostClose(settings));
  ASSERT_TRUE(WaitForWindowGone(settings));
  ASSERT_TRUE(PostClick(WaitForControl(main_window, kSweepButton)));
  ASSERT_TRUE(WaitUntil([] { return !ConsoleRuns("cmd").empty(); }, 60000)) << "the sweep's script did not start";
  const std::vector<ConsoleRun> visible = ConsoleRuns("cmd");
  ASSERT_EQ(visible.size(), 1u);
  EXPECT_TRUE(visible[0].console_window) << visible[0].command_line;
  EXPECT_NE(visible[0].command_line.find(".bat"), std::string::npos) << visible[0].command_line;
}

}  // namespace
