// The report a command ends with, and the small rules it and the failure
// texts rest on.
#include "plan/outcome.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/recorder.h"
#include "platform/platform_rules.h"
#include "support/texts.h"

namespace lumeno {
namespace {

TEST(OutcomeReport, TextAndStyleFollowHowManyStepsFailed) {
  struct Case {
    const char* name;
    int successes;
    int failures;
    int style;
    std::string text;
  };
  auto lines = [](int from, int to) {
    std::string text;
    for (int i = from; i <= to; ++i) text += "\r\nitem " + std::to_string(i) + "：why " + std::to_string(i);
    return text;
  };
  const std::vector<Case> cases = {
      {"nothing failed", 3, 0, 64, "ok!"},
      {"no steps at all", 0, 0, 64, "ok!"},
      {"one of four failed", 3, 1, 48, "服务优化完成，但有 1 项未能执行：" + lines(1, 1)},
      {"the only step failed", 0, 1, 16, "服务优化未能完成：" + lines(1, 1)},
      {"all of three failed", 0, 3, 16, "服务优化未能完成，3 项均未能执行：" + lines(1, 3)},
      {"ten listed whole", 1, 10, 48, "服务优化完成，但有 10 项未能执行：" + lines(1, 10)},
      {"eleventh counted", 1, 11, 48, "服务优化完成，但有 11 项未能执行：" + lines(1, 10) + "\r\n……另有 1 项"},
      {"82 failed", 0, 82, 16, "服务优化未能完成，82 项均未能执行：" + lines(1, 10) + "\r\n……另有 72 项"},
  };
  for (const Case& c : cases) {
    fake::Reset();
    Outcome outcome("服务优化");
    for (int i = 1; i <= c.failures; ++i) outcome.Failed("item " + std::to_string(i), "why " + std::to_string(i));
    for (int i = 0; i < c.successes; ++i) outcome.Succeeded();
    EXPECT_EQ(outcome.AnyFailed(), c.failures > 0) << c.name;
    EXPECT_EQ(outcome.failures(), c.failures) << c.name;
    outcome.Report("ok!", "完成");
    EXPECT_EQ(fake::Calls(), (std::vector<fake::Call>{{"ShowMessageBox", {c.text, std::to_string(c.style), "完成"}}}))
        << c.name;
  }
}

TEST(OutcomeReport, SpeaksGbkAndKeepsTheDefaultTitle) {
  fake::Reset();
  Outcome outcome("\xCF\xB5\xCD\xB3\xC7\xE5\xC0\xED");  // 系统清理
  outcome.Succeeded();
  outcome.Failed("x", "y");
  outcome.Report("done");
  // 系统清理完成，但有 1 项未能执行：CR LF x：y, default title 信息：
  const std::string expected =
      "\xCF\xB5\xCD\xB3\xC7\xE5\xC0\xED\xCD\xEA\xB3\xC9\xA3\xAC\xB5\xAB\xD3\xD0 1 \xCF\xEE\xCE\xB4\xC4\xDC\xD6\xB4\xD0\xD0"
      "\xA3\xBA\r\nx\xA3\xBAy";
  EXPECT_EQ(fake::Calls(), (std::vector<fake::Call>{{"ShowMessageBox", {expected, "48", texts::kDefaultTitle}}}));
}

TEST(FailureTexts, ExitCodesAndSystemErrors) {
  EXPECT_EQ(ExitCodeText(0), "退出代码 0");
  EXPECT_EQ(ExitCodeText(1060), "退出代码 1060");
  EXPECT_EQ(ExitCodeText(0xC0000005u), "退出代码 0xC0000005");
  EXPECT_EQ(UnknownErrorText(1234), "错误代码 1234");
  EXPECT_EQ(UnknownErrorText(0x80004005u), "错误代码 0x80004005");
  EXPECT_EQ(TrimmedMessageText("Access is denied. \r\n"), "Access is denied.");
  EXPECT_EQ(TrimmedMessageText("\r\n \t"), "");
  EXPECT_EQ(TrimmedMessageText("line one\r\nline two\r\n"), "line one\r\nline two");
}

TEST(FailureRules, UnloadedUsersHiveAndShareStatus) {
  struct Case {
    int root;
    const char* path;
    bool unloaded;
  };
  const Case cases[] = {
      {5, "Control Panel\\Desktop\\AutoEndTasks", true},
      {5, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AlwaysUnloadDLL", true},
      {5, ".DEFAULT\\Environment\\TEMP", false},
      {5, ".default\\Environment\\TEMP", false},
      {5, ".DEFAULTS\\x\\y", true},
      {5, "S-1-5-21-1-2-3-1000\\Software\\x", false},
      {5, "s-1-5-18\\x", false},
      {5, "TopLevelValue", true},
      {3, "Control Panel\\Desktop\\AutoEndTasks", false},
      {4, "SOFTWARE\\x", false},
      {9, "Control Panel\\Desktop\\AutoEndTasks", false},  // any other number is HKEY_CURRENT_USER
  };
  for (const Case& c : cases) EXPECT_EQ(IsUnloadedUsersHive(c.root, c.path), c.unloaded) << c.root << " " << c.path;

  EXPECT_EQ(ShareQueryPresence(0), Presence::kPresent);
  EXPECT_EQ(ShareQueryPresence(2310), Presence::kAbsent);
  EXPECT_EQ(ShareQueryPresence(2114), Presence::kAbsent);
  EXPECT_EQ(ShareQueryPresence(5), Presence::kUnknown);
}

TEST(FailureRules, FolderOfAPathSplitsAtABackslashCharacterOnly) {
  EXPECT_EQ(FolderOfPath("C:\\a\\b.pbk"), "C:\\a");
  EXPECT_EQ(FolderOfPath("b.pbk"), "");
  // 桌面\宽带连接.lnk: both characters are plain GBK.
  EXPECT_EQ(FolderOfPath("C:\\\xD7\xC0\xC3\xE6\\\xBF\xED.lnk"), "C:\\\xD7\xC0\xC3\xE6");
  // 乗 (81 5C) ends in the backslash byte: it is no separator.
  EXPECT_EQ(FolderOfPath("C:\\x\\\x81\x5C.lnk"), "C:\\x");
  EXPECT_EQ(BackslashPositions("\\\\s\\\x81\x5C\\"), (std::vector<size_t>{0, 1, 3, 6}));
}

}  // namespace
}  // namespace lumeno
