#include "memory/memory.h"

namespace lumeno {

void UpdateMemoryGauge() {}
void InitSettingsWindow() {}
void ToggleMemoryOptimisation() {}
void StartTrimPass() {}
void TrimAllWorkingSets() {}

}  // namespace lumeno
