#include "app/main_window.h"

namespace lumeno {

void TrimOwnWorkingSet() {}
void RunOptimize() {}
void CloseHungPrograms() {}
void InvertItemSelection() {}
void OpenSettingsWindow() {}

}  // namespace lumeno
