// Proves the UI-automation driver against driver_target.exe, a window with
// one control of each kind, before the real program's tests rely on it.
#include <gtest/gtest.h>

#include "driver.h"
#include "support/texts.h"
#include "support/windows_support.h"
#include "programs/driver_target.h"
#include "ui/controls.h"

namespace {

using namespace driver;
namespace target = driver_target;

const std::string kTargetPath = std::string(kTestDirectory) + "\\driver_target.exe";

class DriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program_.Start(kTargetPath));
    window_ = program_.WaitForWindow(target::kTitle);
    ASSERT_NE(window_, nullptr) << "the target window did not show up";
  }
  HWND Control(uint32_t id) {
    HWND control = FindControl(window_, id);
    EXPECT_NE(control, nullptr) << std::hex << id;
    return control;
  }

  Program program_;
  HWND window_ = nullptr;
};

TEST_F(DriverTest, FindsControlsByFullIdInsideGroupBoxesAndTabControls) {
  HWND check_box = Control(target::kCheckBox);
  HWND page_label = Control(target::kPageLabel);
  EXPECT_EQ(GetParent(check_box), Control(target::kGroupBox));
  EXPECT_EQ(GetParent(page_label), Control(target::kTabControl));
  EXPECT_EQ(GetText(check_box), "反选");
  EXPECT_EQ(FindControl(window_, target::kCheckBox & 0xFFFF), nullptr) << "ids are compared in full";
  EXPECT_EQ(FindControl(window_, 0x12345678), nullptr);
}

TEST_F(DriverTest, ClickRunsTheHandlerBeforeReturningAndMousePressClicksToo) {
  HWND counter = Control(target::kCounterLabel);
  ASSERT_TRUE(Click(Control(target::kCounterButton)));
  EXPECT_EQ(GetText(counter), "1");
  ASSERT_TRUE(PressMouse(Control(target::kCounterButton)));
  EXPECT_TRUE(WaitForText(counter, "2"));
  ASSERT_TRUE(PostClick(Control(target::kCounterButton)));
  EXPECT_TRUE(WaitForText(counter, "3"));
}

TEST_F(DriverTest, TicksUnticksAndReadsCheckBoxes) {
  HWND check_box = Control(target::kCheckBox);
  EXPECT_FALSE(IsChecked(check_box));
  EXPECT_TRUE(SetChecked(check_box, true));
  EXPECT_TRUE(IsChecked(check_box));
  EXPECT_TRUE(SetChecked(check_box, true)) << "ticking a ticked box leaves it ticked";
  EXPECT_TRUE(IsChecked(check_box));
  EXPECT_TRUE(SetChecked(check_box, false));
  EXPECT_FALSE(IsChecked(check_box));
}

TEST_F(DriverTest, ReadsAndWritesTextsAsGbkBytes) {
  HWND edit = Control(target::kEdit);
  EXPECT_EQ(GetText(edit), "");
  const std::string text = "C:\\中文 路径\\";
  ASSERT_EQ(text.size(), 13u) << "the test builds with GBK literals";
  ASSERT_TRUE(SetText(edit, text));
  EXPECT_EQ(GetText(edit), text);
  EXPECT_EQ(GetText(window_), target::kTitle);
}

TEST_F(DriverTest, ReadsEnabledStateAndProgressPosition) {
  EXPECT_TRUE(IsEnabled(Control(target::kCounterButton)));
  EXPECT_FALSE(IsEnabled(Control(target::kDisabledButton)));
  EXPECT_TRUE(WaitForEnabled(Control(target::kDisabledButton), false, 100));
  EXPECT_EQ(ProgressPosition(Control(target::kProgressBar)), 42);
}

