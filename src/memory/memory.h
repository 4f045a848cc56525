// The RAM gauge and working-set trimming.
#pragma once

namespace lumeno {

void UpdateMemoryGauge();
// Sets the trimming timer and the state text from the switch 选择框18.
void ApplyMemoryOptimisationSwitch();
void ToggleMemoryOptimisation();
void StartTrimPass();
void TrimAllWorkingSets();

// Kind 0 total, 1 available physical memory, in whole megabytes.
inline constexpr int kTotalMemory = 0;
inline constexpr int kAvailableMemory = 1;
int QueryMemoryMB(int kind);

// The percentage of memory in use that the gauge shows, 0 to 100. A total of
// 0 (a failed query) shows 0.
int UsedMemoryPercent(int available_mb, int total_mb);

}  // namespace lumeno
