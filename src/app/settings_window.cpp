#include "app/settings_window.h"

#include "memory/memory.h"
#include "utilities/display_presets.h"

namespace lumeno {

void InitSettingsWindow() {
  ShowCurrentDisplayMode();
  ApplyMemoryOptimisationSwitch();
}

}  // namespace lumeno
