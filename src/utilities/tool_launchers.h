// System tool launchers and the CD tray buttons.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "ui/control_ids.h"

namespace lumeno {

enum class LaunchMethod { kRun, kShellOpen };

// One launcher button of the page "小工具": the tool is either started by
// command line or opened through the shell (snap-ins, Control Panel files).
struct ToolLauncher {
  ControlId button;
  const char* caption;
  LaunchMethod method;
  int verb;  // ShellOpen verb number; kVerbNone lets the shell pick the default action
  const char* target;
};

// The launcher row of a button, or nullptr when the button has none.
const ToolLauncher* FindToolLauncher(ControlId button);

// Click handler of a launcher button of the page "小工具" (按钮11 to 按钮25).
void LaunchTool(uint32_t button);
void EjectCdTray();
void CloseCdTray();

// Sends a command string to the multimedia command interpreter
// (mciSendStringA, no return buffer, no callback window); true when it
// reports no error. Defined in cd_tray_win32.cpp.
bool SendMultimediaCommand(const Text& command);

}  // namespace lumeno
