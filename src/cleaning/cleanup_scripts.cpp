// The cleanup items of the settings page "清系统" (按钮9 "清理") and its
// select-all box. Lines are raw literals, so they read exactly as they run.
#include "cleaning/cleanup_scripts.h"

#include <vector>

#include "platform/command_outcome.h"
#include "platform/platform.h"
#include "platform/registry_backup.h"

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

static const char* const kContextMenuLines[] = {
    R"(regsvr32 /u /s igfxpph.dll)",
    R"(reg delete HKEY_CLASSES_ROOT\Directory\Background\shellex\ContextMenuHandlers /f)",
    R"(reg add HKEY_CLASSES_ROOT\Directory\Background\shellex\ContextMenuHandlers\new /ve /d {D969A300-E7FF-11d0-A93B-00A0C90F2719})",
    R"(reg delete HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Run /v HotKeysCmds /f)",
    R"(reg delete HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Run /v IgfxTray /f)",
};

// What the lines above do to the registry, for the restore file. What
// regsvr32 /u removes is the library's own business and is not known here.
std::vector<RegistryChange> ContextMenuChanges() {
  return {
      DeleteRegistryTree(kRootClassesRoot, R"(Directory\Background\shellex\ContextMenuHandlers)"),
      SetRegistryItem(kRootClassesRoot, R"(Directory\Background\shellex\ContextMenuHandlers\new\)",
                      Text("{D969A300-E7FF-11d0-A93B-00A0C90F2719}")),
      DeleteRegistryValue(kRootLocalMachine, R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Run)", "HotKeysCmds"),
      DeleteRegistryValue(kRootLocalMachine, R"(SOFTWARE\Microsoft\Windows\CurrentVersion\Run)", "IgfxTray"),
  };
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

bool IsItemTicked(ControlId box) { return IsTicked(kSettingsWindow, box); }

// C:\Windows\Temp is writable by every user, so a file of the script's name
// may have been planted there. Only a file this call has just created anew is
// run; if that cannot be made, whatever sits at the path is not ours to run.
// A script counts as done once it runs: its last line deletes the script
// itself, so its exit code says nothing about the cleaning.
void WriteAndRunScript(const char* path, std::span<const char* const> lines, Outcome& outcome) {
  if (!WriteFreshFile(path, CleanupScriptBytes(lines))) {
    outcome.Failed(path, ErrorText(LastError()));
    return;
  }
  const RunResult run = RunCommandLine(path, true, kHiddenWindowMode);
  if (run)
    outcome.Succeeded();
  else
    outcome.Failed(path, ConcatTexts("无法启动：", ErrorText(run.error)));
}

bool AnyCleanupItemTicked() {
  for (ControlId box : kCleanupItems)
    if (IsItemTicked(box)) return true;
  return false;
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

// Lines that find nothing to do (a share that does not exist, a value that is
// already gone, a DLL this machine does not have) are judged by their effect
// and are no failures; the rest of the items still run after a failure.
void RunSystemCleanup() {
  Outcome outcome("系统清理");
  if (IsItemTicked(kJunkBox)) WriteAndRunScript(kJunkScriptPath, kJunkScript, outcome);
  if (IsItemTicked(kLogsBox))
    for (const char* line : kLogDeletionLines) RunJudged(ConcatTexts(kCommandInterpreterPrefix, line), outcome);
  if (IsItemTicked(kContextMenuBox)) {
    // Only this item changes the registry; the items before it do not.
    NoteBackup(BackupBeforeChanges("系统清理", ContextMenuChanges()), outcome);
    for (const char* line : kContextMenuLines) RunJudged(line, outcome);
  }
  if (IsItemTicked(kSharesBox))
    for (const char* line : kShareDeletionLines) RunJudged(line, outcome);
  if (IsItemTicked(kCookiesBox)) WriteAndRunScript(kCookiesScriptPath, kCookiesScript, outcome);
  if (IsItemTicked(kAutorunBox)) WriteAndRunScript(kAutorunScriptPath, kAutorunScript, outcome);

  if (AnyCleanupItemTicked())
    outcome.Report("系统清理成功！");
  else
    ShowMessageBox("请选择欲清理项目！", kStyleStop);
}

void SelectAllCleanupItems() {
  bool all = IsItemTicked(kSelectAllBox);
  for (ControlId box : kCleanupItems) SetTicked(kSettingsWindow, box, all);
}

}  // namespace lumeno
