// Unattended mode against the recording fake: the command line, that each
// section takes the very road of its button (the same recorded calls as
// ticking the same boxes and pressing it, but for reading the window and
// answering in it), that a bad preset, a bad target or a missing
// administrator changes nothing, /preview, and the log and exit code of a run.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/layouts.h"
#include "unattended/unattended.h"
#include "cleaning/cleanup_scripts.h"
#include "fakes/recorder.h"
#include "fakes/unattended_fake.h"
#include "plan/command.h"
#include "relocation/relocation.h"
#include "services/services.h"
#include "support/expected_data.h"
#include "tweaks/optimize.h"
#include "utilities/broadband.h"
#include "utilities/display_presets.h"
#include "ui/controls.h"

namespace lumeno {
namespace {

using fake::Call;
using Kind = CommandLineRequest::Kind;

class UnattendedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    fake::ResetUnattendedHost();
    // Sections press their buttons through the program's event bindings.
    UseWindowLayouts(ProgramWindowLayouts(), ProgramEventBindings());
  }

  // Runs the file through the whole of unattended mode with the default log.
  static int Apply(const std::string& preset_file, const Text& path = "D:\\预设\\网吧.ini") {
    fake::GetState().files[path] = preset_file;
    CommandLineRequest request;
    request.kind = Kind::kApply;
    request.preset_path = path;
    return RunUnattended(request);
  }

  static const std::string& Log() { return fake::UnattendedHost().appended["C:\\Lumeno\\lumeno.log"]; }

  // What changes the machine: the calls but the reads of the registry that
  // planning makes, the log and the preset.
  static std::vector<Call> Changes() {
    std::vector<Call> out;
    for (const Call& call : Actions())
      if (call.op != "ReadRegistryValue" && call.op != "RegistryKeyExists" && call.op != "ReadRegistryTree")
        out.push_back(call);
    return out;
  }

  static bool IsLogCall(const Call& call) {
    return call.op == "OpenLogFile" || call.op == "AppendToLogFile" || call.op == "CloseLogFile" ||
           call.op == "WriteToConsole";
  }

  // The recorded calls other than reading the preset and writing the log.
  static std::vector<Call> Actions() {
    std::vector<Call> out;
    for (const Call& call : fake::Calls())
      if (call.op != "ReadBytesFromFile" && !IsLogCall(call) && call.op != "IsAdministrator")
        out.push_back(call);
    return out;
  }
};

TEST_F(UnattendedTest, CommandLineAppliesOnlyAWellFormedRequest) {
  struct Case {
    const char* line;
    Kind kind;
    const char* preset_or_error;
    const char* log;
  };
  const Case cases[] = {
      {"lumeno.exe", Kind::kWindows, "", ""},
      {"\"C:\\Program Files\\lumeno.exe\"   ", Kind::kWindows, "", ""},
      {"lumeno.exe /apply 网吧.ini", Kind::kApply, "网吧.ini", ""},
      {"\"C:\\x y\\lumeno.exe\" /APPLY \"\\\\server\\share\\网吧 1.ini\" /Log \"C:\\日志\\\"", Kind::kApply,
       "\\\\server\\share\\网吧 1.ini", "C:\\日志\\"},
      {"lumeno.exe /log a.log /apply b.ini", Kind::kApply, "b.ini", "a.log"},
      {"lumeno.exe foo.ini", Kind::kUsageError, "未知的参数“foo.ini”", ""},
      {"lumeno.exe -apply a.ini", Kind::kUsageError, "未知的参数“-apply”", ""},
      {"lumeno.exe /apply", Kind::kUsageError, "“/apply”后缺少预设文件", ""},
      {"lumeno.exe /apply /log x.log", Kind::kUsageError, "“/apply”后缺少预设文件", ""},
      {"lumeno.exe /apply a.ini /apply b.ini", Kind::kUsageError, "“/apply”只能出现一次", ""},
      {"lumeno.exe /apply a.ini /log", Kind::kUsageError, "“/log”后缺少日志文件", ""},
      // The log named so far still receives the error.
      {"lumeno.exe /log x.log", Kind::kUsageError, "缺少 /apply <预设文件>", "x.log"},
  };
  for (const Case& c : cases) {
    CommandLineRequest request = ParseCommandLine(c.line);
    EXPECT_EQ(request.kind, c.kind) << c.line;
    EXPECT_EQ(c.kind == Kind::kUsageError ? request.error : request.preset_path, c.preset_or_error) << c.line;
    EXPECT_EQ(request.log_path, c.log) << c.line;
  }
}

