// The cleanup items of the settings page "清系统" (按钮9 "清理") and its
// select-all box. Lines are raw literals, so they read exactly as they run.
#include "cleaning/cleanup_scripts.h"

#include <iterator>
#include <vector>

#include "plan/command.h"
#include "platform/platform.h"
#include "platform/platform_rules.h"
#include "undo/restore_file.h"
#include "ui/controls.h"

namespace lumeno {
namespace {

// ---------------------------------------------------------------------------
// Scripts

static const char* const kJunkScriptPath = R"(C:\Windows\Temp\QingLi.cmd)";
static const char* const kJunkScript[] = {
    R"(del /f /s /q %systemdrive%\*.tmp)",
    R"(del /f /s /q %systemdrive%\*._mp)",
    R"(del /f /s /q %systemdrive%\*.gid)",
    R"(del /f /s /q %systemdrive%\*.chk)",
    R"(del /f /s /q %systemdrive%\recycled\*.*)",
    R"(del /f /s /q %windir%\*.bak)",
    R"(del /f /s /q %windir%\*.tmp)",
    R"(del /f /s /q %windir%\prefetch\*.*)",
    R"(rd /s /q %windir%\temp & md %windir%\temp)",
    R"(rd /s /q %temp% & md %temp%)",
    R"(del /f /q %userprofile%\recent\*.*)",
    R"(del /f /s /q "%userprofile%\Local Settings\Temporary Internet Files\*.*")",
    R"(del /f /s /q "%userprofile%\Local Settings\Temp\*.*")",
    R"(del /f /s /q %userprofile%\recent\*.*)",
    R"(del /f /s /q D:\Personal\Temp\*.*)",
    R"(rd /s /q D:\Personal\Temp)",
    R"(del /f /s /q "D:\Personal\Temporary Internet Files\*.*")",
    R"(del /f /s /q D:\Personal\Recent\*.*)",
    R"(del %0)",
};

static const char* const kCookiesScriptPath = R"(C:\Windows\Temp\DelCookies.cmd)";
static const char* const kCookiesScript[] = {
    R"(del /f /s /a /q "%USERPROFILE%\Cookies\*.*" )",
    R"(del %0)",
};

static const char* const kAutorunScriptPath = R"(C:\Windows\Temp\autorun_inf.cmd)";
static const char* const kAutorunScript[] = {
    R"(taskkill /im explorer.exe /f)",
    R"(for %%a in (C D E F G H I J K L M N O P Q R S T U V W X Y Z) do @()",
    R"(    if exist %%a: ()",
    R"(        rd %%a:\autorun.inf /s /q)",
    R"(        del %%a:\autorun.inf /f /q)",
    R"(        mkdir %%a:\autorun.inf)",
    R"(        mkdir %%a:\autorun.inf\"病毒免疫勿删除../" )",
    R"(        attrib +h +r +s %%a:\autorun.inf)",
    R"(        )",
    R"(    ) )",
    R"())",
    R"(start explorer.exe)",
    R"()",
    R"(del %0)",
};

// ---------------------------------------------------------------------------
// Command lines

// del and the %…% variables belong to the command interpreter.
static const char* const kCommandInterpreterPrefix = "cmd /c ";
static const char* const kLogDeletionLines[] = {
    R"(del /f /s /q %systemdrive%\*.log)",
    R"(del /f /s /q %systemdrive%\*.old)",
    R"(del /f /s /q %windir%\*.log)",
};

// Each line with what it does to the registry (for the restore file and for
// judging it: a deleted key or value must be gone afterwards). What regsvr32
// /u removes is the library's own business and is not known here.
struct ContextMenuLine {
  const char* line;
  CommandCheck check;
  const char* key_path;    // under the root below; the deleted key, or the key of the deleted or written value
  const char* value_name;  // a deleted value, or nullptr
  int root;
};

constexpr const char* kHandlersKey = R"(Directory\Background\shellex\ContextMenuHandlers)";
constexpr const char* kRunKey = R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Run)";
static const ContextMenuLine kContextMenuLines[] = {
    {R"(regsvr32 /u /s igfxpph.dll)", CommandCheck::kUnregistered, nullptr, nullptr, 0},
    {R"(reg delete HKEY_CLASSES_ROOT\Directory\Background\shellex\ContextMenuHandlers /f)", CommandCheck::kRegistryGone,
     kHandlersKey, nullptr, kRootClassesRoot},
    {R"(reg add HKEY_CLASSES_ROOT\Directory\Background\shellex\ContextMenuHandlers\new /ve /d {D969A300-E7FF-11d0-A93B-00A0C90F2719})",
     CommandCheck::kExitCode, nullptr, nullptr, kRootClassesRoot},
    {R"(reg delete HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Run /v HotKeysCmds /f)",
     CommandCheck::kRegistryGone, kRunKey, "HotKeysCmds", kRootLocalMachine},
    {R"(reg delete HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Run /v IgfxTray /f)",
     CommandCheck::kRegistryGone, kRunKey, "IgfxTray", kRootLocalMachine},
};

