// Carrying out a plan: each step in order, judged by what it was meant to
// achieve, and counted in the outcome. Exit codes alone mislead: sc says 1060
// for a service this system does not have, net says 2 both for a real
// failure and for a service that already runs, reg 1 for a value that is
// already gone. Each kind of step has one rule here, by the tool's documented
// exit codes and, where those cannot tell, by asking the system afterwards
// whether the effect is there.
#pragma once

#include "plan/outcome.h"
#include "plan/plan.h"

namespace lumeno {

// Runs the steps in order. Every command line runs byte for byte, even when
// its effect is in place already; only a value write whose type and bytes
// are there already is skipped. A failed step of a group skips the rest of
// that group, uncounted.
void ExecutePlan(const Plan& plan, Outcome& outcome);

// The restore file of a plan, written before any of its steps runs: the
// registry values and start types it changes and the files it replaces. A
// restore file that is needed and cannot be written is a failure of the
// command (its steps still run). command: the file's name.
void BackUpPlan(const Plan& plan, std::string_view command, Outcome& outcome, std::vector<Text>* paths = nullptr);

}  // namespace lumeno