// A section of a preset, and the same selection made on the fake windows
// followed by the handler its button runs.
struct SameAsButton {
  const char* preset;
  std::function<void()> click;
};

// Ticks the controls of window with these captions (tests/data/layout_controls.tsv).
void Tick(WindowId window, std::initializer_list<const char*> captions) {
  const expected::Table controls = expected::RowsWhere(expected::ReadTable("layout_controls.tsv"), 0, fake::Hex32(window));
  for (const char* caption : captions)
    fake::Tick(window, static_cast<ControlId>(expected::Number(expected::RowsWhere(controls, 4, caption).at(0).at(3))));
}

TEST_F(UnattendedTest, EachSectionMakesTheSameCallsAsItsButton) {
  const SameAsButton cases[] = {
      {"[优化]\nXP开关机加速=1\n禁用搜索助手=1\n收藏夹和浏览过的网站=1\n系统临时文件=1\n",
       [] {
         Tick(kMainWindow, {"XP开关机加速", "禁用搜索助手", "收藏夹和浏览过的网站", "系统临时文件"});
         OptimizeWorker();
       }},
      {"[服务快速优化]\n方案=办公模式\n",
       [] {
         Tick(kSettingsWindow, {"办公模式"});
         ApplyServiceProfile();
       }},
      {"[可选服务]\n无线网卡支持=1\nUPNP设备支持=1\n",
       [] {
         Tick(kSettingsWindow, {"无线网卡支持", "UPNP设备支持"});
         StartSelectedServices();
       }},
      {"[清系统]\n清理系统垃圾=1\n清理日志文件=1\n清除多余右键菜单=1\n删除默认共享=1\n清空 Cookies=1\n"
       "清理、免疫Autorun.inf=1\n",
       [] {
         Tick(kSettingsWindow, {"清理系统垃圾", "清理日志文件", "清除多余右键菜单", "删除默认共享", "清空 Cookies",
                                "清理、免疫Autorun.inf"});
         RunSystemCleanup();
       }},
      {"[转资料]\n目标=E:\\资料\\\n桌面=1\n我的文档=1\nTemp文件夹=1\n",
       [] {
         fake::GetState().properties[{kSettingsWindow, settings_controls::kTargetEdit, kPropertyText}] = PropertyValue::OfText("E:\\资料\\");
         Tick(kSettingsWindow, {"桌面", "我的文档", "Temp文件夹"});
         RelocateUserFolders();
       }},
      {"[分辨率]\n宽屏液晶=19宽屏LCD\n",
       [] {
         Tick(kSettingsWindow, {"19宽屏LCD"});
         ApplyResolutionPreset();
       }},
      {"[小工具]\n生成ADSL=1\n", [] { CreateBroadbandEntry(); }},
      {"[可选服务]\n开启打印服务=1\n[服务快速优化]\n方案=网吧模式\n[优化]\n回收站=1\n",
       [] {
         Tick(kMainWindow, {"回收站"});
         OptimizeWorker();
         fake::GetState().properties.clear();  // each button sees only its own page's choices
         Tick(kSettingsWindow, {"网吧模式"});
         ApplyServiceProfile();
         fake::GetState().properties.clear();
         Tick(kSettingsWindow, {"开启打印服务"});
         StartSelectedServices();
       }},
  };
  // What a click does beyond the command itself: read the window, answer in it.
  auto command_calls = [] {
    std::vector<Call> out;
    for (const Call& call : fake::Calls())
      if (call.op != "ReadProperty" && call.op != "WriteProperty" && call.op != "ShowMessageBox") out.push_back(call);
    return out;
  };
  for (const SameAsButton& c : cases) {
    fake::Reset();
    c.click();
    const std::vector<Call> clicked = command_calls();
    ASSERT_FALSE(clicked.empty()) << c.preset;

    fake::Reset();
    ParsedPreset parsed = ParsePreset(c.preset);
    ASSERT_TRUE(parsed.ok) << c.preset;
    std::vector<std::string> log;
    EXPECT_EQ(RunPresetSections(parsed.preset, [&](std::string_view line) { log.emplace_back(line); }), kExitDone);
    EXPECT_EQ(fake::Calls(), clicked) << c.preset;
    // One line per section, each followed by the restore files it wrote.
    size_t section_lines = 0;
    for (const std::string& line : log) section_lines += line.rfind("    备份：", 0) != 0;
    EXPECT_EQ(section_lines, parsed.preset.sections.size()) << c.preset;
  }
}

