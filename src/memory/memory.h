// The RAM gauge and working-set trimming.
#pragma once

namespace lumeno {

void UpdateMemoryGauge();
void InitSettingsWindow();
void ToggleMemoryOptimisation();
void StartTrimPass();
void TrimAllWorkingSets();
// Kind 0 total, 1 available physical memory, in whole megabytes.
int QueryMemoryMB(int kind);

}  // namespace lumeno
