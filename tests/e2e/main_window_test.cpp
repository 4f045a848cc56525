// The main window of the real program: its first state, "反选", "系统设置",
// "关闭无响应的程序", "开始优化" pressed twice, and how the program ends.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "driver.h"
#include "ui/control_ids.h"
#include "support/expected_data.h"
#include "support/windows_support.h"

namespace {

using namespace driver;
using namespace lumeno::main_controls;

constexpr uint32_t kMemoryText = kGaugeLabel;
constexpr uint32_t kMemoryBar = kGaugeBar;
constexpr uint32_t kAboutMenuItem = kAboutItem;
constexpr char kSettingsTitle[] = "系统设置";
const std::string kHungHelper = std::string(kTestDirectory) + "\\hung_window.exe";

// tests/data/layout_controls.tsv: window, name, type, id, caption, ..., page (10), tag (11), checked (14),
// interval (15).
expected::Table ListedControls() { return expected::RowsWhere(expected::ReadTable("layout_controls.tsv"), 0, "0x52010001"); }

// The percentage in the gauge's label "RAM内存使用情况（N%）："; -1 when the label reads otherwise.
int GaugeReading(const std::string& text) {
  const std::string head = "RAM\xC4\xDA\xB4\xE6\xCA\xB9\xD3\xC3\xC7\xE9\xBF\xF6\xA3\xA8";
  const std::string tail = "%\xA3\xA9\xA3\xBA";
  if (text.size() <= head.size() + tail.size() || text.compare(0, head.size(), head) != 0 ||
      text.compare(text.size() - tail.size(), tail.size(), tail) != 0) {
    return -1;
  }
  const std::string digits = text.substr(head.size(), text.size() - head.size() - tail.size());
  if (digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos) return -1;
  return std::stoi(digits);
}

// A named stdcall callback: on i686 a lambda is no FONTENUMPROCA.
int CALLBACK NoteFontFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found_flag) {
  *reinterpret_cast<bool*>(found_flag) = true;
  return 0;
}

// True when a font of this family is installed where this process (and the
// program, in the same prefix) can use it.
bool FontInstalled(const char* family) {
  LOGFONTA wanted = {};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(wanted.lfFaceName, family, LF_FACESIZE);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExA(screen, &wanted, NoteFontFound, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ParkPointer());
    started_ = GetTickCount();
    ASSERT_TRUE(program_.Start());
    main_ = program_.WaitForWindow(kMainWindowTitle);
    ASSERT_NE(main_, nullptr) << "MainWindow did not show up";
  }

  HWND Control(uint32_t id) {
    HWND control = WaitForControl(main_, id);
    EXPECT_NE(control, nullptr) << std::hex << id;
    return control;
  }
  HWND Item(int tag) {
    return Control(static_cast<uint32_t>(expected::Number(expected::RowsWhere(listed_, 11, std::to_string(tag)).at(0).at(3))));
  }
  int TickedItems() {
    int ticked = 0;
    for (int tag = 1; tag <= 26; ++tag) ticked += IsChecked(Item(tag));
    return ticked;
  }
  int MessageBoxes() {
    int boxes = 0;
    for (HWND window : program_.TopLevelWindows()) {
      char name[16] = {};
      GetClassNameA(window, name, sizeof name);
      boxes += std::string(name) == "#32770";
    }
    return boxes;
  }

  Program program_;
  HWND main_ = nullptr;
  DWORD started_ = 0;  // just before the program was started
  const expected::Table listed_ = ListedControls();
};

