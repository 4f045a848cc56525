// How a finished command line is judged: by the tools' documented exit codes,
// and where those cannot tell, by what the system reports afterwards. The
// expectations come from what each tool documents (sc: the Win32 error,
// 1060 = no such service; net: 2 for any failure; reg: 1 for a missing key or
// value; regsvr32: 3 = the DLL could not be loaded; xcopy: 0 copied, 1
// nothing to copy, 4 and up errors), not from the rule table.
#include "platform/command_outcome.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fakes/recorder.h"

namespace lumeno {
namespace {

RunResult Exited(uint32_t code) { return {true, 0, code}; }
RunResult NotStarted(uint32_t error) { return {false, error, 0}; }

const char kRunKey[] = "reg delete HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

TEST(JudgeCommandLine, EachToolByItsCodesAndItsEffect) {
  struct Case {
    const char* name;
    std::string line;
    RunResult result;
    std::function<void(fake::State&)> system;
    bool done;
    std::string what;
    std::string why;  // only checked when not done
  };
  auto nothing = [](fake::State&) {};
  const std::vector<Case> cases = {
      {"sc done", "sc config   Alerter start= DISABLED ", Exited(0), nothing, true, "服务 Alerter", ""},
      {"sc: service not installed", "sc config   NVSvc start= DEMAND", Exited(1060), nothing, true, "服务 NVSvc", ""},
      {"sc: access denied", "sc config   Alerter start= DISABLED ", Exited(5),
       [](fake::State& s) { s.error_texts[5] = "拒绝访问。"; }, false, "服务 Alerter", "退出代码 5，拒绝访问。"},
      {"sc: cannot start", "sc config   Alerter start= DISABLED ", NotStarted(2),
       [](fake::State& s) { s.error_texts[2] = "找不到文件。"; }, false, "服务 Alerter", "无法启动：找不到文件。"},
      {"net start done", "net start spooler", Exited(0), nothing, true, "启动服务 spooler", ""},
      {"net start: already running", "net start spooler", Exited(2),
       [](fake::State& s) { s.services["spooler"] = ServiceState::kRunning; }, true, "启动服务 spooler", ""},
      {"net start: still stopped", "net start spooler", Exited(2),
       [](fake::State& s) { s.services["spooler"] = ServiceState::kStopped; }, false, "启动服务 spooler",
       "退出代码 2，服务未运行"},
      {"net start: not installed", "net start WZCSVC", Exited(2),
       [](fake::State& s) { s.services["WZCSVC"] = ServiceState::kNotInstalled; }, false, "启动服务 WZCSVC",
       "退出代码 2，服务未安装"},
      {"net start: state unknown", "net start WZCSVC", Exited(2), nothing, false, "启动服务 WZCSVC",
       "退出代码 2，服务状态无法查询"},
      {"share that does not exist", "net share m$ /del", Exited(2),
       [](fake::State& s) { s.shares["m$"] = Presence::kAbsent; }, true, "共享 m$", ""},
      {"share still there", "net share C$ /del", Exited(2),
       [](fake::State& s) { s.shares["C$"] = Presence::kPresent; }, false, "共享 C$", "退出代码 2，共享仍然存在"},
      {"share unknown", "net share admin$ /del ", Exited(2), nothing, false, "共享 admin$", "退出代码 2，共享状态无法查询"},
      {"key already gone", "reg delete HKEY_CLASSES_ROOT\\Directory\\Background\\shellex\\ContextMenuHandlers /f",
       Exited(1),
       [](fake::State& s) {
         s.registry_presence["1:Directory\\Background\\shellex\\ContextMenuHandlers"] = Presence::kAbsent;
       },
       true, "注册表 HKEY_CLASSES_ROOT\\Directory\\Background\\shellex\\ContextMenuHandlers", ""},
      {"value already gone", std::string(kRunKey) + " /v IgfxTray /f", Exited(1),
       [](fake::State& s) {
         s.registry_presence["4:SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\IgfxTray"] = Presence::kAbsent;
       },
       true, "注册表 HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\IgfxTray", ""},
      {"value still there", std::string(kRunKey) + " /v HotKeysCmds /f", Exited(1),
       [](fake::State& s) {
         s.registry_presence["4:SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\HotKeysCmds"] = Presence::kPresent;
       },
       false, "注册表 HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\HotKeysCmds",
       "退出代码 1，仍然存在"},
      {"reg add failing", "reg add HKEY_CLASSES_ROOT\\x\\new /ve /d {D969A300}", Exited(1), nothing, false,
       "reg add HKEY_CLASSES_ROOT\\x\\new /ve /d {D969A300}", "退出代码 1"},
      {"DLL not on this machine", "regsvr32 /u /s igfxpph.dll", Exited(3), nothing, true, "注销 igfxpph.dll", ""},
      {"DLL refused to unregister", "regsvr32 /u /s igfxpph.dll", Exited(5), nothing, false, "注销 igfxpph.dll",
       "退出代码 5"},
      {"del found nothing", "cmd /c del /f /s /q %systemdrive%\\*.old", Exited(1), nothing, true,
       "del /f /s /q %systemdrive%\\*.old", ""},
      {"del broke", "cmd /c del /f /s /q %windir%\\*.log", Exited(255), nothing, false, "del /f /s /q %windir%\\*.log",
       "退出代码 255"},
      {"xcopy had nothing to copy", "cmd /cxcopy C:\\Docume~1\\%USERNAME%\\Desktop\\*.* D:\\P\\Desktop\\ /e /y ",
       Exited(1), nothing, true, "复制到 D:\\P\\Desktop\\", ""},
      {"xcopy from a folder this system lacks",
       "cmd /cxcopy C:\\Docume~1\\%USERNAME%\\Desktop\\*.* D:\\P\\Desktop\\ /e /y ", Exited(4),
       [](fake::State& s) {
         s.environment["USERNAME"] = "tom";
         s.missing_folders.insert("C:\\Docume~1\\tom\\Desktop");
       },
       true, "复制到 D:\\P\\Desktop\\", ""},
      {"xcopy failed with its source there",
       "cmd /cxcopy C:\\Docume~1\\%USERNAME%\\Desktop\\*.* D:\\P\\Desktop\\ /e /y ", Exited(4),
       [](fake::State& s) {
         s.environment["USERNAME"] = "tom";
         s.missing_folders.insert("C:\\Docume~1\\%USERNAME%\\Desktop");  // unexpanded: not what is asked
       },
       false, "复制到 D:\\P\\Desktop\\", "退出代码 4"},
      {"quoted xcopy, disk full", "cmd /cxcopy \"C:\\Docume~1\\%USERNAME%\\Desktop\\*.*\" \"D:\\T & J\\Desktop\" /e /y ",
       Exited(5), nothing, false, "复制到 D:\\T & J\\Desktop", "退出代码 5"},
      {"quoted xcopy from a missing folder",
       "cmd /cxcopy \"C:\\Docume~1\\%USERNAME%\\Favori~1\\*.*\" \"D:\\T & J\\Favorites\" /e /y", Exited(4),
       [](fake::State& s) { s.missing_folders.insert("C:\\Docume~1\\%USERNAME%\\Favori~1"); }, true,
       "复制到 D:\\T & J\\Favorites", ""},
      {"anything else exits 0", "explorer.exe", Exited(0), nothing, true, "explorer.exe", ""},
  };
  for (const Case& c : cases) {
    fake::Reset();
    c.system(fake::GetState());
    const CommandJudgement judgement = JudgeCommandLine(c.line, c.result);
    EXPECT_EQ(judgement.done, c.done) << c.name;
    EXPECT_EQ(judgement.what, c.what) << c.name;
    EXPECT_EQ(judgement.why, c.done ? "" : c.why) << c.name;
  }
}

TEST(RunJudged, RunsHiddenWaitsAndCounts) {
  fake::Reset();
  fake::GetState().exit_codes["sc config   A start= AUTO"] = 5;
  Outcome outcome("x");
  EXPECT_FALSE(RunJudged("sc config   A start= AUTO", outcome));
  EXPECT_TRUE(RunJudged("sc config   B start= AUTO", outcome));
  EXPECT_EQ(outcome.failures(), 1);
  EXPECT_EQ(outcome.successes(), 1);
  EXPECT_EQ(fake::Calls(), (std::vector<fake::Call>{{"RunCommandLine", {"sc config   A start= AUTO", "1", "1"}},
                                                    {"RunCommandLine", {"sc config   B start= AUTO", "1", "1"}}}));
}

}  // namespace
}  // namespace lumeno
