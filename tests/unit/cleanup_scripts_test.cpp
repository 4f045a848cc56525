#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cleaning/cleanup_scripts.h"
#include "fakes/recorder.h"
#include "script_bytes.h"

namespace lumeno {
namespace {

constexpr ControlId kJunkBox = 0x160102E2;         // 选择框11
constexpr ControlId kLogsBox = 0x160102E1;         // 选择框12
constexpr ControlId kContextMenuBox = 0x160102E0;  // 选择框13
constexpr ControlId kSharesBox = 0x160102DF;       // 选择框14
constexpr ControlId kCookiesBox = 0x160102DE;      // 选择框15
constexpr ControlId kAutorunBox = 0x160102DD;      // 选择框16
constexpr ControlId kSelectAllBox = 0x160102DC;    // 选择框17
const ControlId kItems[] = {kJunkBox, kLogsBox, kContextMenuBox, kSharesBox, kCookiesBox, kAutorunBox};

const char kJunkPath[] = "C:\\Windows\\Temp\\QingLi.cmd";
const char kCookiesPath[] = "C:\\Windows\\Temp\\DelCookies.cmd";
const char kAutorunPath[] = "C:\\Windows\\Temp\\autorun_inf.cmd";

const char kSuccessMessage[] = "系统清理成功！";
const char kChooseMessage[] = "请选择欲清理项目！";
const char kDefaultTitle[] = "\xD0\xC5\xCF\xA2\xA3\xBA";  // 信息：

class CleanupTest : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }

  static void Tick(std::initializer_list<ControlId> boxes) {
    for (ControlId box : boxes) fake::Tick(kSettingsWindow, box);
  }

  static std::vector<std::string> RunLines() {
    std::vector<std::string> lines;
    for (const fake::Call& call : fake::CallsOf({"RunCommandLine"})) {
      EXPECT_EQ(call.args[1], "1") << call.args[0] << " not waited for";
      EXPECT_EQ(call.args[2], "1") << call.args[0] << " not hidden";
      lines.push_back(call.args[0]);
    }
    return lines;
  }

  // The bytes written to path; fails the test unless written exactly once.
  static std::string ScriptWrittenTo(const std::string& path) {
    std::string bytes;
    int writes = 0;
    for (const fake::Call& call : fake::CallsOf({"WriteFreshFile"}))
      if (call.args[0] == path) ++writes, bytes = call.args[1];
    EXPECT_EQ(writes, 1) << path;
    return bytes;
  }

  static fake::Call Message(const char* text, int style) {
    return {"ShowMessageBox", {text, std::to_string(style), kDefaultTitle}};
  }
};

// ---------------------------------------------------------------------------
// Script format and texts

TEST(CleanupScriptFormat, JoinsLinesWithCrLfAndEndsWithoutALineEnd) {
  const char* const lines[] = {"a", "", "  ", "b"};
  EXPECT_EQ(CleanupScriptBytes(lines), std::string("a\r\n\r\n  \r\nb"));
  const char* const one[] = {"del %0"};
  EXPECT_EQ(CleanupScriptBytes(one), "del %0");
  EXPECT_EQ(CleanupScriptBytes({}), "");
}

TEST_F(CleanupTest, JunkScriptIs708BytesWithItsLineLengths) {
  Tick({kJunkBox});
  RunSystemCleanup();
  std::string script = ScriptWrittenTo(kJunkPath);
  ExpectCleanScriptBytes(script, 708, 18);
  EXPECT_EQ(ScriptLineLengths(script),
            (std::vector<size_t>{32, 32, 32, 32, 39, 27, 27, 34, 41, 27, 34, 72, 52, 37, 33, 25, 55, 35, 6}));
  std::vector<std::string> lines = SplitScriptLines(script);
  ASSERT_EQ(lines.size(), 19u);
  EXPECT_EQ(lines[0], R"(del /f /s /q %systemdrive%\*.tmp)");
  EXPECT_EQ(lines[10], R"(del /f /q %userprofile%\recent\*.*)");
  EXPECT_EQ(lines[11], R"(del /f /s /q "%userprofile%\Local Settings\Temporary Internet Files\*.*")");
  EXPECT_EQ(lines[13], R"(del /f /s /q %userprofile%\recent\*.*)");
  EXPECT_EQ(lines[16], R"(del /f /s /q "D:\Personal\Temporary Internet Files\*.*")");
  EXPECT_EQ(lines[18], "del %0");
}

