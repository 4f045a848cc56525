// The RAM gauge of the main window and the periodic working-set trimming
// switched from the settings window.
#include "memory/memory.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/platform.h"
#include "ui/controls.h"

namespace lumeno {

namespace {

using main_controls::kGaugeBar;
using main_controls::kGaugeLabel;
constexpr ControlId kOptimisationSwitch = settings_controls::kMemorySwitch;
using settings_controls::kTrimTimer;
constexpr ControlId kOptimisationState = settings_controls::kMemoryState;

constexpr int kTrimInterval = 3500;  // milliseconds; 0 stops the timer

constexpr uint32_t kMaxProcessesPerPass = 1024;
constexpr uint32_t kProcessAllAccess = 0x1F0FFF;
constexpr intptr_t kEmptyWorkingSet = -1;

}  // namespace

// The timer's interval is the only record of whether trimming is on.
void ApplyMemoryOptimisationSwitch() {
  if (IsTicked(kSettingsWindow, kOptimisationSwitch)) {
    WriteProperty(kSettingsWindow, kTrimTimer, kPropertyInterval, PropertyValue::Number(kTrimInterval));
    SetText(kSettingsWindow, kOptimisationState, "内存优化开启");
  } else {
    WriteProperty(kSettingsWindow, kTrimTimer, kPropertyInterval, PropertyValue::Number(0));
    SetText(kSettingsWindow, kOptimisationState, "内存优化关闭");
  }
}

int UsedMemoryPercent(int available_mb, int total_mb) {
  // A failed query reports 0 MB; there is nothing to show then.
  if (total_mb <= 0) return 0;
  const int free_percent = ToInteger(static_cast<double>(available_mb) / total_mb * 100);
  // Figures read a moment apart can disagree; keep the gauge in its range.
  return std::clamp(100 - free_percent, 0, 100);
}

void UpdateMemoryGauge() {
  const int available = QueryMemoryMB(kAvailableMemory);
  const int total = QueryMemoryMB(kTotalMemory);
  const int used = UsedMemoryPercent(available, total);
  SetText(kMainWindow, kGaugeLabel, ConcatTexts("RAM内存使用情况（", ToText(used), "%）："));
  WriteProperty(kMainWindow, kGaugeBar, kPropertyPosition, PropertyValue::Number(used));
}

void ToggleMemoryOptimisation() { ApplyMemoryOptimisationSwitch(); }

// Passes may overlap when one takes longer than a tick; each has its own
// buffer and touches no control, so they need no lock.
void StartTrimPass() { StartThread(TrimAllWorkingSets); }

void TrimAllWorkingSets() {
  std::vector<uint32_t> ids(kMaxProcessesPerPass, 0);
  uint32_t bytes_returned = 0;
  CallEnumProcesses(ids.data(), kMaxProcessesPerPass * sizeof(uint32_t), &bytes_returned);
  const uint32_t count = std::min(bytes_returned / 4, kMaxProcessesPerPass);
  for (uint32_t i = 0; i < count; ++i) {
    const uintptr_t process = CallOpenProcess(kProcessAllAccess, false, ids[i]);
    if (process == 0) continue;
    CallSetProcessWorkingSetSize(DeclaredFunction::kSetProcessWorkingSetSize, process, kEmptyWorkingSet,
                                 kEmptyWorkingSet);
    CallCloseHandle(process);
  }
}

}  // namespace lumeno
