// Display resolution presets.
#pragma once

namespace lumeno {

void ApplyResolutionPreset();
void ShowCurrentDisplayMode();

}  // namespace lumeno
