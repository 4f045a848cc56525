// System cleanup items and the empty-folder script, as the real program runs
// them. ComSpec names a recording stand-in, so every script run by path
// reaches it (and it keeps the script's bytes before "del %0" could remove
// them); net, reg, regsvr32 and cmd are stand-ins beside the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver.h"
#include "lumeno_windows.h"
#include "unit/script_bytes.h"

namespace {

using namespace driver;
using namespace lumeno_e2e;
using lumeno::ExpectCleanScriptBytes;
using lumeno::ScriptLineLengths;

constexpr uint32_t kJunkBox = 0x160102E2;         // 选择框11
constexpr uint32_t kLogsBox = 0x160102E1;         // 选择框12
constexpr uint32_t kContextMenuBox = 0x160102E0;  // 选择框13
constexpr uint32_t kSharesBox = 0x160102DF;       // 选择框14
constexpr uint32_t kCookiesBox = 0x160102DE;      // 选择框15
constexpr uint32_t kAutorunBox = 0x160102DD;      // 选择框16
constexpr uint32_t kSelectAllBox = 0x160102DC;    // 选择框17
constexpr uint32_t kCleanButton = 0x160102E3;     // 按钮9
constexpr uint32_t kSweepButton = 0x16010295;     // MainWindow 按钮3
const uint32_t kItems[] = {kJunkBox, kLogsBox, kContextMenuBox, kSharesBox, kCookiesBox, kAutorunBox};

const char kJunkPath[] = "C:\\Windows\\Temp\\QingLi.cmd";
const char kCookiesPath[] = "C:\\Windows\\Temp\\DelCookies.cmd";
const char kAutorunPath[] = "C:\\Windows\\Temp\\autorun_inf.cmd";
const char kSweepPath[] = "C:\\Lumeno\\这里填你要写入的文件.bat";

class CleanupE2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"cmd", "net", "reg", "regsvr32"}) ASSERT_TRUE(InstallStandIn(tool)) << tool;
    ASSERT_TRUE(PointComSpecAt("cmd"));
    for (const char* path : {kJunkPath, kCookiesPath, kAutorunPath}) {
      SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(path);
    }
  }

  void Open() {
    main_ = StartProgram(program_);
    ASSERT_NE(main_, nullptr);
    settings_ = OpenSettingsPage(program_, main_, kPageCleanup);
    ASSERT_NE(settings_, nullptr);
  }

  HWND Control(uint32_t id) {
    HWND control = WaitForControl(settings_, id);
    EXPECT_NE(control, nullptr) << std::hex << id;
    return control;
  }

  void Tick(std::initializer_list<uint32_t> boxes) {
    for (uint32_t box : boxes) ASSERT_TRUE(SetChecked(Control(box), true)) << std::hex << box;
  }

  std::string Clean() { return PressAndReadMessage(program_, Control(kCleanButton)).text; }

  static std::vector<std::string> Lines(const std::string& tool, int show = SW_HIDE) {
    std::vector<std::string> lines;
    for (const RecordedRun& run : ReadStandInRuns(tool)) {
      EXPECT_TRUE(run.show_window_set && run.show_window == show) << run.command_line;
      lines.push_back(run.command_line);
    }
    return lines;
  }

  // The scripts run by path: the interpreter's command line names each one.
  static std::vector<std::string> ScriptsRun() {
    std::vector<std::string> scripts;
    for (const std::string& line : Lines("cmd"))
      for (const char* path : {kJunkPath, kCookiesPath, kAutorunPath})
        if (line.find(path) != std::string::npos) scripts.push_back(path);
    return scripts;
  }

  Program program_;
  HWND main_ = nullptr;
  HWND settings_ = nullptr;
};

