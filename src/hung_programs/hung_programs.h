// Finding and ending programs whose windows no longer respond.
#pragma once

#include <vector>

#include "platform/text.h"

namespace lumeno {

// Click handler of 按钮2 "关闭无响应的程序".
void CloseHungPrograms();

// Titles of the visible top-level windows that do not respond, in window
// enumeration order; empty when none does or the test is unavailable.
std::vector<Text> ListHungWindowTitles();

// Ends the process that owns the top-level window titled name, or else the
// process whose executable file name is name (case-insensitive). False for
// an empty name, no match, or a process that cannot be ended. The program
// never ends itself this way.
bool TerminateProcessByName(const Text& name);

}  // namespace lumeno