TEST_F(DriverTest, SwitchingTabsNotifiesTheWindow) {
  HWND tab = Control(target::kTabControl);
  EXPECT_EQ(CurrentTab(tab), 0);
  ASSERT_TRUE(SelectTab(tab, 1));
  EXPECT_EQ(CurrentTab(tab), 1);
  EXPECT_TRUE(WaitForText(Control(target::kPageLabel), "page 1")) << "TCN_SELCHANGE reached the window";
  ASSERT_TRUE(SelectTab(tab, 0));
  EXPECT_TRUE(WaitForText(Control(target::kPageLabel), "page 0"));
}

TEST_F(DriverTest, ReadsAndAnswersMessageBoxes) {
  EXPECT_TRUE(program_.NoMessageBoxWithin(50));
  ASSERT_TRUE(PostClick(Control(target::kInfoBoxButton)));
  HWND box = program_.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  MessageBoxContent content = ReadMessageBox(box);
  EXPECT_EQ(content.title, "完成");
  EXPECT_EQ(content.text, "操作已完成。");
  EXPECT_TRUE(content.has_icon);
  ASSERT_TRUE(AnswerMessageBox(box));
  EXPECT_TRUE(WaitForText(Control(target::kEdit), "result=1"));

  ASSERT_TRUE(PostClick(Control(target::kPlainBoxButton)));
  box = program_.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  content = ReadMessageBox(box);
  EXPECT_EQ(content.title, texts::kDefaultTitle);
  EXPECT_EQ(content.text, "关于");
  EXPECT_FALSE(content.has_icon);
  ASSERT_TRUE(AnswerMessageBox(box));
  EXPECT_TRUE(program_.NoMessageBoxWithin(50));
}

TEST_F(DriverTest, EscapeAndCloseEndTheProgramWithTheirExitCodes) {
  EXPECT_TRUE(program_.IsRunning());
  EXPECT_EQ(program_.ExitCode(), static_cast<DWORD>(STILL_ACTIVE));
  ASSERT_TRUE(PressEscape(window_));
  ASSERT_TRUE(program_.WaitForExit());
  EXPECT_EQ(program_.ExitCode(), static_cast<DWORD>(target::kExitCodeOnEscape));

  Program second;
  ASSERT_TRUE(second.Start(kTargetPath));
  HWND window = second.WaitForWindow(target::kTitle);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(PostClose(window));
  ASSERT_TRUE(second.WaitForExit());
  EXPECT_EQ(second.ExitCode(), 0u);
  EXPECT_TRUE(WaitForWindowGone(window));
}

TEST_F(DriverTest, SavesScreenshotsAs24BitBitmaps) {
  ASSERT_TRUE(SaveScreenshot(window_, "driver_target"));
  std::optional<std::string> bytes = ReadFileBytes(std::string(kScreenshotDirectory) + "\\driver_target.bmp");
  ASSERT_TRUE(bytes);
  ASSERT_GT(bytes->size(), 54u);
  EXPECT_EQ(bytes->substr(0, 2), "BM");
  RECT rect{};
  GetWindowRect(window_, &rect);
  auto header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes->data() + sizeof(BITMAPFILEHEADER));
  EXPECT_EQ(header->biBitCount, 24);
  EXPECT_EQ(header->biWidth, rect.right - rect.left);
  EXPECT_EQ(header->biHeight, rect.bottom - rect.top);
  size_t row = ((header->biWidth * 3 + 3) / 4) * 4;
  EXPECT_EQ(bytes->size(), 54 + row * header->biHeight);
  // The window is not all one colour: its controls were drawn.
  EXPECT_NE(bytes->find_first_not_of(bytes->at(60), 54), std::string::npos);
  EXPECT_TRUE(SaveScreenshot(GetDesktopWindow(), "driver_screen"));
}