TEST_F(MainWindowTest, FreshWindowShowsItsInitialState) {
  // Read first: the gauge's first tick, one timer interval after the window
  // was made, changes both. Only reads that end within that interval of the
  // start are sure to come before it; on a busy machine the start-up alone
  // can take longer, and then the first state is gone before it can be seen.
  const expected::Table timers = expected::RowsWhere(listed_, 2, "Timer");
  ASSERT_EQ(timers.size(), 1u);
  const long long interval = expected::Number(timers[0].at(15));
  ASSERT_GT(interval, 0);
  std::string gauge_text = GetText(Control(kMemoryText));
  int gauge_position = ProgressPosition(Control(kMemoryBar));
  if (GetTickCount() - started_ < static_cast<DWORD>(interval)) {
    EXPECT_EQ(gauge_text, "RAM\xC4\xDA\xB4\xE6\xCA\xB9\xD3\xC3\xC7\xE9\xBF\xF6\xA3\xA8" "0%\xA3\xA9\xA3\xBA");
    EXPECT_EQ(gauge_position, 0);
  } else {
    std::printf("note: the gauge could not be read before its first tick; its first state is not checked\n");
  }

  int boxes = 0;
  for (const expected::Row& row : listed_) {
    if (row.at(2) == "Timer") continue;
    HWND control = Control(static_cast<uint32_t>(expected::Number(row.at(3))));
    ASSERT_NE(control, nullptr) << row.at(1);
    EXPECT_TRUE(IsVisible(control)) << row.at(1);
    EXPECT_TRUE(IsEnabled(control)) << row.at(1);
    if (row.at(2) == "CheckBox") {
      ++boxes;
      EXPECT_EQ(IsChecked(control), row.at(14) == "checked") << row.at(1);
    }
    if (row.at(2) == "Button" || row.at(2) == "CheckBox") {
      EXPECT_EQ(GetText(control), row.at(4)) << row.at(1);
    }
  }
  EXPECT_EQ(boxes, 27);
  EXPECT_EQ(GetText(main_), "Lumeno1.1");

  // The picture in docs/ shows the window as a user sees it a moment after the
  // start: a gauge that has read the memory once, a close box drawn in Marlett.
  EXPECT_TRUE(FontInstalled("Marlett")) << "the prefix has no Marlett font: caption buttons show as letters";
  int reading = 0;
  ASSERT_TRUE(WaitUntil([&] { return (reading = GaugeReading(GetText(Control(kMemoryText)))) > 0; },
                        static_cast<Millis>(interval * 10)))
      << "the gauge showed no reading within ten ticks: " << GetText(Control(kMemoryText));
  // A later tick may read another figure: the bar must match the label's latest.
  EXPECT_TRUE(WaitUntil(
      [&] { return ProgressPosition(Control(kMemoryBar)) == (reading = GaugeReading(GetText(Control(kMemoryText)))); },
      static_cast<Millis>(interval * 2)))
      << "the bar stands at " << ProgressPosition(Control(kMemoryBar)) << " while the label says " << reading << "%";
  EXPECT_TRUE(SaveScreenshot(main_, "main_window"));
}

TEST_F(MainWindowTest, MenuItemReachesItsHandler) {
  // Menu commands carry the low 16 bits of the item id.
  ASSERT_TRUE(PostMessageA(main_, WM_COMMAND, kAboutMenuItem & 0xFFFF, 0));
  HWND box = program_.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(ReadMessageBox(box).text, "由于本人水平有限程序难免有Bug，请勿责难！");
  EXPECT_TRUE(AnswerMessageBox(box));
}

TEST_F(MainWindowTest, InvertTicksAllThenInvertsEachItem) {
  HWND invert = Control(kInvertBox);
  ASSERT_TRUE(Click(invert));
  EXPECT_TRUE(IsChecked(invert));
  EXPECT_EQ(TickedItems(), 26);
  ASSERT_TRUE(Click(invert));
  EXPECT_FALSE(IsChecked(invert));
  EXPECT_EQ(TickedItems(), 0);

  ASSERT_TRUE(Click(invert));
  ASSERT_EQ(TickedItems(), 26);
  // Items changed by hand in between are inverted on their own.
  ASSERT_TRUE(SetChecked(Item(5), false));
  ASSERT_TRUE(SetChecked(Item(26), false));
  ASSERT_TRUE(Click(invert));
  for (int tag = 1; tag <= 26; ++tag) EXPECT_EQ(IsChecked(Item(tag)), tag == 5 || tag == 26) << "tag " << tag;
}

TEST_F(MainWindowTest, SettingsWindowIsModalAndEscapeGivesMainWindowBack) {
  ASSERT_TRUE(Click(Control(kSettingsButton)));
  HWND settings = program_.WaitForWindow(kSettingsTitle);
  ASSERT_NE(settings, nullptr);
  EXPECT_TRUE(WaitForEnabled(main_, false));
  EXPECT_EQ(CurrentTab(FindControl(settings, lumeno::settings_controls::kTab)), 0);
  EXPECT_TRUE(IsVisible(FindControl(settings, lumeno::settings_controls::kCrt15Radio)));        // page 0
  EXPECT_FALSE(IsVisible(FindControl(settings, lumeno::settings_controls::kMinimalRadio)));  // page 1

  ASSERT_TRUE(PressEscape(settings));
  EXPECT_TRUE(WaitForWindowGone(settings));
  EXPECT_TRUE(WaitForEnabled(main_, true));
  // Usable again: a click runs its handler.
  ASSERT_TRUE(Click(Control(kInvertBox)));
  EXPECT_EQ(TickedItems(), 26);
}

TEST_F(MainWindowTest, CloseHungProgramsEndsAProgramThatStoppedAnswering) {
  Program hung, alive;
  ASSERT_TRUE(hung.Start(kHungHelper + " 不响应的窗口"));
  ASSERT_TRUE(alive.Start(kHungHelper + " --responsive 正常的窗口"));
  HWND hung_window = hung.WaitForWindow("不响应的窗口");
  ASSERT_NE(hung_window, nullptr);
  ASSERT_NE(alive.WaitForWindow("正常的窗口"), nullptr);
  // The system calls a window hung after some seconds without messages.
  ASSERT_TRUE(WaitUntil([&] { return IsHungAppWindow(hung_window) != FALSE; }, 30000));

  ASSERT_TRUE(Click(Control(kCloseHungButton)));
  EXPECT_TRUE(hung.WaitForExit());
  EXPECT_EQ(hung.ExitCode(), 0u);
  EXPECT_TRUE(alive.IsRunning());
  EXPECT_TRUE(program_.IsRunning());
  EXPECT_TRUE(IsEnabled(Control(kCloseHungButton)));
}

