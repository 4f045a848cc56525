// Handlers of MainWindow that belong to no feature of their own.
#pragma once

namespace lumeno {

void TrimOwnWorkingSet();
void RunOptimize();
void CloseHungPrograms();
void InvertItemSelection();
void OpenSettingsWindow();

}  // namespace lumeno