TEST_F(UnattendedTest, ABadPresetIsLoggedAndChangesNothing) {
  // Each file is good up to its last line; nothing of it may run.
  const std::pair<const char*, const char*> cases[] = {
      {"[优化]\nXP开关机加速=1\n[服务快速优化]\n方案=网巴模式\n",
       "D:\\预设\\网吧.ini 第 4 行：“方案”的值“网巴模式”无效，应为“最精简模式”、“网吧模式”、“办公模式”、“笔记本模式”、"
       "“XP默认” 之一；是否应为“网吧模式”？"},
      {"[清系统]\n清理系统垃圾=1\n[转资料]\n桌面=1\n",
       "D:\\预设\\网吧.ini 第 3 行：[转资料] 勾选了要转移的文件夹，但“目标”为空，应为目标文件夹，如 目标=D:\\Personal"},
      {"[分辨率]\n普通液晶=15寸LCD\n普通液晶=17寸LCD\n",
       "D:\\预设\\网吧.ini 第 3 行：[分辨率] 只能选一项，第 2 行已选“15寸LCD”"},
  };
  for (const auto& [file, error] : cases) {
    SetUp();
    EXPECT_EQ(Apply(file), kExitBadInput) << file;
    EXPECT_EQ(Actions(), std::vector<Call>{}) << file;
    EXPECT_EQ(fake::CallsOf({"IsAdministrator"}).size(), 0u);
    EXPECT_EQ(Log(), std::string("==== 2026-12-08 14:30:05 PC-07 admin Lumeno 1.1.0 D:\\预设\\网吧.ini\r\n") + error +
                         "\r\n未做任何更改\r\n==== 结束，退出码 2\r\n");
  }
}

TEST_F(UnattendedTest, UsageErrorsAndUnreadablePresetsExitWithTwo) {
  CommandLineRequest usage = ParseCommandLine("lumeno.exe /apply a.ini /apply b.ini");
  usage.log_path = "E:\\logs\\PC-07.log";
  EXPECT_EQ(RunUnattended(usage), kExitBadInput);
  EXPECT_EQ(fake::UnattendedHost().appended["E:\\logs\\PC-07.log"],
            "==== 2026-12-08 14:30:05 PC-07 admin Lumeno 1.1.0 a.ini\r\n“/apply”只能出现一次。用法：lumeno.exe /apply <预设文件> "
            "[/preview] [/log <日志文件>]\r\n==== 结束，退出码 2\r\n");

  CommandLineRequest missing = ParseCommandLine("lumeno.exe /apply D:\\无.ini");
  EXPECT_EQ(RunUnattended(missing), kExitBadInput);
  EXPECT_EQ(Log(), "==== 2026-12-08 14:30:05 PC-07 admin Lumeno 1.1.0 D:\\无.ini\r\n无法读取预设文件“D:\\无.ini”\r\n==== 结束，退出码 2\r\n");
  EXPECT_EQ(Actions(), std::vector<Call>{});
}

// A log that cannot be opened, or whose first line cannot be written, ends
// the run before anything changes.
TEST_F(UnattendedTest, AnUnwritableLogExitsTwoBeforeAnythingChanges) {
  for (const bool opens : {false, true}) {
    SetUp();
    fake::UnattendedHost().open_result = opens;
    fake::UnattendedHost().append_result = false;
    EXPECT_EQ(Apply("[优化]\n加快菜单显示速度=1\n"), kExitBadInput) << opens;
    EXPECT_EQ(Actions(), std::vector<Call>{});
    EXPECT_EQ(fake::CallsOf({"ReadBytesFromFile"}).size(), 0u) << "the preset is not even read";
    EXPECT_EQ(fake::CallsOf({"AppendToLogFile"}).size(), opens ? 1u : 0u);
    EXPECT_NE(fake::UnattendedHost().console.find("无法写入日志文件“C:\\Lumeno\\lumeno.log”\r\n未做任何更改\r\n"),
              std::string::npos)
        << fake::UnattendedHost().console;
  }
}