TEST_F(MainWindowTest, CloseHungProgramsWithNoneHungDoesNothingVisible) {
  Program alive;
  ASSERT_TRUE(alive.Start(kHungHelper + " --responsive 正常的窗口"));
  ASSERT_NE(alive.WaitForWindow("正常的窗口"), nullptr);
  ASSERT_TRUE(Click(Control(kCloseHungButton)));
  EXPECT_TRUE(IsEnabled(Control(kCloseHungButton)));
  EXPECT_TRUE(program_.NoMessageBoxWithin(1000));
  EXPECT_TRUE(alive.IsRunning());
  EXPECT_TRUE(IsVisible(main_));
  EXPECT_EQ(TickedItems(), 0);
}

TEST_F(MainWindowTest, OptimizePressedTwiceQuicklyStartsOneWorker) {
  HWND optimize = Control(kOptimizeButton);
  // Both clicks are queued before the first one is handled.
  ASSERT_TRUE(PostClick(optimize));
  ASSERT_TRUE(PostClick(optimize));
  HWND box = program_.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  // Nothing ticked: the worker says so and holds the button until answered.
  EXPECT_EQ(ReadMessageBox(box).text, "您没有选择优化项目，请选择后再单击优化按钮！");
  EXPECT_FALSE(IsEnabled(optimize));
  EXPECT_EQ(MessageBoxes(), 1);
  ASSERT_TRUE(AnswerMessageBox(box));
  EXPECT_TRUE(WaitForEnabled(optimize, true));
  EXPECT_TRUE(program_.NoMessageBoxWithin(1500)) << "a second worker ran";
}

TEST_F(MainWindowTest, EscapeEndsTheProgramWithExitCodeZero) {
  ASSERT_TRUE(PressEscape(main_));
  ASSERT_TRUE(program_.WaitForExit());
  EXPECT_EQ(program_.ExitCode(), 0u);
}

TEST_F(MainWindowTest, CloseBoxEndsTheProgramWithExitCodeZero) {
  ASSERT_TRUE(PostMessageA(main_, WM_SYSCOMMAND, SC_CLOSE, 0));
  ASSERT_TRUE(program_.WaitForExit());
  EXPECT_EQ(program_.ExitCode(), 0u);
}

TEST_F(MainWindowTest, ClosingWhileAWorkerRunsStillEndsWithZero) {
  ASSERT_TRUE(PostClick(Control(kOptimizeButton)));
  // The worker now waits in its message box.
  ASSERT_NE(program_.WaitForMessageBox(), nullptr);
  ASSERT_TRUE(PressEscape(main_));
  ASSERT_TRUE(program_.WaitForExit());
  EXPECT_EQ(program_.ExitCode(), 0u);
}

}  // namespace

namespace {

// A box whose caption describes another box's writes says what it really
// writes when the mouse rests on it: 禁用搜索助手 turns file protection off.
TEST_F(MainWindowTest, ABoxsTooltipNamesItsWrites) {
  // catalogue.tsv: box, id, step, root, item path, type, data.
  const expected::Table catalogue = expected::ReadTable("catalogue.tsv");
  const expected::Table rows = expected::RowsWhere(catalogue, 0, "选择框10");
  ASSERT_EQ(rows.size(), 1u);
  HWND box = Control(static_cast<uint32_t>(expected::Number(rows[0].at(1))));
  ASSERT_NE(box, nullptr);
  SetForegroundWindow(main_);
  RECT area;
  ASSERT_TRUE(GetWindowRect(box, &area));
  // The mouse comes to rest on the box from outside it, as a hand moves it,
  // and stays: every move over the box starts the tooltip's delay afresh.
  SetCursorPos(area.left - 20, area.top - 20);
  SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
  HWND tooltip = nullptr;
  std::string text;
  EXPECT_TRUE(WaitUntil([&] {
    if (!(tooltip = support::FindTopLevel(program_.Id(), "tooltips_class32", nullptr))) return false;
    text = GetText(tooltip);
    return !text.empty();
  }, 20000)) << "no tooltip showed up";
  char dword[16];
  std::snprintf(dword, sizeof dword, "0x%08X", static_cast<uint32_t>(expected::Number(rows[0].at(6))));
  EXPECT_EQ(text, rows[0].at(3) + "\\" + rows[0].at(4) + " = " + rows[0].at(5) + " " + dword);
}

}  // namespace
