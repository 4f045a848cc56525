// How a plan's steps are judged: by the tools' documented exit codes, and
// where those cannot tell, by what the system reports afterwards. The
// expectations come from what each tool documents (sc: the Win32 error,
// 1060 = no such service; net: 2 for any failure; reg: 1 for a missing key or
// value; regsvr32: 3 = the DLL could not be loaded; xcopy: 0 copied, 1
// nothing to copy, 4 and up errors), not from the rule table.
#include "plan/execute.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fakes/recorder.h"

namespace lumeno {
namespace {

enum Counted { kChanged, kUnchanged, kFailed };

const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kHandlers[] = "Directory\\Background\\shellex\\ContextMenuHandlers";

void Command(PlanBuilder& p, const char* line, CommandCheck check, const char* subject = "") {
  p.RunCommand(line, check, subject);
}

TEST(ExecutePlan, EachStepByItsToolsCodesAndItsEffect) {
  struct Case {
    const char* name;
    std::function<void(PlanBuilder&)> step;
    std::function<void(fake::State&)> system;  // before the plan is made
    Counted counted;
    std::string what;
    std::string why;  // only checked when failed
  };
  auto nothing = [](fake::State&) {};
  auto exits = [](const char* line, uint32_t code) {
    return [=](fake::State& s) { s.exit_codes[line] = code; };
  };
  auto sc = [](const char* line, const char* service) {
    return [=](PlanBuilder& p) { p.SetServiceStart(line, service, 4); };
  };
  auto net_start = [](PlanBuilder& p) { Command(p, "net start spooler", CommandCheck::kServiceRunning, "spooler"); };
  auto registry_delete = [](const char* line, const char* key, const char* value) {
    return [=](PlanBuilder& p) {
      Step& step = p.RunCommand(line, CommandCheck::kRegistryGone);
      step.root = key == kHandlers ? 1 : 4;
      step.key_path = key;
      step.value_name = value;
      step.what = "注册表";
    };
  };
  auto copy = [](PlanBuilder& p) {
    p.Copy("cmd /cxcopy C:\\Docume~1\\%USERNAME%\\Desktop\\*.* D:\\P\\Desktop\\ /e /y ",
           "C:\\Docume~1\\%USERNAME%\\Desktop", "D:\\P\\Desktop\\", "复制到 D:\\P\\Desktop\\");
  };
  const char* kDisable = "sc config   Alerter start= DISABLED ";
  const char* kDel = "cmd /c del /f /s /q %systemdrive%\\*.old";
  const char* kCopy = "cmd /cxcopy C:\\Docume~1\\%USERNAME%\\Desktop\\*.* D:\\P\\Desktop\\ /e /y ";
  const std::vector<Case> cases = {
      {"sc done", sc(kDisable, "Alerter"), nothing, kChanged, "服务 Alerter", ""},
      {"sc: start type in place already", sc(kDisable, "Alerter"),
       [](fake::State&) {
         fake::SetRegistryValue(4, "SYSTEM\\CurrentControlSet\\Services\\Alerter", "Start", {4, {"\x04\0\0\0", 4}});
       },
       kUnchanged, "服务 Alerter", ""},
      {"sc: service not installed", sc("sc config   NVSvc start= DEMAND", "NVSvc"),
       exits("sc config   NVSvc start= DEMAND", 1060), kUnchanged, "服务 NVSvc", ""},
      {"sc: access denied", sc(kDisable, "Alerter"),
       [&](fake::State& s) {
         s.exit_codes[kDisable] = 5;
         s.error_texts[5] = "拒绝访问。";
       },
       kFailed, "服务 Alerter", "退出代码 5，拒绝访问。"},
      {"sc: cannot start", sc(kDisable, "Alerter"),
       [&](fake::State& s) {
         s.start_errors[kDisable] = 2;
         s.error_texts[2] = "找不到文件。";
       },
       kFailed, "服务 Alerter", "无法启动：找不到文件。"},
      {"net start done", net_start, nothing, kChanged, "启动服务 spooler", ""},
      {"net start: already running", net_start,
       [&](fake::State& s) {
         s.exit_codes["net start spooler"] = 2;
         s.services["spooler"] = ServiceState::kRunning;
       },
       kUnchanged, "启动服务 spooler", ""},
      {"net start: still stopped", net_start,
       [&](fake::State& s) {
         s.exit_codes["net start spooler"] = 2;
         s.services["spooler"] = ServiceState::kStopped;
       },
       kFailed, "启动服务 spooler", "退出代码 2，服务未运行"},
      {"net start: not installed", net_start,
       [&](fake::State& s) {
         s.exit_codes["net start spooler"] = 2;
         s.services["spooler"] = ServiceState::kNotInstalled;
       },
       kFailed, "启动服务 spooler", "退出代码 2，服务未安装"},
      {"net start: state unknown", net_start, exits("net start spooler", 2), kFailed, "启动服务 spooler",
       "退出代码 2，服务状态无法查询"},
      {"share that does not exist",
       [](PlanBuilder& p) { Command(p, "net share m$ /del", CommandCheck::kShareGone, "m$"); },
       [](fake::State& s) {
         s.exit_codes["net share m$ /del"] = 2;
         s.shares["m$"] = Presence::kAbsent;
       },
       kUnchanged, "共享 m$", ""},
      {"share still there", [](PlanBuilder& p) { Command(p, "net share C$ /del", CommandCheck::kShareGone, "C$"); },
       [](fake::State& s) {
         s.exit_codes["net share C$ /del"] = 2;
         s.shares["C$"] = Presence::kPresent;
       },
       kFailed, "共享 C$", "退出代码 2，共享仍然存在"},
      {"share unknown", [](PlanBuilder& p) { Command(p, "net share admin$ /del ", CommandCheck::kShareGone, "admin$"); },
       exits("net share admin$ /del ", 2), kFailed, "共享 admin$", "退出代码 2，共享状态无法查询"},
      {"key already gone", registry_delete("reg delete k /f", kHandlers, ""),
       [](fake::State& s) {
         s.exit_codes["reg delete k /f"] = 1;
         s.registry_presence["1:Directory\\Background\\shellex\\ContextMenuHandlers"] = Presence::kAbsent;
       },
       kUnchanged, "注册表", ""},
      {"value already gone", registry_delete("reg delete v /f", kRunKey, "IgfxTray"),
       [](fake::State& s) {
         s.exit_codes["reg delete v /f"] = 1;
         s.registry_presence["4:SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\IgfxTray"] = Presence::kAbsent;
       },
       kUnchanged, "注册表", ""},
      {"value still there", registry_delete("reg delete v /f", kRunKey, "HotKeysCmds"),
       [](fake::State& s) {
         s.exit_codes["reg delete v /f"] = 1;
         s.registry_presence["4:SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\HotKeysCmds"] = Presence::kPresent;
       },
       kFailed, "注册表", "退出代码 1，仍然存在"},
      {"the key's value asked, not the key", registry_delete("reg delete v /f", kRunKey, "HotKeysCmds"),
       [](fake::State& s) {
         s.exit_codes["reg delete v /f"] = 1;
         s.registry_presence["4:SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"] = Presence::kAbsent;
       },
       kFailed, "注册表", "退出代码 1"},
      {"reg add failing", [](PlanBuilder& p) { Command(p, "reg add x /ve", CommandCheck::kExitCode); },
       exits("reg add x /ve", 1), kFailed, "reg add x /ve", "退出代码 1"},
      {"DLL not on this machine", [](PlanBuilder& p) { Command(p, "regsvr32 /u /s a.dll", CommandCheck::kUnregistered); },
       exits("regsvr32 /u /s a.dll", 3), kUnchanged, "regsvr32 /u /s a.dll", ""},
      {"DLL refused to unregister",
       [](PlanBuilder& p) { Command(p, "regsvr32 /u /s a.dll", CommandCheck::kUnregistered); },
       exits("regsvr32 /u /s a.dll", 5), kFailed, "regsvr32 /u /s a.dll", "退出代码 5"},
      {"del found nothing", [&](PlanBuilder& p) { Command(p, kDel, CommandCheck::kFilesDeleted); }, exits(kDel, 1),
       kUnchanged, kDel, ""},
      {"del broke", [&](PlanBuilder& p) { Command(p, kDel, CommandCheck::kFilesDeleted); }, exits(kDel, 255), kFailed,
       kDel, "退出代码 255"},
      {"xcopy copied", copy, nothing, kChanged, "复制到 D:\\P\\Desktop\\", ""},
      {"xcopy had nothing to copy", copy, exits(kCopy, 1), kUnchanged, "复制到 D:\\P\\Desktop\\", ""},
      {"xcopy from a folder this system lacks", copy,
       [&](fake::State& s) {
         s.exit_codes[kCopy] = 4;
         s.environment["USERNAME"] = "tom";
         s.missing_folders.insert("C:\\Docume~1\\tom\\Desktop");
       },
       kUnchanged, "复制到 D:\\P\\Desktop\\", ""},
      {"xcopy failed with its source there", copy,
       [&](fake::State& s) {
         s.exit_codes[kCopy] = 4;
         s.environment["USERNAME"] = "tom";
         s.missing_folders.insert("C:\\Docume~1\\%USERNAME%\\Desktop");  // unexpanded: not what is asked
       },
       kFailed, "复制到 D:\\P\\Desktop\\", "退出代码 4"},
      {"anything else exits 0", [](PlanBuilder& p) { Command(p, "explorer.exe", CommandCheck::kExitCode); }, nothing,
       kChanged, "explorer.exe", ""},
      {"a value that holds its bytes is not written",
       [](PlanBuilder& p) { p.WriteValue(3, "Control Panel\\desktop\\MenuShowDelay", Text("0")); },
       [](fake::State&) { fake::SetRegistryValue(3, "Control Panel\\desktop", "MenuShowDelay", {1, {"0\0", 2}}); },
       kUnchanged, "HKEY_CURRENT_USER\\Control Panel\\desktop\\MenuShowDelay", ""},
      {"a value of another type is written",
       [](PlanBuilder& p) { p.WriteValue(3, "Control Panel\\desktop\\MenuShowDelay", Text("0")); },
       [](fake::State&) { fake::SetRegistryValue(3, "Control Panel\\desktop", "MenuShowDelay", {4, {"0\0\0\0", 4}}); },
       kChanged, "HKEY_CURRENT_USER\\Control Panel\\desktop\\MenuShowDelay", ""},
      {"a value that cannot be written",
       [](PlanBuilder& p) { p.WriteValue(3, "Control Panel\\desktop\\MenuShowDelay", Text("0")); },
       [](fake::State& s) {
         s.registry_errors["Control Panel\\desktop\\MenuShowDelay"] = 5;
         s.error_texts[5] = "拒绝访问。";
       },
       kFailed, "HKEY_CURRENT_USER\\Control Panel\\desktop\\MenuShowDelay", "拒绝访问。"},
  };
  for (const Case& c : cases) {
    fake::Reset();
    c.system(fake::GetState());
    PlanBuilder builder;
    c.step(builder);
    const Plan plan = builder.Finish();
    ASSERT_EQ(plan.steps.size(), 1u) << c.name;
    Outcome outcome("x");
    ExecutePlan(plan, outcome);
    EXPECT_EQ(outcome.changed(), c.counted == kChanged ? 1 : 0) << c.name;
    EXPECT_EQ(outcome.unchanged(), c.counted == kUnchanged ? 1 : 0) << c.name;
    EXPECT_EQ(outcome.failures(), c.counted == kFailed ? 1 : 0) << c.name;
    if (c.counted == kFailed) {
      EXPECT_EQ(outcome.ReportText(""), "x未能完成：\r\n" + c.what + "：" + c.why) << c.name;
    }
  }
}

// Command lines run hidden and waited for, byte for byte, whatever the
// registry already holds; a group stops at its first failure, uncounted.
TEST(ExecutePlan, CommandLinesAlwaysRunAndAFailedStepSkipsTheRestOfItsGroup) {
  fake::Reset();
  fake::SetRegistryValue(4, "SYSTEM\\CurrentControlSet\\Services\\A", "Start", {4, {"\x02\0\0\0", 4}});
  fake::GetState().exit_codes["sc config   B start= AUTO"] = 5;
  PlanBuilder builder;
  builder.SetServiceStart("sc config   A start= AUTO", "A", 2, 1);
  builder.SetServiceStart("sc config   B start= AUTO", "B", 2, 1);
  builder.RunCommand("net start B", CommandCheck::kServiceRunning, "B", 1);
  builder.RunCommand("net start C", CommandCheck::kServiceRunning, "C", 2);
  Outcome outcome("x");
  ExecutePlan(builder.Finish(), outcome);
  EXPECT_EQ(fake::CallsOf({"RunCommandLine"}),
            (std::vector<fake::Call>{{"RunCommandLine", {"sc config   A start= AUTO", "1", "1"}},
                                     {"RunCommandLine", {"sc config   B start= AUTO", "1", "1"}},
                                     {"RunCommandLine", {"net start C", "1", "1"}}}));
  EXPECT_EQ(outcome.unchanged(), 1);
  EXPECT_EQ(outcome.failures(), 1);
  EXPECT_EQ(outcome.changed(), 1);
  EXPECT_EQ(outcome.CountsText(), "（已更改 1 项，无需更改 1 项，未能执行 1 项）");
}

// When two steps write one value, the later one finds what the earlier one
// leaves: the last row's bytes are what stays.
TEST(PlanBuilder, AValueWrittenTwiceIsJudgedByWhatTheEarlierStepLeaves) {
  fake::Reset();
  fake::SetRegistryValue(4, "K", "V", {4, {"\x01\0\0\0", 4}});
  PlanBuilder builder;
  builder.WriteValue(4, "K\\V", int32_t{2});
  builder.WriteValue(4, "k\\v", int32_t{1});
  builder.WriteValue(4, "K\\V", int32_t{1});
  const Plan plan = builder.Finish();
  ASSERT_EQ(plan.steps.size(), 3u);
  EXPECT_FALSE(plan.steps[0].already);
  EXPECT_FALSE(plan.steps[1].already);
  EXPECT_TRUE(plan.steps[2].already);
  EXPECT_EQ(fake::CallsOf({"ReadRegistryValue"}).size(), 1u) << "each value is read once";
  Outcome outcome("x");
  ExecutePlan(plan, outcome);
  EXPECT_EQ(fake::CallsOf({"WriteRegistryItem"}),
            (std::vector<fake::Call>{{"WriteRegistryItem", {"4", "K\\V", "REG_DWORD", "0x00000002"}},
                                     {"WriteRegistryItem", {"4", "k\\v", "REG_DWORD", "0x00000001"}}}));
}

}  // namespace
}  // namespace lumeno
