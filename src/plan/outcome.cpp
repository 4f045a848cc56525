#include "plan/outcome.h"

#include <utility>

namespace lumeno {

namespace {

// A box taller than the screen hides its OK button; the rest is counted.
constexpr int kListedFailures = 10;

}  // namespace

Outcome::Outcome(Text command_name) : command_name_(std::move(command_name)) {}

void Outcome::Succeeded() { ++changed_; }

void Outcome::Unchanged() { ++unchanged_; }

void Outcome::Stop(Text message) {
  stop_message_ = std::move(message);
  failures_.push_back({"", stop_message_});
}

Text Outcome::CountsText() const {
  Text text = ConcatTexts("（已更改 ", ToText(changed_), " 项，无需更改 ", ToText(unchanged_), " 项");
  if (AnyFailed()) text += ConcatTexts("，未能执行 ", ToText(failures()), " 项");
  return text + "）";
}

void Outcome::Failed(Text what, Text why) { failures_.push_back({std::move(what), std::move(why)}); }

int Outcome::ReportStyle() const {
  if (!AnyFailed()) return kStyleInformation;
  if (!stop_message_.empty()) return kStyleStop;
  return successes() == 0 ? kStyleStop : kStyleWarning;
}

Text Outcome::ReportText(const Text& success_text) const {
  if (!AnyFailed()) return success_text;
  if (!stop_message_.empty()) return stop_message_;
  const Text count = ToText(failures());
  Text text;
  if (successes() > 0)
    text = ConcatTexts(command_name_, "完成，但有 ", count, " 项未能执行：");
  else if (failures() == 1)
    text = ConcatTexts(command_name_, "未能完成：");
  else
    text = ConcatTexts(command_name_, "未能完成，", count, " 项均未能执行：");
  int listed = 0;
  for (const Failure& failure : failures_) {
    if (listed == kListedFailures) break;
    text += ConcatTexts("\r\n", failure.what, "：", failure.why);
    ++listed;
  }
  if (failures() > listed) text += ConcatTexts("\r\n……另有 ", ToText(failures() - listed), " 项");
  return text;
}

void Outcome::Report(const Text& success_text, const Text& success_title) const {
  ShowMessageBox(ReportText(success_text), ReportStyle(), success_title);
}

Text ExitCodeText(uint32_t exit_code) {
  // Exit codes above 0x7FFFFFFF are the status of a crash: they read in hex.
  return ConcatTexts("退出代码 ", exit_code > 0x7FFFFFFFu ? "0x" + HexText(exit_code, 8, true) : UnsignedText(exit_code));
}

Text ErrorText(uint32_t code) { return SystemErrorText(code); }

}  // namespace lumeno
