// The two windows of the program as constant data: frames, controls, the
// menu and which handler each event runs. Start-up hands these tables to
// the window engine (UseWindowLayouts).
#pragma once

#include <span>

#include "ui/window_layout.h"

namespace lumeno {

inline constexpr int kProgramIcon = 1;
inline constexpr int kSettingsIcon = 2;

std::span<const WindowLayout> ProgramWindowLayouts();
std::span<const EventBinding> ProgramEventBindings();
// The main window's tweak boxes explain what they write.
std::span<const TooltipSource> ProgramTooltips();

}  // namespace lumeno
