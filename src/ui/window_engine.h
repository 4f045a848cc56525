// The window engine's entry points for start-up. The control operations it
// implements (ReadProperty, WriteProperty, FindControlByTag, LoadWindow) are
// declared in platform/platform.h.
#pragma once

#include "platform/platform.h"
#include "ui/controls.h"

namespace lumeno {

// Builds and shows the start window; closing it ends the message loop.
bool LoadStartWindow(WindowId window);

// Runs until the start window is closed; returns the exit code it posted.
int RunMessageLoop();

}  // namespace lumeno
