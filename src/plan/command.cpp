#include "plan/command.h"

#include <algorithm>

#include "plan/execute.h"

namespace lumeno {

CommandRun RunCommand(const Command& command, const Selection& selection) {
  CommandRun run{command.plan(selection), Outcome(command.name), {}};
  if (run.plan.refusal) return run;
  if (command.restore_name) BackUpPlan(run.plan, command.restore_name, run.outcome, &run.restore_files);
  ExecutePlan(run.plan, run.outcome);
  return run;
}

Text RunReportText(const Command& command, const CommandRun& run) {
  if (run.plan.refusal) return run.plan.refusal->text;
  Text text = run.outcome.ReportText(command.current_success_text ? command.current_success_text()
                                                                  : Text(command.success_text));
  if (text.empty()) text = "完成";
  const size_t first_line_end = std::min(text.find("\r\n"), text.size());
  return text.insert(first_line_end, run.outcome.CountsText());
}

void RunCommandInWindow(const Command& command) {
  const CommandRun run = RunCommand(command, WindowSelection());
  if (const std::optional<Refusal>& refusal = run.plan.refusal) {
    ShowMessageBox(refusal->text, refusal->style, refusal->title);
    return;
  }
  if (command.quiet_when_done && !run.outcome.AnyFailed()) return;
  run.outcome.Report(command.success_text, command.success_title);
}

}  // namespace lumeno
