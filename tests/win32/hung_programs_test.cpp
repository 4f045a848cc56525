// Finding windows that stopped answering and ending their processes, against
// real processes (hung_window.exe from tests/programs).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "hung_programs/hung_programs.h"
#include "support/windows_support.h"

namespace lumeno {
namespace {

class Helper {
 public:
  // Starts hung_window.exe with these arguments and waits for its window.
  Helper(const std::string& title, bool responsive) : title_(title) {
    std::string command = "hung_window.exe " + std::string(responsive ? "--responsive " : "") + title;
    if (!support::StartProcess(command, &info_)) return;
    support::WaitUntil([&] { return (window_ = FindWindowA("LumenoHungWindow", title.c_str())) != nullptr; }, 60000);
  }
  ~Helper() {
    if (info_.hProcess) {
      TerminateProcess(info_.hProcess, 1);
      WaitForSingleObject(info_.hProcess, 30000);
      CloseHandle(info_.hProcess);
      CloseHandle(info_.hThread);
    }
  }
  HWND Window() const { return window_; }
  bool Running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
  bool Ended(DWORD timeout = 30000) const { return WaitForSingleObject(info_.hProcess, timeout) == WAIT_OBJECT_0; }
  DWORD ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }
  // The system needs a few seconds without pumping before it calls a window hung.
  bool WaitUntilHung() const {
    return support::WaitUntil([&] { return IsHungAppWindow(window_) != FALSE; }, 60000);
  }

 private:
  std::string title_;
  PROCESS_INFORMATION info_ = {};
  HWND window_ = nullptr;
};

bool Contains(const std::vector<Text>& titles, const std::string& title) {
  return std::find(titles.begin(), titles.end(), title) != titles.end();
}

TEST(HungProgramsTest, ListsExactlyTheWindowsThatStoppedAnswering) {
  Helper hung("挂起的窗口 A", false);
  Helper alive("正常的窗口 A", true);
  ASSERT_NE(hung.Window(), nullptr);
  ASSERT_NE(alive.Window(), nullptr);
  ASSERT_TRUE(hung.WaitUntilHung());
  std::vector<Text> titles = ListHungWindowTitles();
  EXPECT_TRUE(Contains(titles, "挂起的窗口 A"));
  EXPECT_FALSE(Contains(titles, "正常的窗口 A"));
}

TEST(HungProgramsTest, EndsTheProcessOwningTheTitledWindowWithExitCodeZero) {
  Helper hung("挂起的窗口 B", false);
  Helper alive("正常的窗口 B", true);
  ASSERT_NE(hung.Window(), nullptr);
  EXPECT_TRUE(TerminateProcessByName("挂起的窗口 B"));
  EXPECT_TRUE(hung.Ended());
  EXPECT_EQ(hung.ExitCode(), 0u);
  EXPECT_TRUE(alive.Running());
}

TEST(HungProgramsTest, FallsBackToTheExecutableNameWithoutRegardToCase) {
  Helper alive("正常的窗口 C", true);
  ASSERT_NE(alive.Window(), nullptr);
  EXPECT_TRUE(TerminateProcessByName("HUNG_Window.EXE"));
  EXPECT_TRUE(alive.Ended());
}

TEST(HungProgramsTest, EmptyOrUnknownNamesEndNothing) {
  Helper alive("正常的窗口 D", true);
  ASSERT_NE(alive.Window(), nullptr);
  EXPECT_FALSE(TerminateProcessByName(""));
  EXPECT_FALSE(TerminateProcessByName("no such window or program"));
  EXPECT_FALSE(TerminateProcessByName("hung_window"));  // the file name needs its extension
  EXPECT_TRUE(alive.Running());
}

TEST(HungProgramsTest, NeverEndsTheProgramItself) {
  HWND own = CreateWindowExA(0, "STATIC", "本程序自己的窗口", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                             nullptr, nullptr);
  ASSERT_NE(own, nullptr);
  EXPECT_FALSE(TerminateProcessByName("本程序自己的窗口"));
  EXPECT_FALSE(TerminateProcessByName("hung_programs_test.exe"));
  DestroyWindow(own);
}

}  // namespace
}  // namespace lumeno
