// The RAM gauge of the main window and the memory-optimisation switch of the
// settings window, through the real program. Trimming passes are seen as the
// threads the program creates, counted by attaching as its debugger.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "driver.h"
#include "ui/control_ids.h"
#include "settings_window.h"

namespace {

using namespace driver;

using lumeno::main_controls::kGaugeLabel;
using lumeno::main_controls::kGaugeBar;
constexpr uint32_t kSwitch = lumeno::settings_controls::kMemorySwitch;  // SettingsWindow 选择框18
constexpr uint32_t kStateLabel = lumeno::settings_controls::kMemoryState;  // SettingsWindow 透明标签1

const std::string kGaugeStart = "RAM\xC4\xDA\xB4\xE6\xCA\xB9\xD3\xC3\xC7\xE9\xBF\xF6\xA3\xA8";  // RAM内存使用情况（
const std::string kGaugeEnd = "%\xA3\xA9\xA3\xBA";                                              // %）：
const std::string kOnText = "\xC4\xDA\xB4\xE6\xD3\xC5\xBB\xAF\xBF\xAA\xC6\xF4";                 // 内存优化开启
const std::string kOffText = "\xC4\xDA\xB4\xE6\xD3\xC5\xBB\xAF\xB9\xD8\xB1\xD5";                // 内存优化关闭

// The percentage in a gauge text, or -1 when the text has another form.
int GaugePercent(const std::string& text) {
  if (text.rfind(kGaugeStart, 0) != 0 || text.size() < kGaugeStart.size() + kGaugeEnd.size()) return -1;
  if (text.compare(text.size() - kGaugeEnd.size(), kGaugeEnd.size(), kGaugeEnd) != 0) return -1;
  const std::string number = text.substr(kGaugeStart.size(), text.size() - kGaugeStart.size() - kGaugeEnd.size());
  if (number.empty() || number.size() > 3 || number.find_first_not_of("0123456789") != std::string::npos) return -1;
  return std::stoi(number);
}

TEST(MemoryGauge, ChangesFromItsStartAndLabelAndBarAgree) {
  Program program;
  ASSERT_TRUE(program.Start());
  HWND main_window = program.WaitForWindow(settings_window::kMainTitle);
  ASSERT_NE(main_window, nullptr);
  HWND label = WaitForControl(main_window, kGaugeLabel);
  HWND bar = WaitForControl(main_window, kGaugeBar);
  ASSERT_NE(label, nullptr);
  ASSERT_NE(bar, nullptr);
  const std::string start = kGaugeStart + "0" + kGaugeEnd;

  // The first tick comes 1.5 s after start.
  ASSERT_TRUE(WaitUntil([&] { return GetText(label) != start; })) << "the gauge never updated";
  int shown = -1;
  // Label and bar are written one after the other: read until both are seen
  // from the same tick.
  EXPECT_TRUE(WaitUntil([&] {
    shown = GaugePercent(GetText(label));
    return shown >= 0 && ProgressPosition(bar) == shown && GaugePercent(GetText(label)) == shown;
  })) << GetText(label) << " / " << ProgressPosition(bar);
  EXPECT_GE(shown, 1);
  EXPECT_LE(shown, 100);

  // The same figure as this process computes, give or take what other
  // programs allocated between the two reads.
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof status;
  ASSERT_TRUE(GlobalMemoryStatusEx(&status));
  const double available = static_cast<double>(status.ullAvailPhys >> 20);
  const double total = static_cast<double>(status.ullTotalPhys >> 20);
  const int expected = 100 - static_cast<int>(available / total * 100);
  EXPECT_NEAR(shown, expected, 3);
}

// Counts the threads a process creates while attached as its debugger.
class ThreadCreations {
 public:
  explicit ThreadCreations(DWORD process_id) : process_id_(process_id), worker_([this] { Run(); }) {}
  ~ThreadCreations() {
    stop_ = true;
    worker_.join();
  }
  bool WaitAttached() { return WaitUntil([this] { return attached_ != 0; }) && attached_ > 0; }

  // Passes started just before the timer stopped may still be on their way to
  // the debugger: the count has settled once it has not moved for two seconds.
  int SettledCount() {
    int last = Count();
    DWORD since = GetTickCount();
    WaitUntil([&] {
      if (Count() != last) last = Count(), since = GetTickCount();
      return GetTickCount() - since >= 2000;
    });
    return last;
  }
  int Count() const { return created_; }

 private:
  void Run() {
    if (!DebugActiveProcess(process_id_)) {
      attached_ = -1;
      return;
    }
    DebugSetProcessKillOnExit(FALSE);
    bool break_in_seen = false;
    while (!stop_) {
      DEBUG_EVENT event;
      if (!WaitForDebugEvent(&event, 50)) continue;
      DWORD status = DBG_CONTINUE;
      switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
          if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
          break;
        case LOAD_DLL_DEBUG_EVENT:
          if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
          break;
        case CREATE_THREAD_DEBUG_EVENT:
          // Threads reported before the attach break-in existed already.
          if (break_in_seen) ++created_;
          break;
        case EXCEPTION_DEBUG_EVENT:
          if (!break_in_seen && event.u.Exception.ExceptionRecord.ExceptionCode == EXCEPTION_BREAKPOINT) {
            break_in_seen = true;
            attached_ = 1;
          } else {
            status = DBG_EXCEPTION_NOT_HANDLED;
          }
          break;
      }
      ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    }
    DebugActiveProcessStop(process_id_);
  }

  DWORD process_id_;
  std::atomic<bool> stop_{false};
  std::atomic<int> attached_{0};
  std::atomic<int> created_{0};
  std::thread worker_;
};

// Longer than two trimming intervals (3.5 s each).
constexpr Millis kQuietPeriod = 8000;

TEST(MemoryOptimisation, SwitchTogglesTheTextAndThePasses) {
  Program program;
  HWND settings = settings_window::Open(program);
  ASSERT_NE(settings, nullptr);
  ThreadCreations threads(program.Id());
  ASSERT_TRUE(threads.WaitAttached()) << "cannot attach to the program";

  HWND box = WaitForControl(settings, kSwitch);
  HWND state = WaitForControl(settings, kStateLabel);
  ASSERT_NE(box, nullptr);
  ASSERT_NE(state, nullptr);
  EXPECT_TRUE(IsChecked(box));
  EXPECT_EQ(GetText(state), kOnText);
  EXPECT_TRUE(WaitUntil([&] { return threads.Count() >= 2; })) << "passes while on: " << threads.Count();

  ASSERT_TRUE(SetChecked(box, false));
  EXPECT_TRUE(WaitForText(state, kOffText)) << GetText(state);
  int passes = threads.SettledCount();
  Sleep(kQuietPeriod);
  EXPECT_EQ(threads.Count(), passes) << "passes started while off";

  ASSERT_TRUE(SetChecked(box, true));
  EXPECT_TRUE(WaitForText(state, kOnText)) << GetText(state);
  EXPECT_TRUE(WaitUntil([&] { return threads.Count() > passes; })) << "no pass after switching on again";

  // Closing the window ends its timer, and with it the passes.
  ASSERT_TRUE(PostClose(settings));
  ASSERT_TRUE(WaitForWindowGone(settings));
  passes = threads.SettledCount();
  Sleep(kQuietPeriod);
  EXPECT_EQ(threads.Count(), passes) << "passes started after the window closed";
}

}  // namespace
