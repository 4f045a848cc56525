#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cleaning/cleanup_scripts.h"
#include "fakes/recorder.h"
#include "support/expected_data.h"
#include "support/texts.h"
#include "ui/controls.h"

namespace lumeno {
namespace {

using namespace settings_controls;
const ControlId kItems[] = {kJunkBox, kLogsBox, kContextMenuBox, kSharesBox, kCookiesBox, kAutorunBox};

const char kJunkPath[] = "C:\\Windows\\Temp\\QingLi.cmd";
const char kCookiesPath[] = "C:\\Windows\\Temp\\DelCookies.cmd";
const char kAutorunPath[] = "C:\\Windows\\Temp\\autorun_inf.cmd";

const char kSuccessMessage[] = "系统清理成功！";
const char kChooseMessage[] = "请选择欲清理项目！";
using texts::kDefaultTitle;

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

// tests/data/cleanup_items.tsv: box, action, command line or script path,
// script file. The calls an item makes, item by item.
std::vector<fake::Call> ExpectedCalls(const expected::Table& rows) {
  std::vector<fake::Call> calls;
  for (const expected::Row& row : rows) {
    if (row.at(1) == "script") calls.push_back({"WriteFreshFile", {row.at(2), expected::ReadBytes("scripts/" + row.at(3))}});
    calls.push_back({"RunCommandLine", {row.at(2), "1", "1"}});
  }
  return calls;
}

TEST_F(CleanupTest, EachItemAloneWritesAndRunsExactlyWhatItShould) {
  const expected::Table table = expected::ReadTable("cleanup_items.tsv");
  ASSERT_EQ(expected::Distinct(table, 0).size(), 6u);
  for (const std::string& box : expected::Distinct(table, 0)) {
    fake::Reset();
    fake::Tick(kSettingsWindow, static_cast<ControlId>(expected::Number(box)));
    RunSystemCleanup();
    EXPECT_EQ(fake::CallsOf({"WriteFreshFile", "WriteBytesToFile", "RunCommandLine"}),
              ExpectedCalls(expected::RowsWhere(table, 0, box))) << box;
    EXPECT_EQ(fake::Calls().back(), Message(kSuccessMessage, 64));
  }
  fake::Reset();
  Tick({kAutorunBox, kCookiesBox, kSharesBox, kContextMenuBox, kLogsBox, kJunkBox});
  fake::GetState().run_result = false;  // failures do not stop the list
  RunSystemCleanup();
  EXPECT_EQ(fake::CallsOf({"WriteFreshFile", "WriteBytesToFile", "RunCommandLine"}), ExpectedCalls(table));
  ASSERT_EQ(fake::CallsOf({"ShowMessageBox"}).size(), 1u);
  EXPECT_EQ(fake::CallsOf({"ShowMessageBox"})[0].args[1], "16") << "nothing could start";
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

// The six boxes are read once, in order, before anything runs.
TEST_F(CleanupTest, TheItemsAreReadOnceInOrderBeforeAnythingRuns) {
  for (ControlId ticked : {kAutorunBox, kJunkBox}) {
    fake::Reset();
    Tick({ticked});
    RunSystemCleanup();
    std::vector<std::string> reads, all;
    for (const fake::Call& call : fake::CallsOf({"ReadProperty"})) reads.push_back(call.args[1]);
    for (ControlId box : kItems) all.push_back(fake::Hex32(box));
    EXPECT_EQ(reads, all);
    EXPECT_EQ(fake::Calls().at(all.size() - 1).op, "ReadProperty");
  }
}

// The context-menu item saves the handlers' key whole and the two start-up
// entries before the first step of the run; no other item touches the registry.
TEST_F(CleanupTest, TheContextMenuItemSavesWhatItsLinesChangeFirst) {
  const std::string handlers = R"(Directory\Background\shellex\ContextMenuHandlers)";
  const std::string run = R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Run)";
  fake::SetRegistryValue(1, handlers + R"(\igfxcui)", "", {1, std::string("{3AB1675A}\0", 11)});
  fake::SetRegistryValue(4, run, "IgfxTray", {1, std::string("C:\\WINDOWS\\system32\\igfxtray.exe") + '\0'});
  Tick({kJunkBox, kContextMenuBox, kSharesBox});
  RunSystemCleanup();
  // GBK: "C:\Lumeno\备份\20261208-143005 PC-07 系统清理.reg" (the fake's time and computer name).
  const std::string file = std::string("C:\\Lumeno\\") + texts::kBackupFolder + "\\20261208-143005 PC-07 \xCF\xB5\xCD\xB3\xC7\xE5\xC0\xED.reg";
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
  EXPECT_EQ(order[0], file);
  EXPECT_EQ(order[1], kJunkPath);
  EXPECT_EQ(order[2], "regsvr32 /u /s igfxpph.dll");

  fake::Reset();
  Tick({kJunkBox, kLogsBox, kSharesBox, kCookiesBox, kAutorunBox});
  RunSystemCleanup();
  EXPECT_TRUE(fake::CallsOf({"WriteNewFile", "ReadRegistryValue", "ReadRegistryTree"}).empty());
}

}  // namespace
}  // namespace lumeno