TEST_F(CleanupTest, CookiesScriptIs52BytesWithOneLineEnd) {
  Tick({kCookiesBox});
  RunSystemCleanup();
  std::string script = ScriptWrittenTo(kCookiesPath);
  ExpectCleanScriptBytes(script, 52, 1);
  EXPECT_EQ(script, "del /f /s /a /q \"%USERPROFILE%\\Cookies\\*.*\" \r\ndel %0");
}

TEST_F(CleanupTest, AutorunScriptIs366BytesWithItsGbkLine) {
  Tick({kAutorunBox});
  RunSystemCleanup();
  std::string script = ScriptWrittenTo(kAutorunPath);
  ExpectCleanScriptBytes(script, 366, 13);
  EXPECT_EQ(ScriptLineLengths(script), (std::vector<size_t>{28, 66, 19, 33, 34, 30, 51, 40, 8, 6, 1, 18, 0, 6}));
  std::vector<std::string> lines = SplitScriptLines(script);
  ASSERT_EQ(lines.size(), 14u);
  // 病毒免疫勿删除: seven characters, two GBK bytes each.
  EXPECT_EQ(lines[6], "        mkdir %%a:\\autorun.inf\\\""
                      "\xB2\xA1\xB6\xBE\xC3\xE2\xD2\xDF\xCE\xF0\xC9\xBE\xB3\xFD"
                      "../\" ");
  EXPECT_EQ(lines[1], "for %%a in (C D E F G H I J K L M N O P Q R S T U V W X Y Z) do @(");
  EXPECT_EQ(lines[8], std::string(8, ' '));
  EXPECT_EQ(lines[9], "    ) ");
  EXPECT_EQ(lines[12], "");
}

// ---------------------------------------------------------------------------
// Items

TEST_F(CleanupTest, ScriptsAreWrittenFreshThenRunByPath) {
  fake::GetState().files[kJunkPath] = "planted script, much longer than ours";
  Tick({kJunkBox, kCookiesBox, kAutorunBox});
  RunSystemCleanup();
  std::vector<std::string> ops;
  for (const fake::Call& call : fake::Calls())
    if (call.op != "ReadProperty") ops.push_back(call.op + " " + call.args[0]);
  EXPECT_EQ(ops, (std::vector<std::string>{
                     std::string("WriteFreshFile ") + kJunkPath,
                     std::string("RunCommandLine ") + kJunkPath,
                     std::string("WriteFreshFile ") + kCookiesPath,
                     std::string("RunCommandLine ") + kCookiesPath,
                     std::string("WriteFreshFile ") + kAutorunPath,
                     std::string("RunCommandLine ") + kAutorunPath,
                     std::string("ShowMessageBox ") + kSuccessMessage,
                 }));
  RunLines();  // every run hidden and waited for
  EXPECT_EQ(fake::GetState().files[kJunkPath].size(), 708u);
  EXPECT_TRUE(fake::CallsOf({"WriteBytesToFile"}).empty()) << "a truncating write would reuse a planted file";
}

TEST_F(CleanupTest, AScriptThatCannotBeWrittenFreshIsNotRun) {
  fake::GetState().write_result = false;
  Tick({kJunkBox, kSharesBox, kCookiesBox, kAutorunBox});
  RunSystemCleanup();
  EXPECT_EQ(fake::CallsOf({"WriteFreshFile"}).size(), 3u);
  std::vector<std::string> lines = RunLines();
  EXPECT_EQ(lines.size(), 26u);
  for (const std::string& line : lines) EXPECT_EQ(line.rfind("net share ", 0), 0u) << line;
  EXPECT_EQ(fake::Calls().back().args[1], "48") << "the unwritten scripts are reported";
}

TEST_F(CleanupTest, RunningTwiceWritesEachScriptAnewEachTime) {
  Tick({kCookiesBox});
  RunSystemCleanup();
  RunSystemCleanup();
  std::vector<fake::Call> writes = fake::CallsOf({"WriteFreshFile"});
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(writes[0], writes[1]);
  EXPECT_EQ(fake::GetState().files[kCookiesPath].size(), 52u);
  EXPECT_EQ(RunLines(), (std::vector<std::string>{kCookiesPath, kCookiesPath}));
}

