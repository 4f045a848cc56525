// How the platform layer recognises the program's own windows.
//
// The window engine marks every top-level window it creates with the window
// property kWindowIdProperty (SetPropA), whose value is the WindowId. The
// platform layer finds an owner window by that mark among the windows of the
// calling thread, so that neither side needs the other's tables and a worker
// thread, which owns no window, never gets an owner.
#pragma once

#include <windows.h>

#include <vector>

namespace lumeno {

inline constexpr char kWindowIdProperty[] = "LumenoWindowId";

// A window disabled while another one is in front, and whether it was
// enabled before.
struct DisabledWindow {
  HWND window;
  bool was_enabled;
};

// Each window of the list that still exists gets its former state back.
void EnableWindowsAgain(const std::vector<DisabledWindow>& windows);

}  // namespace lumeno
