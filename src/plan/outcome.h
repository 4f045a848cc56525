// How a command's steps went, collected while it runs and reported once at
// its end. A command that saw no failure shows its usual success message,
// unchanged; otherwise one box lists what failed and why.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace lumeno {

class Outcome {
 public:
  // The command as the report names it, e.g. "服务优化".
  explicit Outcome(Text command_name);

  // A step that did its work and changed something.
  void Succeeded();
  // A step whose effect was in place already: a value that held what it
  // writes, a start type already set, a service not installed, a service
  // already running.
  void Unchanged();
  // what: the service, folder, file or registry value; why: the system's
  // own text or the exit code (see ExitCodeText, ErrorText).
  void Failed(Text what, Text why);
  // The command could not go on and changed nothing: the report is this text
  // alone, with the stop icon.
  void Stop(Text message);

  bool AnyFailed() const { return !failures_.empty() || !stop_message_.empty(); }
  int failures() const { return static_cast<int>(failures_.size()); }
  int successes() const { return changed_ + unchanged_; }
  int changed() const { return changed_; }
  int unchanged() const { return unchanged_; }

  // "（已更改 N 项，无需更改 M 项）", with "，未能执行 K 项" before the
  // closing bracket when something failed: what a log says of a run.
  Text CountsText() const;

  // The success box when nothing failed; otherwise one box with the same
  // title, style 48 when some steps succeeded, 16 when none did.
  void Report(const Text& success_text, const Text& success_title = kDefaultMessageTitle) const;

  // What Report shows, for callers that report elsewhere.
  Text ReportText(const Text& success_text) const;
  int ReportStyle() const;

 private:
  struct Failure {
    Text what;
    Text why;
  };
  Text command_name_;
  int changed_ = 0;
  Text stop_message_;
  int unchanged_ = 0;
  std::vector<Failure> failures_;
};

// "退出代码 N"
Text ExitCodeText(uint32_t exit_code);
// The system's text for an error code (SystemErrorText).
Text ErrorText(uint32_t code);

}  // namespace lumeno