// Stand-ins and ComSpec need no window; they run here for want of a better home.
TEST(StandIn, RecordsShowModeAndExactCommandLine) {
  ASSERT_TRUE(InstallStandIn("sc"));
  EXPECT_TRUE(ReadStandInRuns("sc").empty());
  const std::string command_line = "sc config \"服务\"  start= disabled\t";
  for (bool flag : {true, false}) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = flag ? STARTF_USESHOWWINDOW : 0;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(support::StartProcess(std::string(kProgramDirectory) + "\\" + command_line, &info, nullptr, &startup));
    WaitForSingleObject(info.hProcess, kDefaultTimeout);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  ASSERT_TRUE(WaitForStandInRuns("sc", 2));
  std::vector<RecordedRun> runs = ReadStandInRuns("sc");
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_TRUE(runs[0].show_window_set);
  EXPECT_EQ(runs[0].show_window, SW_HIDE);
  EXPECT_EQ(runs[0].command_line, std::string(kProgramDirectory) + "\\" + command_line);
  EXPECT_FALSE(runs[1].show_window_set);
  EXPECT_EQ(runs[1].command_line, runs[0].command_line);

  ASSERT_TRUE(InstallStandIn("sc.exe")) << "installing again clears the old records";
  EXPECT_TRUE(ReadStandInRuns("sc").empty());
}

TEST(StandIn, CapturesScriptsRunByPathThroughComSpec) {
  ASSERT_TRUE(InstallStandIn("cmd"));
  ASSERT_TRUE(PointComSpecAt("cmd"));
  std::optional<RegistryValue> comspec = ReadRegistryValue(
      HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager\\Environment", "ComSpec");
  ASSERT_TRUE(comspec);
  EXPECT_EQ(comspec->bytes, std::string("C:\\Lumeno\\cmd.exe") + '\0');

  const std::string script = "@echo off\r\necho 清理\r\ndel %0\r\n";
  const std::string path = std::string(kTestDirectory) + "\\QingLi.cmd";
  for (int run = 0; run < 2; ++run) {
    ASSERT_TRUE(WriteFileBytes(path, script + std::to_string(run)));
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(support::StartProcess(path, &info));
    WaitForSingleObject(info.hProcess, kDefaultTimeout);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  ASSERT_TRUE(WaitForStandInRuns("cmd", 2));
  std::vector<RecordedRun> runs = ReadStandInRuns("cmd");
  EXPECT_NE(runs[0].command_line.find("\"" + path + "\""), std::string::npos) << runs[0].command_line;
  std::vector<std::string> scripts = ReadCapturedScripts("cmd");
  ASSERT_EQ(scripts.size(), 2u);
  EXPECT_EQ(scripts[0], script + "0");
  EXPECT_EQ(scripts[1], script + "1");
}

TEST(Registry, ReadsValuesWithTheirTypesAndExactBytes) {
  const std::string key = "Software\\LumenoDriverTest\\子键";
  EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, key));
  EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, key, "v"));
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, key, "", "100"));
  EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, key));
  std::optional<RegistryValue> value = ReadRegistryValue(HKEY_CURRENT_USER, key, "");
  ASSERT_TRUE(value);
  EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(value->bytes, std::string("100\0", 4));

  HKEY handle = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_SET_VALUE, &handle), ERROR_SUCCESS);
  DWORD number = 0xFFFFFF9D;
  RegSetValueExA(handle, "n", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
  RegCloseKey(handle);
  value = ReadRegistryValue(HKEY_CURRENT_USER, key, "n");
  ASSERT_TRUE(value);
  EXPECT_EQ(value->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(value->bytes, std::string("\x9D\xFF\xFF\xFF", 4));
  EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, key, "missing"));
}

TEST(Files, ReadsExactBytesAndReportsMissingFiles) {
  const std::string path = std::string(kTestDirectory) + "\\bytes.bin";
  const std::string bytes("a\0b\r\n\xFF", 6);
  ASSERT_TRUE(WriteFileBytes(path, bytes));
  EXPECT_EQ(ReadFileBytes(path), bytes);
  EXPECT_TRUE(PathExists(path));
  EXPECT_FALSE(ReadFileBytes(path + ".missing"));
  EXPECT_FALSE(PathExists(path + ".missing"));
}

}  // namespace