// The log is opened once, before the first change, and closed after the last
// line: while the run holds it, a cleaning step's del /s *.log cannot remove
// it between two lines.
TEST_F(UnattendedTest, TheLogIsHeldOpenFromBeforeTheFirstChangeToTheLastLine) {
  EXPECT_EQ(Apply("[优化]\n加快菜单显示速度=1\n[清系统]\n清理日志文件=1\n"), kExitDone);
  const std::vector<Call>& calls = fake::Calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front(), (Call{"OpenLogFile", {"C:\\Lumeno\\lumeno.log"}}));
  EXPECT_EQ(calls.back(), (Call{"CloseLogFile", {"C:\\Lumeno\\lumeno.log"}}));
  EXPECT_EQ(fake::CallsOf({"OpenLogFile", "CloseLogFile"}).size(), 2u);
  size_t lines = 0;
  for (const Call& call : fake::CallsOf({"AppendToLogFile"})) {
    EXPECT_EQ(call.args.at(0), "C:\\Lumeno\\lumeno.log") << "appended through a closed or unknown handle";
    ++lines;
  }
  EXPECT_EQ(lines, 5u) << Log();  // with the restore file of [优化]
  EXPECT_EQ(fake::CallsOf({"RunCommandLine"}).size(), 3u) << "the three del lines ran while the log was open";
}

// Run as SYSTEM (a start-up script), a section with a step for the current
// user would change SYSTEM's own profile: the run stops before any change and
// names every such section. The list is read from the plans: HKEY_CURRENT_USER
// writes and deletes, the cleaning items, scripts naming %userprofile%.
TEST_F(UnattendedTest, AsSystemSectionsForTheCurrentUserStopTheRunBeforeAnyChange) {
  struct Case {
    const char* preset;
    const char* sections;  // named in the refusal; "" when the run goes ahead
  };
  const Case cases[] = {
      {"[优化]\n加快菜单显示速度=1\n", "[优化] "},  // HKCU only
      {"[优化]\nXP开关机加速=1\n", "[优化] "},      // HKLM and HKCU
      {"[优化]\n加快程序运行速度=1\n加快启动速度=1\n禁用磁盘默认共享=1\n", ""},
      {"[优化]\nIE临时文件=1\n", "[优化] "},
      {"[优化]\n浏览器历史记录=1\n", "[优化] "},
      {"[优化]\n表单密码自动填写=1\n", "[优化] "},
      {"[优化]\n收藏夹和浏览过的网站=1\n", "[优化] "},
      {"[优化]\n回收站=1\n", "[优化] "},
      {"[优化]\n系统临时文件=1\n", "[优化] "},
      {"[清系统]\n清空 Cookies=1\n", "[清系统] "},
      {"[清系统]\n清理系统垃圾=1\n", "[清系统] "},
      {"[清系统]\n清理日志文件=1\n清除多余右键菜单=1\n删除默认共享=1\n清理、免疫Autorun.inf=1\n", ""},
      {"[转资料]\n目标=E:\\P\n收藏夹=1\n", "[转资料] "},
      {"[转资料]\n目标=E:\\P\nOutlook文件夹=1\n", "[转资料] "},
      {"[服务快速优化]\n方案=网吧模式\n[可选服务]\n开启打印服务=1\n[分辨率]\n普通液晶=17寸LCD\n[小工具]\n生成ADSL=1\n", ""},
      {"[优化]\n加快启动速度=1\n禁用启动时弹出错误信息=1\n[服务快速优化]\n方案=XP默认\n[清系统]\n删除默认共享=1\n"
       "清空 Cookies=1\n[转资料]\n目标=E:\\P\n桌面=1\n",
       "[优化] [清系统] [转资料] "},
  };
  for (const Case& c : cases) {
    SetUp();
    fake::GetState().local_system = true;
    const int exit_code = Apply(c.preset);
    if (*c.sections == '\0') {
      EXPECT_NE(exit_code, kExitBadInput) << c.preset << Log();
      EXPECT_FALSE(Changes().empty()) << c.preset;
      continue;
    }
    EXPECT_EQ(exit_code, kExitBadInput) << c.preset;
    EXPECT_EQ(Changes(), std::vector<Call>{}) << c.preset;
    EXPECT_EQ(fake::GetState().files.size(), 1u) << "no restore file, only the preset";
    EXPECT_EQ(Log(), std::string("==== 2026-12-08 14:30:05 PC-07 admin Lumeno 1.1.0 D:\\预设\\网吧.ini\r\n"
                                 "以 SYSTEM 账户运行：预设中的 ") +
                         c.sections +
                         "会更改当前用户的设置或文件，这里只会改到 SYSTEM 账户自己的。请把这些节放到登录脚本中运行。"
                         "未做任何更改\r\n==== 结束，退出码 2\r\n")
        << c.preset;
  }
  // The same sections run for the user a logon script runs as.
  SetUp();
  EXPECT_EQ(Apply(cases[std::size(cases) - 1].preset), kExitDone) << Log();
}