// The restore file needs the new key's default value as reg add stores it.
constexpr const char* kNewHandlerItem = R"(Directory\Background\shellex\ContextMenuHandlers\new\)";
constexpr const char* kNewHandlerValue = "{D969A300-E7FF-11d0-A93B-00A0C90F2719}";

void AddContextMenuLines(PlanBuilder& plan) {
  for (const ContextMenuLine& entry : kContextMenuLines) {
    Step& step = plan.RunCommand(entry.line, entry.check);
    if (entry.check == CommandCheck::kUnregistered) {
      step.what = "注销 igfxpph.dll";
      continue;
    }
    step.root = entry.root;
    if (entry.check == CommandCheck::kExitCode) {
      step.changes.push_back(SetRegistryItem(kRootClassesRoot, kNewHandlerItem, Text(kNewHandlerValue)));
      continue;
    }
    step.key_path = entry.key_path;
    step.value_name = entry.value_name ? entry.value_name : "";
    step.what = ConcatTexts("注册表 ", RootKeyName(entry.root), "\\", entry.key_path,
                            entry.value_name ? "\\" : "", step.value_name);
    step.changes.push_back(entry.value_name ? DeleteRegistryValue(entry.root, entry.key_path, entry.value_name)
                                            : DeleteRegistryTree(entry.root, entry.key_path));
  }
}

static const char* const kShareDeletionLines[] = {
    "net share C$ /del",
    "net share d$ /del",
    "net share e$ /del",
    "net share f$ /del",
    "net share g$ /del",
    "net share h$ /del",
    "net share i$ /del",
    "net share j$ /del",
    "net share k$ /del",
    "net share l$ /del",
    "net share m$ /del",
    "net share n$ /del",
    "net share o$ /del",
    "net share p$ /del",
    "net share q$ /del",
    "net share r$ /del",
    "net share s$ /del",
    "net share t$ /del",
    "net share u$ /del",
    "net share v$ /del",
    "net share w$ /del",
    "net share x$ /del",
    "net share y$ /del",
    "net share z$ /del",
    "net share ipc$ /del ",
    "net share admin$ /del ",
};

// ---------------------------------------------------------------------------
// Check boxes

using namespace settings_controls;

static const ControlId kCleanupItems[] = {kJunkBox, kLogsBox, kContextMenuBox, kSharesBox, kCookiesBox, kAutorunBox};

// C:\Windows\Temp is writable by every user, so a file of the script's name
// may have been planted there. Only a file this run has just created anew is
// run; if that cannot be made, whatever sits at the path is not ours to run.
// A script counts as done once it runs: its last line deletes the script
// itself, so its exit code says nothing about the cleaning.
void AddScript(PlanBuilder& plan, const char* path, std::span<const char* const> lines) {
  plan.RunScript(path, CleanupScriptBytes(lines), FileWriteMode::kFresh, kHiddenWindowMode);
}

// Lines that find nothing to do (a share that does not exist, a value that is
// already gone, a DLL this machine does not have) are judged by their effect
// and are no failures; the rest of the items still run after a failure.
Plan PlanSystemCleanup(const Selection& selection) {
  bool ticked[std::size(kCleanupItems)];
  for (size_t i = 0; i < std::size(kCleanupItems); ++i) ticked[i] = selection.Ticked(kSettingsWindow, kCleanupItems[i]);
  PlanBuilder plan;
  if (ticked[0]) AddScript(plan, kJunkScriptPath, kJunkScript);
  if (ticked[1])
    for (const char* line : kLogDeletionLines)
      plan.RunCommand(ConcatTexts(kCommandInterpreterPrefix, line), CommandCheck::kFilesDeleted).what = line;
  if (ticked[2]) AddContextMenuLines(plan);
  if (ticked[3])
    for (const char* line : kShareDeletionLines) {
      const std::vector<Text> words = SplitQuotedWords(line);
      plan.RunCommand(line, CommandCheck::kShareGone, words[2]);
    }
  if (ticked[4]) AddScript(plan, kCookiesScriptPath, kCookiesScript);
  if (ticked[5]) AddScript(plan, kAutorunScriptPath, kAutorunScript);
  if (plan.plan().steps.empty()) return RefusedPlan("请选择欲清理项目！");
  return plan.Finish();
}

}  // namespace

Text CleanupScriptBytes(std::span<const char* const> lines) {
  Text bytes;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) bytes += "\r\n";
    bytes += lines[i];
  }
  return bytes;
}

const Command kSystemCleanupCommand = {"系统清理", "系统清理", "系统清理成功！", kDefaultMessageTitle,
                                       PlanSystemCleanup};

void RunSystemCleanup() { RunCommandInWindow(kSystemCleanupCommand); }

void SelectAllCleanupItems() {
  bool all = IsTicked(kSettingsWindow, kSelectAllBox);
  for (ControlId box : kCleanupItems) SetTicked(kSettingsWindow, box, all);
}

}  // namespace lumeno
