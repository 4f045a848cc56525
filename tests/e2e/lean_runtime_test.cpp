// The runtime the program's own trees link instead of the toolchain's, through
// tests/lean/lean_runtime_probe.cpp built there like the program: static
// constructors and function-local statics work, and out of memory or a
// delay-loaded function that cannot be bound ends the program with its
// fatal-error box and exit code -1 instead of going on or crashing.
#include <gtest/gtest.h>

#include <string>

#include "driver.h"

namespace {

using namespace driver;

const std::string kProbe = std::string(kTestDirectory) + "\\shipped\\lean_runtime_probe.exe";
constexpr DWORD kFatalExitCode = static_cast<DWORD>(-1);

// Runs the probe in a mode that must return; its exit code.
DWORD ExitCodeOf(const std::string& mode) {
  Program probe;
  if (!probe.Start(kProbe + " " + mode) || !probe.WaitForExit(60000)) return STILL_ACTIVE;
  return probe.ExitCode();
}

TEST(LeanRuntimeE2eTest, StaticsAreConstructedBeforeWinMainAndOnceAcrossRacingThreads) {
  EXPECT_EQ(ExitCodeOf("constructors"), 0u);
  EXPECT_EQ(ExitCodeOf("statics"), 0u);
  EXPECT_EQ(ExitCodeOf("no-such-mode"), 2u) << "the probe reads its arguments";
}

TEST(LeanRuntimeE2eTest, FailuresEndTheProgramWithItsFatalErrorBox) {
  const struct {
    const char* mode;
    std::string message;  // what the box says after the fatal-error heading
  } cases[] = {
      {"out-of-memory", "内存不足"},
      {"missing-function", "无法找到指定DLL库文件“shell32.dll”中的输出命令“LumenoProbeMissingExport”"},
      {"missing-library",
       "无法找到指定DLL库文件“lumeno_probe_missing.dll”中的输出命令“LumenoProbeMissingLibraryExport”"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    Program probe;
    ASSERT_TRUE(probe.Start(kProbe + " " + c.mode));
    HWND box = probe.WaitForMessageBox(30000);
    ASSERT_NE(box, nullptr) << "exit code " << probe.ExitCode();
    const MessageBoxContent content = ReadMessageBox(box);
    EXPECT_EQ(content.text, "运行时出错!\r\n\r\n错误信息：" + c.message + "\r\n");
    EXPECT_TRUE(AnswerMessageBox(box));
    ASSERT_TRUE(probe.WaitForExit());
    EXPECT_EQ(probe.ExitCode(), kFatalExitCode);
  }
}

}  // namespace