TEST_F(UnattendedTest, WithoutAdministratorOnlyUserSettingsMayRun) {
  fake::UnattendedHost().administrator = false;
  EXPECT_EQ(Apply("[优化]\n加快菜单显示速度=1\n[清系统]\n清空 Cookies=1\n[服务快速优化]\n方案=XP默认\n"),
            kExitNotAdministrator);
  EXPECT_EQ(Actions(), std::vector<Call>{});
  EXPECT_EQ(Log(), "==== 2026-12-08 14:30:05 PC-07 admin Lumeno 1.1.0 D:\\预设\\网吧.ini\r\n需要管理员权限：预设中的 [服务快速优化] "
                   "会更改整台计算机的设置。未做任何更改\r\n==== 结束，退出码 3\r\n");

  SetUp();
  fake::UnattendedHost().administrator = false;
  EXPECT_EQ(Apply("[优化]\n加快菜单显示速度=1\n[清系统]\n清空 Cookies=1\n[转资料]\n目标=E:\\\nOutlook文件夹=1\n"),
            kExitDone);
  EXPECT_EQ(fake::CallsOf({"WriteRegistryItem"}).size(), 2u) << "the menu delay and the Outlook Express store";
  EXPECT_EQ(fake::CallsOf({"RunCommandLine"}).size(), 1u) << "the cookies script";
}

TEST_F(UnattendedTest, TheLogIsAppendedWithOneLinePerSectionAndGoesToTheConsoleToo) {
  fake::UnattendedHost().appended["C:\\Lumeno\\lumeno.log"] = "earlier run\r\n";
  EXPECT_EQ(Apply("[分辨率]\n普通液晶=19寸LCD\n[可选服务]\n开启打印服务=0\n[优化]\nIE临时文件=1\n[小工具]\n生成ADSL=1\n"),
            kExitDone);
  const std::string run =
      "==== 2026-12-08 14:30:05 PC-07 admin Lumeno 1.1.0 D:\\预设\\网吧.ini\r\n"
      "[优化] 恭喜您，你选择的优化项目已完成！（已更改 1 项，无需更改 0 项）\r\n"
      "[可选服务] 未选择任何项目，跳过\r\n"
      "[分辨率] 1280×1024 ＠60Hz/32位（已更改 1 项，无需更改 0 项）\r\n"
      "[小工具] 宽带连接已成功建立！（已更改 4 项，无需更改 0 项）\r\n"
      "==== 结束，退出码 0\r\n";
  EXPECT_EQ(Log(), "earlier run\r\n" + run);
  EXPECT_EQ(fake::UnattendedHost().console, run);
  EXPECT_EQ(fake::CallsOf({"SetDisplayMode"}), (std::vector<Call>{{"SetDisplayMode", {"1280", "1024", "32", "60"}}}));
}

// The window's label shows the mode the screen has; a mode the system
// refused fails the run, though no box says so.
TEST_F(UnattendedTest, ARefusedDisplayModeFailsTheRun) {
  fake::GetState().set_display_result = false;
  EXPECT_EQ(Apply("[分辨率]\nCRT显示器=19寸CRT\n"), kExitStepFailed);
  EXPECT_NE(Log().find("[分辨率] 分辨率设置未能完成：（已更改 0 项，无需更改 0 项，未能执行 1 项）\r\n"
                       "    显示模式：未能设置为 1280×1024/32位，当前为 1024×768 ＠60Hz/32位\r\n"),
            std::string::npos)
      << Log();
}

