// Display resolution presets.
#pragma once

#include "platform/platform.h"

namespace lumeno {

void ApplyResolutionPreset();
void ShowCurrentDisplayMode();

// The mode the preset of that radio button sets (its refresh rate is asked
// for, not promised); false for any other control.
bool ResolutionPresetMode(ControlId radio, DisplayMode* mode);

}  // namespace lumeno