TEST_F(CleanupTest, OnlySharesDeletesTwentySixShares) {
  Tick({kSharesBox});
  RunSystemCleanup();
  std::vector<std::string> expected = {"net share C$ /del"};
  for (char letter = 'd'; letter <= 'z'; ++letter) expected.push_back(std::string("net share ") + letter + "$ /del");
  expected.push_back("net share ipc$ /del ");
  expected.push_back("net share admin$ /del ");
  ASSERT_EQ(expected.size(), 26u);
  EXPECT_EQ(RunLines(), expected);
  EXPECT_TRUE(fake::CallsOf({"WriteFreshFile", "WriteBytesToFile"}).empty());
  EXPECT_EQ(fake::Calls().back(), Message(kSuccessMessage, 64));
}

TEST_F(CleanupTest, OnlyLogsRunsThreeDeletionsThroughTheCommandInterpreter) {
  Tick({kLogsBox});
  RunSystemCleanup();
  EXPECT_EQ(RunLines(), (std::vector<std::string>{
                            R"(cmd /c del /f /s /q %systemdrive%\*.log)",
                            R"(cmd /c del /f /s /q %systemdrive%\*.old)",
                            R"(cmd /c del /f /s /q %windir%\*.log)",
                        }));
  EXPECT_EQ(fake::Calls().back(), Message(kSuccessMessage, 64));
}

TEST_F(CleanupTest, OnlyContextMenuRunsItsFiveLines) {
  Tick({kContextMenuBox});
  RunSystemCleanup();
  EXPECT_EQ(RunLines(),
            (std::vector<std::string>{
                "regsvr32 /u /s igfxpph.dll",
                R"(reg delete HKEY_CLASSES_ROOT\Directory\Background\shellex\ContextMenuHandlers /f)",
                R"(reg add HKEY_CLASSES_ROOT\Directory\Background\shellex\ContextMenuHandlers\new /ve /d )"
                "{D969A300-E7FF-11d0-A93B-00A0C90F2719}",
                R"(reg delete HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Run /v HotKeysCmds /f)",
                R"(reg delete HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Run /v IgfxTray /f)",
            }));
}

TEST_F(CleanupTest, AllItemsRunInTheFixedOrder) {
  Tick({kAutorunBox, kCookiesBox, kSharesBox, kContextMenuBox, kLogsBox, kJunkBox});
  fake::GetState().run_result = false;  // failures do not stop the list
  RunSystemCleanup();
  std::vector<std::string> lines = RunLines();
  ASSERT_EQ(lines.size(), 1u + 3 + 5 + 26 + 1 + 1);
  EXPECT_EQ(lines[0], kJunkPath);
  EXPECT_EQ(lines[1].rfind("cmd /c del ", 0), 0u);
  EXPECT_EQ(lines[4], "regsvr32 /u /s igfxpph.dll");
  EXPECT_EQ(lines[9], "net share C$ /del");
  EXPECT_EQ(lines[34], "net share admin$ /del ");
  EXPECT_EQ(lines[35], kCookiesPath);
  EXPECT_EQ(lines[36], kAutorunPath);
  ASSERT_EQ(fake::CallsOf({"ShowMessageBox"}).size(), 1u);
  EXPECT_EQ(fake::CallsOf({"ShowMessageBox"})[0].args[1], "16") << "nothing could start";
}

TEST_F(CleanupTest, FinalCheckReadsTheItemsInOrderUpToTheFirstTicked) {
  Tick({kAutorunBox});
  RunSystemCleanup();
  std::vector<std::string> reads;
  for (const fake::Call& call : fake::CallsOf({"ReadProperty"})) reads.push_back(call.args[1]);
  std::vector<std::string> all;
  for (ControlId box : kItems) all.push_back(fake::Hex32(box));
  std::vector<std::string> twice = all;
  twice.insert(twice.end(), all.begin(), all.end());
  EXPECT_EQ(reads, twice);

  fake::Reset();
  Tick({kJunkBox});
  RunSystemCleanup();
  reads.clear();
  for (const fake::Call& call : fake::CallsOf({"ReadProperty"})) reads.push_back(call.args[1]);
  all.push_back(fake::Hex32(kJunkBox));
  EXPECT_EQ(reads, all);
}

