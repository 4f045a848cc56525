// Handlers of MainWindow that belong to no feature of their own.
#pragma once

namespace lumeno {

// The start-up routine that runs before the start window; 0 lets start-up go on.
int RunStartRoutine();

void TrimOwnWorkingSet();
void InvertItemSelection();
void OpenSettingsWindow();

}  // namespace lumeno
