#include "platform/outcome.h"

#include <cstdio>
#include <utility>

namespace lumeno {

namespace {

// A box taller than the screen hides its OK button; the rest is counted.
constexpr int kListedFailures = 10;

}  // namespace

Outcome::Outcome(Text command_name) : command_name_(std::move(command_name)) {}

void Outcome::Succeeded() { ++successes_; }

void Outcome::Failed(Text what, Text why) { failures_.push_back({std::move(what), std::move(why)}); }

int Outcome::ReportStyle() const {
  if (!AnyFailed()) return kStyleInformation;
  return successes_ == 0 ? kStyleStop : kStyleWarning;
}

Text Outcome::ReportText(const Text& success_text) const {
  if (!AnyFailed()) return success_text;
  const Text count = ToText(failures());
  Text text;
  if (successes_ > 0)
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
  char number[16];
  std::snprintf(number, sizeof number, exit_code > 0x7FFFFFFFu ? "0x%08X" : "%u", static_cast<unsigned>(exit_code));
  return ConcatTexts("退出代码 ", number);
}

Text ErrorText(uint32_t code) { return SystemErrorText(code); }

}  // namespace lumeno
