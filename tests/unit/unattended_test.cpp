// Unattended mode against the recording fake: the command line, that each
// section takes the very road of its button (the same recorded calls as
// ticking the same boxes and pressing it), that a bad preset or a missing
// administrator changes nothing, and the log and exit code of a run.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/layouts.h"
#include "app/unattended.h"
#include "cleaning/cleanup_scripts.h"
#include "fakes/recorder.h"
#include "fakes/unattended_fake.h"
#include "platform/headless.h"
#include "relocation/relocation.h"
#include "services/services.h"
#include "support/expected_data.h"
#include "tweaks/optimize.h"
#include "utilities/broadband.h"
#include "utilities/display_presets.h"

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
  void TearDown() override { EXPECT_EQ(ActiveHeadlessSession(), nullptr) << "a session outlived its run"; }

  // Runs the file through the whole of unattended mode with the default log.
  static int Apply(const std::string& preset_file, const Text& path = "D:\\预设\\网吧.ini") {
    fake::GetState().files[path] = preset_file;
    CommandLineRequest request;
    request.kind = Kind::kApply;
    request.preset_path = path;
    return RunUnattended(request);
  }

  static const std::string& Log() { return fake::UnattendedHost().appended["C:\\Lumeno\\lumeno.log"]; }

  // The recorded calls other than reading the preset and writing the log.
  static std::vector<Call> Actions() {
    std::vector<Call> out;
    for (const Call& call : fake::Calls())
      if (call.op != "ReadBytesFromFile" && call.op != "AppendToFile" && call.op != "WriteToConsole" &&
          call.op != "IsAdministrator")
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
  for (const SameAsButton& c : cases) {
    fake::Reset();
    c.click();
    const std::vector<Call> clicked = fake::Calls();
    ASSERT_GT(clicked.size(), 2u) << c.preset;

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
    EXPECT_EQ(Log(), std::string("==== 2026-12-08 14:30:05 PC-07 D:\\预设\\网吧.ini\r\n") + error +
                         "\r\n未做任何更改\r\n==== 结束，退出码 2\r\n");
  }
}

TEST_F(UnattendedTest, UsageErrorsAndUnreadablePresetsExitWithTwo) {
  CommandLineRequest usage = ParseCommandLine("lumeno.exe /apply a.ini /apply b.ini");
  usage.log_path = "E:\\logs\\PC-07.log";
  EXPECT_EQ(RunUnattended(usage), kExitBadInput);
  EXPECT_EQ(fake::UnattendedHost().appended["E:\\logs\\PC-07.log"],
            "==== 2026-12-08 14:30:05 PC-07 a.ini\r\n“/apply”只能出现一次。用法：lumeno.exe /apply <预设文件> "
            "[/log <日志文件>]\r\n==== 结束，退出码 2\r\n");

  CommandLineRequest missing = ParseCommandLine("lumeno.exe /apply D:\\无.ini");
  EXPECT_EQ(RunUnattended(missing), kExitBadInput);
  EXPECT_EQ(Log(), "==== 2026-12-08 14:30:05 PC-07 D:\\无.ini\r\n无法读取预设文件“D:\\无.ini”\r\n==== 结束，退出码 2\r\n");
  EXPECT_EQ(Actions(), std::vector<Call>{});
}

TEST_F(UnattendedTest, WithoutAdministratorOnlyUserSettingsMayRun) {
  fake::UnattendedHost().administrator = false;
  EXPECT_EQ(Apply("[优化]\n加快菜单显示速度=1\n[清系统]\n清空 Cookies=1\n[服务快速优化]\n方案=XP默认\n"),
            kExitNotAdministrator);
  EXPECT_EQ(Actions(), std::vector<Call>{});
  EXPECT_EQ(Log(), "==== 2026-12-08 14:30:05 PC-07 D:\\预设\\网吧.ini\r\n需要管理员权限：预设中的 [服务快速优化] "
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
      "==== 2026-12-08 14:30:05 PC-07 D:\\预设\\网吧.ini\r\n"
      "[优化] 恭喜您，你选择的优化项目已完成！\r\n"
      "[可选服务] 未选择任何项目，跳过\r\n"
      "[分辨率] 1280×1024 ＠60Hz/32位\r\n"
      "[小工具] 宽带连接已成功建立！\r\n"
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
  EXPECT_NE(Log().find("[分辨率] 未能设置为 1280×1024/32位，当前为 1024×768 ＠60Hz/32位\r\n"), std::string::npos)
      << Log();
}

// The restore file a section writes is named in the log, under that section.
TEST_F(UnattendedTest, TheLogNamesEachRestoreFile) {
  fake::SetRegistryValue(4, "SYSTEM\\CurrentControlSet\\Services\\Alerter", "Start", {4, std::string("\2\0\0\0", 4)});
  EXPECT_EQ(Apply("[服务快速优化]\n方案=网吧模式\n"), kExitDone);
  EXPECT_NE(Log().find("[服务快速优化] 服务优化完毕！\r\n"
                       "    备份：C:\\Lumeno\\备份\\20261208-143005 服务优化.reg\r\n==== 结束"),
            std::string::npos)
      << Log();
}

TEST_F(UnattendedTest, AnyReportOtherThanInformationFailsTheRunAndEveryLineIsLogged) {
  // Stand-ins for handlers that report failures, run the way a section runs its buttons.
  Preset preset;
  preset.sections.push_back({"甲", 1, {}, {{kSettingsWindow, 0, [] {
                                                NoteInRunLog("备份：C:\\备份\\1.reg");
                                                ShowMessageBox("完成，但有 1 项未能执行：\r\nsc config a\r\n", 48, "完成");
                                              }, 0}}});
  preset.sections.push_back({"分辨率", 2, {}, {{kSettingsWindow, settings_controls::kApplyPresetButton, nullptr, settings_controls::kModeLabel}}});
  preset.sections.push_back({"乙", 3, {}, {{kSettingsWindow, 0, [] { ShowMessageBox("好", 64, "完成"); }, 0}}});
  std::vector<std::string> log;
  EXPECT_EQ(RunPresetSections(preset, [&](std::string_view line) { log.emplace_back(line); }), kExitStepFailed);
  EXPECT_EQ(log, (std::vector<std::string>{"[甲] 完成，但有 1 项未能执行：\r\nsc config a\r\n", "    备份：C:\\备份\\1.reg",
                                           "[分辨率] 请选择合适的分辨率！", "[乙] 好"}));
  EXPECT_EQ(LogLineBytes(log[0]), "[甲] 完成，但有 1 项未能执行：\r\n    sc config a\r\n");
  EXPECT_EQ(LogLineBytes("a\nb\n\nc"), "a\r\n    b\r\n    c\r\n");

  Preset one_fine;
  one_fine.sections.push_back(preset.sections[2]);
  EXPECT_EQ(RunPresetSections(one_fine, [](std::string_view) {}), kExitDone);
}

TEST_F(UnattendedTest, AFatalErrorIsLoggedInsteadOfShown) {
  Preset preset;
  preset.sections.push_back({"甲", 1, {}, {{kSettingsWindow, 0, [] { FatalError(6, "堆栈错误"); }, 0}}});
  std::vector<std::string> log;
  EXPECT_THROW(RunPresetSections(preset, [&](std::string_view line) { log.emplace_back(line); }), fake::FatalExit);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].rfind("[甲] 运行时出错!", 0), 0u) << log[0];
  EXPECT_NE(log[0].find("堆栈错误"), std::string::npos);
  EXPECT_EQ(log[1], "==== 结束，退出码 1");
}

}  // namespace
}  // namespace lumeno
