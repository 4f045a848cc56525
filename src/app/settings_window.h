// Handlers of SettingsWindow that belong to no feature of their own.
#pragma once

namespace lumeno {

// Created handler: the current display mode and the memory switch's state,
// before the window is first shown.
void InitSettingsWindow();

}  // namespace lumeno
