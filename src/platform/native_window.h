// How the platform layer recognises the program's own windows.
//
// The window engine marks every top-level window it creates with the window
// property kWindowIdProperty (SetPropA), whose value is the WindowId. The
// platform layer finds an owner window by that mark among the windows of the
// calling thread, so that neither side needs the other's tables and a worker
// thread, which owns no window, never gets an owner.
#pragma once

namespace lumeno {

inline constexpr char kWindowIdProperty[] = "LumenoWindowId";

}  // namespace lumeno
