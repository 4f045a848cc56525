// A command as both the windows and the unattended mode run it: its plan is
// built from a selection, its restore file written from the plan, the plan
// carried out, and its outcome reported — in a message box in the window, in
// the log under /apply. Portable.
#pragma once

#include "plan/outcome.h"
#include "plan/plan.h"
#include "ui/controls.h"

namespace lumeno {

// The states of the controls a command reads: the window's own, or a
// preset's, which stands in for the window under /apply.
class Selection {
 public:
  virtual ~Selection() = default;
  virtual bool Ticked(WindowId window, ControlId control) const = 0;
  virtual Text TextOf(WindowId window, ControlId control) const = 0;
};

// The controls of the program's windows, read when asked (ReadProperty).
class WindowSelection final : public Selection {
 public:
  bool Ticked(WindowId window, ControlId control) const override { return IsTicked(window, control); }
  Text TextOf(WindowId window, ControlId control) const override { return ReadText(window, control); }
};

struct CommandRun {
  Plan plan;
  Outcome outcome;
  std::vector<Text> restore_files;
};

struct Command {
  const char* name;           // as a report names it, e.g. "服务优化"
  const char* restore_name;   // the restore file's name, e.g. "服务优化"; nullptr: it writes none
  const char* success_text;   // the message when nothing failed
  const char* success_title;
  Plan (*plan)(const Selection& selection);
  bool quiet_when_done = false;  // the window shows a box only when something failed
  Text (*current_success_text)() = nullptr;  // when set, the success message is made afresh each time
};

// What a run says when nothing failed, or its failure list; the counts
// (Outcome::CountsText) end its first line. A refused run says its refusal.
Text RunReportText(const Command& command, const CommandRun& run);


// Plan, restore file, steps: the one road every command takes. A refused
// plan (nothing selected, unusable input) runs nothing and writes no file.
CommandRun RunCommand(const Command& command, const Selection& selection);

// The road from a click: the selection read from the windows, and the
// outcome shown as the command's message box (or the refusal's).
void RunCommandInWindow(const Command& command);

}  // namespace lumeno