TEST_F(CleanupE2eTest, ScriptsReachTheInterpreterByPathWithTheirExactBytes) {
  Open();
  Tick({kJunkBox, kCookiesBox, kAutorunBox});
  EXPECT_EQ(Clean(), "系统清理成功！");
  EXPECT_EQ(ScriptsRun(), (std::vector<std::string>{kJunkPath, kCookiesPath, kAutorunPath}));
  std::vector<std::string> scripts = ReadCapturedScripts("cmd");
  ASSERT_EQ(scripts.size(), 3u);
  ExpectCleanScriptBytes(scripts[0], 708, 18);
  EXPECT_EQ(ScriptLineLengths(scripts[0]),
            (std::vector<size_t>{32, 32, 32, 32, 39, 27, 27, 34, 41, 27, 34, 72, 52, 37, 33, 25, 55, 35, 6}));
  ExpectCleanScriptBytes(scripts[1], 52, 1);
  EXPECT_EQ(scripts[1], "del /f /s /a /q \"%USERPROFILE%\\Cookies\\*.*\" \r\ndel %0");
  ExpectCleanScriptBytes(scripts[2], 366, 13);
  EXPECT_EQ(ScriptLineLengths(scripts[2]), (std::vector<size_t>{28, 66, 19, 33, 34, 30, 51, 40, 8, 6, 1, 18, 0, 6}));
  EXPECT_NE(scripts[2].find("\\\"\xB2\xA1\xB6\xBE\xC3\xE2\xD2\xDF\xCE\xF0\xC9\xBE\xB3\xFD../\" \r\n"), std::string::npos);
  // The stand-in does not run "del %0", so the files are still there as written.
  EXPECT_EQ(ReadFileBytes(kJunkPath), scripts[0]);
}

TEST_F(CleanupE2eTest, APlantedReadOnlyScriptIsReplacedBeforeTheRun) {
  ASSERT_TRUE(WriteFileBytes(kJunkPath, "echo planted\r\n"));
  ASSERT_TRUE(SetFileAttributesA(kJunkPath, FILE_ATTRIBUTE_READONLY));
  Open();
  Tick({kJunkBox});
  EXPECT_EQ(Clean(), "系统清理成功！");
  std::vector<std::string> scripts = ReadCapturedScripts("cmd");
  ASSERT_EQ(scripts.size(), 1u);
  EXPECT_EQ(scripts[0].size(), 708u) << "what ran was not the script just written";
  EXPECT_EQ(scripts[0].rfind("del /f /s /q %systemdrive%\\*.tmp\r\n", 0), 0u);
}

TEST_F(CleanupE2eTest, AScriptThatCannotBeWrittenAnewIsNotRunAndIsReported) {
  // A folder of the script's name cannot be replaced by a file: whatever the
  // path leads to is not the program's script, so it must not be run.
  ASSERT_TRUE(CreateDirectoryA(kCookiesPath, nullptr));
  Open();
  Tick({kCookiesBox, kAutorunBox});
  const std::string text = Clean();
  EXPECT_EQ(text.rfind(std::string("系统清理完成，但有 1 项未能执行：\r\n") + kCookiesPath + "：", 0), 0u) << text;
  EXPECT_EQ(ScriptsRun(), (std::vector<std::string>{kAutorunPath}));
  RemoveDirectoryA(kCookiesPath);
}

TEST_F(CleanupE2eTest, RunningTwiceWritesTheScriptAnew) {
  Open();
  Tick({kCookiesBox});
  EXPECT_EQ(Clean(), "系统清理成功！");
  EXPECT_EQ(Clean(), "系统清理成功！");
  std::vector<std::string> scripts = ReadCapturedScripts("cmd");
  ASSERT_EQ(scripts.size(), 2u);
  EXPECT_EQ(scripts[0], scripts[1]);
  EXPECT_EQ(ReadFileBytes(kCookiesPath)->size(), 52u) << "rewritten, not appended to";
}

TEST_F(CleanupE2eTest, SharesAreDeletedInOrderEvenWhenOneFails) {
  ASSERT_TRUE(InstallFailingStandIn("net", "m$"));
  Open();
  Tick({kSharesBox});
  EXPECT_EQ(Clean(), "系统清理成功！");
  std::vector<std::string> expected = {"net share C$ /del"};
  for (char letter = 'd'; letter <= 'z'; ++letter) expected.push_back(std::string("net share ") + letter + "$ /del");
  expected.push_back("net share ipc$ /del ");
  expected.push_back("net share admin$ /del ");
  EXPECT_EQ(Lines("net"), expected);
  EXPECT_TRUE(ReadStandInRuns("cmd").empty());
}