// The restore file a section writes is named in the log, under that section.
TEST_F(UnattendedTest, TheLogNamesEachRestoreFile) {
  fake::SetRegistryValue(4, "SYSTEM\\CurrentControlSet\\Services\\Alerter", "Start", {4, std::string("\2\0\0\0", 4)});
  EXPECT_EQ(Apply("[服务快速优化]\n方案=网吧模式\n"), kExitDone);
  // Alerter's start type changes, and the fake's sc reports every other
  // service as configured too.
  EXPECT_NE(Log().find("[服务快速优化] 服务优化完毕！（已更改 82 项，无需更改 0 项）\r\n"
                       "    备份：C:\\Lumeno\\备份\\20261208-143005 PC-07 服务优化.reg\r\n==== 结束"),
            std::string::npos)
      << Log();
}

// Test commands: one step that fails (exit code 5), one that refuses, one
// that does its work, one that ends in a fatal error.
Plan OneFailingLine(const Selection&) {
  fake::GetState().exit_codes["sc config a"] = 5;
  PlanBuilder plan;
  plan.RunCommand("sc config a");
  plan.WriteValue(3, "K\\V", int32_t{1});
  return plan.Finish();
}
Plan Refused(const Selection&) { return RefusedPlan("请选择合适的分辨率！"); }
Plan OneGoodLine(const Selection&) {
  PlanBuilder plan;
  plan.RunCommand("ok");
  return plan.Finish();
}
Plan Fatal(const Selection&) { FatalError(6, "堆栈错误"); }
const Command kFailing = {"甲命令", "甲", "好", "完成", OneFailingLine};
const Command kRefusing = {"分辨率设置", nullptr, "", "", Refused};
const Command kGood = {"乙命令", nullptr, "好", "完成", OneGoodLine};
const Command kFatal = {"丙命令", nullptr, "好", "完成", Fatal};

TEST_F(UnattendedTest, AnyFailureOrRefusalFailsTheRunAndEveryLineIsLogged) {
  Preset preset;
  preset.sections.push_back({"甲", 1, {}, {&kFailing}});
  preset.sections.push_back({"分辨率", 2, {}, {&kRefusing}});
  preset.sections.push_back({"乙", 3, {}, {&kGood}});
  std::vector<std::string> log;
  EXPECT_EQ(RunPresetSections(preset, [&](std::string_view line) { log.emplace_back(line); }), kExitStepFailed);
  EXPECT_EQ(log, (std::vector<std::string>{
                     "[甲] 甲命令完成，但有 1 项未能执行：（已更改 1 项，无需更改 0 项，未能执行 1 项）\r\nsc config a：退出代码 5",
                     "    备份：C:\\Lumeno\\备份\\20261208-143005 PC-07 甲.reg", "[分辨率] 请选择合适的分辨率！",
                     "[乙] 好（已更改 1 项，无需更改 0 项）"}));
  EXPECT_EQ(LogLineBytes(log[0]),
            "[甲] 甲命令完成，但有 1 项未能执行：（已更改 1 项，无需更改 0 项，未能执行 1 项）\r\n    sc config a：退出代码 5\r\n");
  EXPECT_EQ(LogLineBytes("a\nb\n\nc"), "a\r\n    b\r\n    c\r\n");

  Preset one_fine;
  one_fine.sections.push_back(preset.sections[2]);
  EXPECT_EQ(RunPresetSections(one_fine, [](std::string_view) {}), kExitDone);
}

TEST_F(UnattendedTest, AFatalErrorIsLoggedInsteadOfShown) {
  Preset preset;
  preset.sections.push_back({"甲", 1, {}, {&kFatal}});
  std::vector<std::string> log;
  try {
    RunPresetSections(preset, [&](std::string_view line) { log.emplace_back(line); });
    ADD_FAILURE() << "the fatal error did not end the run";
  } catch (const fake::FatalExit& exit) {
    EXPECT_EQ(exit.code, kExitStepFailed);
  }
  EXPECT_EQ(fake::CallsOf({"ShowMessageBox"}).size(), 0u);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].rfind("[甲] 运行时出错!", 0), 0u) << log[0];
  EXPECT_NE(log[0].find("堆栈错误"), std::string::npos);
  EXPECT_EQ(log[1], "==== 结束，退出码 1");
}

