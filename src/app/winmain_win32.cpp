#include <windows.h>

#include "app/layouts.h"
#include "app/main_window.h"
#include "platform/declared_functions.h"
#include "unattended/unattended.h"
#include "platform/platform.h"
#include "ui/window_engine.h"
#include "ui/control_ids.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // System libraries load some others by bare name, which looks in the
  // program's folder first: the common controls take uxtheme.dll so. Loaded
  // from the system folder before anything needs them, those names find the
  // copy already in memory, never one dropped beside the program.
  for (const char* library : {"uxtheme.dll"}) lumeno::LoadSystemLibrary(library);
  // Unattended runs press buttons through the same event bindings as clicks.
  lumeno::UseWindowLayouts(lumeno::ProgramWindowLayouts(), lumeno::ProgramEventBindings());
  lumeno::UseTooltips(lumeno::ProgramTooltips());
  if (int exit_code = 0; lumeno::RunUnattendedFromCommandLine(&exit_code)) ExitProcess(static_cast<UINT>(exit_code));
  lumeno::InitializePlatform();
  if (lumeno::RunStartRoutine() == 0 && lumeno::LoadStartWindow(lumeno::kMainWindow)) lumeno::RunMessageLoop();
  // Worker threads are never waited for: closing the main window ends them.
  ExitProcess(0);
}

// The default terminate handler of libstdc++ prints a demangled type name and
// brings in the whole demangler (about 45 KB); this program has no console to
// print to, so plain abort() is all it needs.
namespace __gnu_cxx {
void __verbose_terminate_handler() { abort(); }
}  // namespace __gnu_cxx
