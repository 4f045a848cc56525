// Display resolution presets.
#pragma once

#include "plan/command.h"
#include "platform/platform.h"
#include "ui/control_ids.h"

namespace lumeno {

// 按钮1 "设置" of the page "分辨率": the ticked presets' display modes.
extern const Command kResolutionCommand;

// "1024×768 ＠60Hz/32位": the mode the screen has now, as the label shows it.
Text CurrentDisplayModeText();

void ApplyResolutionPreset();
void ShowCurrentDisplayMode();

// The mode the preset of that radio button sets (its refresh rate is asked
// for, not promised); false for any other control.
bool ResolutionPresetMode(ControlId radio, DisplayMode* mode);

}  // namespace lumeno