// /preview lists every step of every section and changes nothing: no write,
// no command line, no restore file; the log is its only output.
TEST_F(UnattendedTest, PreviewListsEveryStepAndChangesNothing) {
  fake::SetRegistryValue(3, "Control Panel\\desktop", "MenuShowDelay", {1, {"0\0", 2}});
  fake::SetRegistryValue(4, "SYSTEM\\CurrentControlSet\\Control\\FileSystem", "ConfigFileAllocSize", {4, {"\x01\0\0\0", 4}});
  fake::GetState().cleaning_tallies["CleanSystemJunk 2"] = {3, 5000000000};
  fake::GetState().cleaning_tallies["C:\\Docume~1\\tom\\Favori~1"] = {12, 4096};
  fake::GetState().environment["USERNAME"] = "tom";
  const std::string file =
      "[优化]\n加快菜单显示速度=1\n加快程序运行速度=1\n回收站=1\n[可选服务]\n开启打印服务=1\n[清系统]\n删除默认共享=0\n"
      "[转资料]\n目标=E:\\P\n收藏夹=1\n";
  fake::GetState().files["D:\\预设\\网吧.ini"] = file;
  CommandLineRequest request = ParseCommandLine("lumeno.exe /apply D:\\预设\\网吧.ini /preview");
  ASSERT_TRUE(request.preview);
  EXPECT_EQ(RunUnattended(request), kExitDone);
  for (const Call& call : fake::Calls())
    EXPECT_TRUE(call.op == "ReadBytesFromFile" || IsLogCall(call) ||
                call.op == "IsAdministrator" || call.op == "ReadRegistryValue")
        << call;
  EXPECT_EQ(Log(),
            "==== 2026-12-08 14:30:05 PC-07 admin Lumeno 1.1.0 D:\\预设\\网吧.ini\r\n"
            "[优化] 将执行 3 步：\r\n"
            "    HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\FileSystem\\ConfigFileAllocSize: REG_DWORD "
            "0x00000001 → REG_DWORD 0x000001F4\r\n"
            "    HKEY_CURRENT_USER\\Control Panel\\desktop\\MenuShowDelay: 无需更改\r\n"
            "    清理 回收站：约 3 个文件，5000000000 字节\r\n"
            "[可选服务] 将执行 2 步：\r\n"
            "    sc config   spooler start= auto \r\n"
            "    net start spooler\r\n"
            "[清系统] 未选择任何项目，跳过\r\n"
            "[转资料] 将执行 5 步：\r\n"
            "    创建文件夹 E:\\P\\Favorites：已存在\r\n"
            "    cmd /cxcopy C:\\Docume~1\\%USERNAME%\\Favori~1\\*.* E:\\P\\Favorites\\ /e /y\r\n"
            "    复制 C:\\Docume~1\\%USERNAME%\\Favori~1 → E:\\P\\Favorites\\：约 12 个文件，4096 字节\r\n"
            "    HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\Favorites: （无） → "
            "REG_SZ \"E:\\P\\Favorites\"\r\n"
            "    HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders\\Favorites: （无） → "
            "REG_SZ \"E:\\P\\Favorites\"\r\n"
            "    HKEY_USERS\\.DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\Favorites: （无） → "
            "REG_SZ \"E:\\P\\Favorites\"\r\n"
            "==== 结束，退出码 0\r\n");
}

// The relocation target is checked before the first step of the first
// section: a drive that is not there is exit 2 with nothing changed.
TEST_F(UnattendedTest, AnUnusableTargetStopsTheRunBeforeAnythingChanges) {
  const char* const cases[][2] = {
      {"Q:\\Nowhere", "所在的驱动器或共享“Q:\\”不存在"},
      {"D:\\资料\\文件", "的路径上已有文件“D:\\资料\\文件”"},
      {"D:\\%USERNAME%", "含有环境变量的名称"},
  };
  for (const auto& [target, why] : cases) {
    SetUp();
    fake::GetState().missing_folders.insert("Q:\\");
    fake::GetState().files["D:\\资料\\文件"] = "x";
    fake::GetState().environment["USERNAME"] = "tom";
    const std::string file = std::string("[优化]\n加快菜单显示速度=1\n[转资料]\n目标=") + target + "\n桌面=1\n";
    EXPECT_EQ(Apply(file), kExitBadInput) << target;
    EXPECT_EQ(Actions(), std::vector<Call>{}) << target;
    EXPECT_NE(Log().find(why), std::string::npos) << Log();
    EXPECT_NE(Log().find("未做任何更改"), std::string::npos) << Log();
  }
}

}  // namespace
}  // namespace lumeno
