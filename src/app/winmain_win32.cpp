#include <windows.h>

#include "app/main_window.h"
#include "platform/platform.h"
#include "ui/window_engine.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  lumeno::InitializePlatform();
  if (lumeno::RunStartRoutine() == 0 && lumeno::LoadStartWindow(lumeno::kMainWindow)) lumeno::RunMessageLoop();
  // Worker threads are never waited for: closing the main window ends them.
  ExitProcess(0);
}