TEST_F(CleanupTest, NothingTickedWritesAndRunsNothing) {
  RunSystemCleanup();
  EXPECT_TRUE(fake::CallsOf({"WriteFreshFile", "WriteBytesToFile", "RunCommandLine"}).empty());
  EXPECT_EQ(fake::CallsOf({"ShowMessageBox"}), (std::vector<fake::Call>{Message(kChooseMessage, 16)}));
}

TEST_F(CleanupTest, TheSelectAllBoxAloneIsNotACleanupItem) {
  Tick({kSelectAllBox});
  RunSystemCleanup();
  EXPECT_TRUE(fake::CallsOf({"WriteFreshFile", "RunCommandLine"}).empty());
  EXPECT_EQ(fake::Calls().back(), Message(kChooseMessage, 16));
  for (const fake::Call& call : fake::CallsOf({"ReadProperty"})) EXPECT_NE(call.args[1], fake::Hex32(kSelectAllBox));
}

TEST_F(CleanupTest, SelectAllTicksAndUnticksTheSixItemsInOrder) {
  for (bool on : {true, false}) {
    fake::Reset();
    fake::Tick(kSettingsWindow, kSelectAllBox, on);
    SelectAllCleanupItems();
    std::vector<fake::Call> expected = {
        {"ReadProperty", {fake::Hex32(kSettingsWindow), fake::Hex32(kSelectAllBox), "18"}}};
    for (ControlId box : kItems)
      expected.push_back({"WriteProperty", {fake::Hex32(kSettingsWindow), fake::Hex32(box), "18", on ? "1" : "0"}});
    EXPECT_EQ(fake::Calls(), expected);
  }
}

// The context-menu item saves the handlers' key whole and the two start-up
// entries before its first line; no other item touches the registry.
TEST_F(CleanupTest, TheContextMenuItemSavesWhatItsLinesChangeFirst) {
  const std::string handlers = R"(Directory\Background\shellex\ContextMenuHandlers)";
  const std::string run = R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Run)";
  fake::SetRegistryValue(1, handlers + R"(\igfxcui)", "", {1, std::string("{3AB1675A}\0", 11)});
  fake::SetRegistryValue(4, run, "IgfxTray", {1, std::string("C:\\WINDOWS\\system32\\igfxtray.exe") + '\0'});
  Tick({kJunkBox, kContextMenuBox, kSharesBox});
  RunSystemCleanup();
  // GBK: "C:\Lumeno\备份\20261208-143005 系统清理.reg" (the fake's time).
  const std::string file = "C:\\Lumeno\\\xB1\xB8\xB7\xDD\\20261208-143005 \xCF\xB5\xCD\xB3\xC7\xE5\xC0\xED.reg";
  EXPECT_EQ(fake::GetState().files[file],
            "REGEDIT4\r\n"
            "\r\n[-HKEY_CLASSES_ROOT\\" + handlers + "]\r\n"
            "\r\n[HKEY_CLASSES_ROOT\\" + handlers + "]\r\n"
            "\r\n[HKEY_CLASSES_ROOT\\" + handlers + "\\igfxcui]\r\n"
            "@=\"{3AB1675A}\"\r\n"
            "\r\n[HKEY_LOCAL_MACHINE\\" + run + "]\r\n"
            "\"IgfxTray\"=\"C:\\\\WINDOWS\\\\system32\\\\igfxtray.exe\"\r\n"
            "\r\n");
  std::vector<std::string> order;
  for (const fake::Call& call : fake::CallsOf({"WriteNewFile", "RunCommandLine"})) order.push_back(call.args[0]);
  ASSERT_EQ(order.size(), 1u + 1 + 5 + 26);
  EXPECT_EQ(order[0], kJunkPath);
  EXPECT_EQ(order[1], file);
  EXPECT_EQ(order[2], "regsvr32 /u /s igfxpph.dll");

  fake::Reset();
  Tick({kJunkBox, kLogsBox, kSharesBox, kCookiesBox, kAutorunBox});
  RunSystemCleanup();
  EXPECT_TRUE(fake::CallsOf({"WriteNewFile", "ReadRegistryValue", "ReadRegistryTree"}).empty());
}

}  // namespace
}  // namespace lumeno
