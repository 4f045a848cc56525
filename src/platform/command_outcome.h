// Judging a finished command line by what it was meant to achieve. Exit codes
// alone mislead: sc says 1060 for a service this system does not have, net
// says 2 both for a real failure and for a service that already runs, reg 1
// for a value that is already gone. Each tool the program starts has one rule
// here, by its documented exit codes and, where those cannot tell, by asking
// the system afterwards whether the effect is there.
#pragma once

#include <string_view>

#include "platform/outcome.h"
#include "platform/platform.h"

namespace lumeno {

struct CommandJudgement {
  bool done = false;
  Text what;  // the service, share, registry key, file pattern or folder the line is about
  Text why;   // why it counts as failed; empty when done
};

CommandJudgement JudgeCommandLine(std::string_view command_line, const RunResult& result);

// Runs the line, waits for it (mode: a window mode of RunCommandLine), judges
// it and counts it in outcome. True when it counts as done.
bool RunJudged(const Text& command_line, Outcome& outcome, WindowMode mode = kHiddenWindowMode);

}  // namespace lumeno