TEST_F(CleanupE2eTest, LogFilesAreDeletedThroughTheCommandInterpreter) {
  Open();
  Tick({kLogsBox});
  EXPECT_EQ(Clean(), "系统清理成功！");
  EXPECT_EQ(Lines("cmd"), (std::vector<std::string>{
                              "cmd /c del /f /s /q %systemdrive%\\*.log",
                              "cmd /c del /f /s /q %systemdrive%\\*.old",
                              "cmd /c del /f /s /q %windir%\\*.log",
                          }));
}

TEST_F(CleanupE2eTest, ContextMenuItemRunsRegsvr32AndReg) {
  Open();
  Tick({kContextMenuBox});
  EXPECT_EQ(Clean(), "系统清理成功！");
  EXPECT_EQ(Lines("regsvr32"), (std::vector<std::string>{"regsvr32 /u /s igfxpph.dll"}));
  EXPECT_EQ(Lines("reg"),
            (std::vector<std::string>{
                "reg delete HKEY_CLASSES_ROOT\\Directory\\Background\\shellex\\ContextMenuHandlers /f",
                "reg add HKEY_CLASSES_ROOT\\Directory\\Background\\shellex\\ContextMenuHandlers\\new /ve /d "
                "{D969A300-E7FF-11d0-A93B-00A0C90F2719}",
                "reg delete HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run /v HotKeysCmds /f",
                "reg delete HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run /v IgfxTray /f",
            }));
}

TEST_F(CleanupE2eTest, SelectAllTicksAndUnticksTheSixButIsNoItemItself) {
  Open();
  ASSERT_TRUE(SetChecked(Control(kSelectAllBox), true));
  for (uint32_t box : kItems) EXPECT_TRUE(WaitUntil([&] { return IsChecked(Control(box)); })) << std::hex << box;
  ASSERT_TRUE(SetChecked(Control(kSelectAllBox), false));
  for (uint32_t box : kItems) EXPECT_TRUE(WaitUntil([&] { return !IsChecked(Control(box)); })) << std::hex << box;

  ASSERT_TRUE(SetChecked(Control(kSelectAllBox), true));
  for (uint32_t box : kItems) ASSERT_TRUE(SetChecked(Control(box), false));
  EXPECT_TRUE(IsChecked(Control(kSelectAllBox)));
  MessageBoxContent box = PressAndReadMessage(program_, Control(kCleanButton));
  EXPECT_EQ(box.text, "请选择欲清理项目！");
  EXPECT_TRUE(box.has_icon);
  EXPECT_TRUE(ReadStandInRuns("cmd").empty());
}

TEST_F(CleanupE2eTest, NothingTickedWritesAndRunsNothing) {
  Open();
  MessageBoxContent box = PressAndReadMessage(program_, Control(kCleanButton));
  EXPECT_EQ(box.title, "信息：");
  EXPECT_EQ(box.text, "请选择欲清理项目！");
  for (const char* tool : {"cmd", "net", "reg", "regsvr32"}) EXPECT_TRUE(ReadStandInRuns(tool).empty()) << tool;
  for (const char* path : {kJunkPath, kCookiesPath, kAutorunPath}) EXPECT_FALSE(PathExists(path)) << path;
}

// ---------------------------------------------------------------------------
// The empty-folder script of the main window (run in a normal window)

TEST_F(CleanupE2eTest, SweepScriptIsLeftInTheProgramDirectoryAndRunVisibly) {
  main_ = StartProgram(program_);
  ASSERT_NE(main_, nullptr);
  HWND sweep = WaitForControl(main_, kSweepButton);
  ASSERT_NE(sweep, nullptr);
  for (int press = 1; press <= 2; ++press) {
    ASSERT_TRUE(Click(sweep, 60000));
    EXPECT_TRUE(program_.NoMessageBoxWithin(500));
  }
  std::vector<std::string> lines = Lines("cmd", SW_SHOWNORMAL);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find(kSweepPath), std::string::npos) << lines[0];
  std::vector<std::string> scripts = ReadCapturedScripts("cmd");
  ASSERT_EQ(scripts.size(), 2u);
  ExpectCleanScriptBytes(scripts[0], 688, 26);
  EXPECT_EQ(scripts[0], scripts[1]);
  EXPECT_EQ(ReadFileBytes(kSweepPath), scripts[0]);
}

}  // namespace
