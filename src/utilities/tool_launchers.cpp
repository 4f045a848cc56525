#include "utilities/tool_launchers.h"
#include "ui/control_ids.h"

namespace lumeno {

namespace {

constexpr LaunchMethod kRun = LaunchMethod::kRun;
constexpr LaunchMethod kShell = LaunchMethod::kShellOpen;

// Explorer on My Computer \ Control Panel \ Scheduled Tasks, one shell
// folder class identifier per step.
constexpr char kScheduledTasksFolder[] =
    "explorer.exe ::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\::{21EC2020-3AEA-1069-A2DD-08002B30309D}"
    "\\::{D6277990-4C6A-11CF-8D87-00AA0060F5BF}";

const ToolLauncher kToolLaunchers[] = {
    {0x160102DA, "注册表",   kRun,   kVerbNone, "regedit.exe"},
    {0x160102D9, "组策略",   kShell, kVerbNone, "gpedit.msc"},
    {0x160102D8, "DX诊断",   kRun,   kVerbNone, "dxdiag.exe"},
    {0x160102D7, "系统配置", kRun,   kVerbNone, "msconfig.exe"},
    {0x160102D6, "设备管理", kShell, kVerbOpen, "devmgmt.msc"},
    {0x160102D5, "远程桌面", kRun,   kVerbNone, "mstsc.exe"},
    {0x160102D4, "服务配置", kShell, kVerbNone, "services.msc"},
    {0x160102D3, "磁盘检测", kRun,   kVerbNone, "chkdsk.exe"},
    {0x160102D2, "共享管理", kShell, kVerbNone, "fsmgmt.msc"},
    {0x160102D1, "程序卸载", kShell, kVerbNone, "appwiz.cpl"},
    {0x160102D0, "控制面板", kRun,   kVerbNone, "control.exe"},
    {0x160102CF, "XP更新",   kShell, kVerbNone, "wuaucpl.cpl"},
    {0x160102CE, "计划任务", kRun,   kVerbNone, kScheduledTasksFolder},
    {0x160102CD, "事件查看", kShell, kVerbNone, "eventvwr.msc"},
    {0x160102CC, "证书管理", kShell, kVerbNone, "certmgr.msc"},
};

}  // namespace

const ToolLauncher* FindToolLauncher(ControlId button) {
  for (const ToolLauncher& launcher : kToolLaunchers)
    if (launcher.button == button) return &launcher;
  return nullptr;
}

void LaunchTool(uint32_t button) {
  const ToolLauncher* launcher = FindToolLauncher(button);
  if (!launcher) return;
  if (launcher->method == LaunchMethod::kRun)
    RunCommandLine(launcher->target);
  else
    ShellOpen(launcher->verb, launcher->target);
}

// The "wait" keyword keeps the call until the tray has finished moving.
void EjectCdTray() { SendMultimediaCommand("Set cdaudio door open wait"); }
void CloseCdTray() { SendMultimediaCommand("Set cdaudio door closed wait"); }

}  // namespace lumeno
