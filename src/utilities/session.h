// Log-off, restart, shut-down, about and the author page (menu of MainWindow).
#pragma once

namespace lumeno {

void LogOff();
void Restart();
void ShutDown();
void ShowAbout();
void OpenAuthorPage();

}  // namespace lumeno
