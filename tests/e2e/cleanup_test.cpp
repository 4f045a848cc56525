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
#include "support/expected_data.h"
#include "support/texts.h"
#include "ui/control_ids.h"

namespace {

using namespace driver;
using namespace lumeno_e2e;
using namespace lumeno::settings_controls;
using lumeno::main_controls::kSweepButton;

constexpr uint32_t kCleanButton = kCleanupButton;
const uint32_t kItems[] = {kJunkBox, kLogsBox, kContextMenuBox, kSharesBox, kCookiesBox, kAutorunBox};

const char kJunkPath[] = "C:\\Windows\\Temp\\QingLi.cmd";
const char kCookiesPath[] = "C:\\Windows\\Temp\\DelCookies.cmd";
const char kAutorunPath[] = "C:\\Windows\\Temp\\autorun_inf.cmd";
const char kSweepPath[] = "C:\\Lumeno\\这里填你要写入的文件.bat";

// The command lines tests/data/cleanup_items.tsv lists for a box whose start is prefix.
std::vector<std::string> ListedLines(uint32_t box, const std::string& prefix) {
  std::vector<std::string> lines;
  for (const expected::Row& row : expected::ReadTable("cleanup_items.tsv"))
    if (expected::Number(row.at(0)) == box && row.at(2).rfind(prefix, 0) == 0) lines.push_back(row.at(2));
  return lines;
}

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
  EXPECT_EQ(scripts[0], expected::ReadBytes("scripts/QingLi.cmd"));
  EXPECT_EQ(scripts[1], expected::ReadBytes("scripts/DelCookies.cmd"));
  EXPECT_EQ(scripts[2], expected::ReadBytes("scripts/autorun_inf.cmd"));
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
  EXPECT_EQ(scripts[0], expected::ReadBytes("scripts/QingLi.cmd")) << "what ran was not the script just written";
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
  EXPECT_EQ(Lines("net"), ListedLines(kSharesBox, ""));
  EXPECT_TRUE(ReadStandInRuns("cmd").empty());
}

TEST_F(CleanupE2eTest, LogFilesAreDeletedThroughTheCommandInterpreter) {
  Open();
  Tick({kLogsBox});
  EXPECT_EQ(Clean(), "系统清理成功！");
  EXPECT_EQ(Lines("cmd"), ListedLines(kLogsBox, ""));
}

TEST_F(CleanupE2eTest, ContextMenuItemRunsRegsvr32AndReg) {
  Open();
  Tick({kContextMenuBox});
  EXPECT_EQ(Clean(), "系统清理成功！");
  EXPECT_EQ(Lines("regsvr32"), ListedLines(kContextMenuBox, "regsvr32 "));
  EXPECT_EQ(Lines("reg"), ListedLines(kContextMenuBox, "reg "));
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
  EXPECT_EQ(box.title, texts::kDefaultTitle);
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
  EXPECT_EQ(scripts[0], expected::ReadBytes("scripts/empty_folder_sweep.bat"));
  EXPECT_EQ(scripts[0], scripts[1]);
  EXPECT_EQ(ReadFileBytes(kSweepPath), scripts[0]);
}

}  // namespace
