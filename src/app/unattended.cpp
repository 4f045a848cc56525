// Unattended mode (see unattended.h): the command line, the run and its log.
#include "app/unattended.h"

#include <vector>

#include "app/preset.h"
#include "platform/backup_io.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "ui/window_layout.h"
#include "utilities/display_presets.h"

namespace lumeno {

namespace {

// "YYYY-MM-DD HH:MM:SS"
Text LogTime(const LocalTime& t) {
  auto two_digits = [](int n) { return Text{static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)}; };
  return ConcatTexts(ToText(t.year), "-", two_digits(t.month), "-", two_digits(t.day), " ", two_digits(t.hour), ":",
                     two_digits(t.minute), ":", two_digits(t.second));
}

const char kUsage[] = "用法：lumeno.exe /apply <预设文件> [/log <日志文件>]";
constexpr int kInformationIcon = 0x40;
constexpr int kIconMask = 0xF0;

bool IsSwitch(std::string_view argument, std::string_view name) {
  if (argument.size() != name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    char c = argument[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != name[i]) return false;
  }
  return true;
}

// The run's log: every line goes to the file (GBK, CR LF, appended) and to
// the console the program was started from.
class RunLog {
 public:
  explicit RunLog(Text path) : path_(std::move(path)) {}

  void Line(std::string_view text) {
    Text bytes = LogLineBytes(text);
    WriteToConsole(bytes);
    if (!AppendToFile(path_, bytes) && !warned_) {
      warned_ = true;
      WriteToConsole(ConcatTexts("无法写入日志文件", "“", path_, "”\r\n"));
    }
  }

 private:
  Text path_;
  bool warned_ = false;
};

Text EndLine(int exit_code) { return ConcatTexts("==== 结束，退出码 ", ToText(exit_code)); }

int Finish(RunLog& log, int exit_code) {
  log.Line(EndLine(exit_code));
  return exit_code;
}

// The active session for as long as the sections run.
class ActiveSession {
 public:
  explicit ActiveSession(HeadlessSession* session) { SetActiveHeadlessSession(session); }
  ~ActiveSession() { SetActiveHeadlessSession(nullptr); }
  ActiveSession(const ActiveSession&) = delete;
  ActiveSession& operator=(const ActiveSession&) = delete;
};

// Runs the section's button presses with its control states and returns
// whether it failed. Its log line is what the windows would have shown.
// Lines noted meanwhile (backup files) follow it, indented.
bool RunSection(const PlannedSection& section, HeadlessSession& session, std::vector<Text>& notes,
                const LogLine& log) {
  const Text head = ConcatTexts("[", section.name, "] ");
  if (section.steps.empty()) {
    log(ConcatTexts(head, "未选择任何项目，跳过"));
    return false;
  }
  session.Clear();
  for (const PresetSetting& setting : section.settings)
    session.Write(setting.window, setting.control, setting.index, setting.value);
  Text shown, refused;
  for (const PresetStep& step : section.steps) {
    if (step.routine)
      step.routine();
    else
      RunEventHandler(step.window, step.button, Event::kClicked);
    if (step.result_label) shown = session.Read(step.window, step.result_label, kPropertyText).text;
    // The window shows the mode the screen really has; a run must also tell
    // a refused mode apart (the refresh rate is only asked for).
    DisplayMode wanted;
    if (step.chosen_preset && ResolutionPresetMode(step.chosen_preset, &wanted) &&
        (ScreenWidth() != wanted.width || ScreenHeight() != wanted.height ||
         QueryDisplayMode().bits_per_pixel != wanted.bits_per_pixel)) {
      refused = ConcatTexts("未能设置为 ", ToText(wanted.width), "×", ToText(wanted.height), "/",
                            ToText(wanted.bits_per_pixel), "位，当前为 ", shown);
    }
  }
  // A command that succeeded says so with the information icon; any other
  // box is a failure report.
  bool failed = !refused.empty();
  if (failed) shown = refused;
  if (!session.Reports().empty()) shown.clear();
  for (const MessageReport& report : session.Reports()) {
    shown += ConcatTexts(shown.empty() ? "" : "\n", report.text);
    failed |= (report.style & kIconMask) != kInformationIcon;
  }
  log(ConcatTexts(head, shown.empty() ? Text("完成") : shown));
  for (const Text& note : notes) log(ConcatTexts("    ", note));
  notes.clear();
  return failed;
}

}  // namespace

Text LogLineBytes(std::string_view text) {
  Text bytes;
  bool first = true;
  while (!text.empty() || first) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (!first && line.empty()) continue;
    bytes += ConcatTexts(first ? "" : "    ", line, "\r\n");
    first = false;
  }
  return bytes;
}

CommandLineRequest ParseCommandLine(std::string_view command_line) {
  // A path cannot contain a double quote, so every quote only opens or closes
  // a group, and a backslash before a quote ("C:\目录\") is the path's own.
  std::vector<Text> arguments = SplitQuotedWords(command_line, " \t");
  CommandLineRequest request;
  if (arguments.size() <= 1) return request;
  request.kind = CommandLineRequest::Kind::kApply;
  auto fail = [&](Text error) {
    request.kind = CommandLineRequest::Kind::kUsageError;
    request.error = std::move(error);
    return request;
  };
  bool have_preset = false, have_log = false;
  for (size_t i = 1; i < arguments.size(); ++i) {
    const Text& argument = arguments[i];
    bool is_apply = IsSwitch(argument, "/apply"), is_log = IsSwitch(argument, "/log");
    if (!is_apply && !is_log) return fail(ConcatTexts("未知的参数“", argument, "”"));
    bool& seen = is_apply ? have_preset : have_log;
    if (seen) return fail(ConcatTexts("“", argument, "”只能出现一次"));
    if (i + 1 >= arguments.size() || arguments[i + 1].empty() || arguments[i + 1].front() == '/')
      return fail(ConcatTexts("“", argument, "”后缺少", is_apply ? "预设文件" : "日志文件"));
    (is_apply ? request.preset_path : request.log_path) = arguments[++i];
    seen = true;
  }
  if (!have_preset) return fail("缺少 /apply <预设文件>");
  return request;
}

int RunUnattended(const CommandLineRequest& request) {
  RunLog log(request.log_path.empty() ? ConcatTexts(ProgramDirectory(), "\\lumeno.log") : request.log_path);
  log.Line(ConcatTexts("==== ", LogTime(CurrentLocalTime()), " ", ComputerName(), " ", request.preset_path));
  if (request.kind != CommandLineRequest::Kind::kApply) {
    log.Line(ConcatTexts(request.error, "。", kUsage));
    return Finish(log, kExitBadInput);
  }
  std::string bytes;
  if (!ReadBytesFromFile(request.preset_path, &bytes)) {
    log.Line(ConcatTexts("无法读取预设文件“", request.preset_path, "”"));
    return Finish(log, kExitBadInput);
  }
  ParsedPreset parsed = ParsePreset(bytes);
  if (!parsed.ok) {
    log.Line(PresetErrorLine(request.preset_path, parsed.error));
    log.Line("未做任何更改");
    return Finish(log, kExitBadInput);
  }
  std::vector<Text> machine_wide = SectionsNeedingAdministrator(parsed.preset);
  if (!machine_wide.empty() && !IsAdministrator()) {
    Text names;
    for (const Text& name : machine_wide) names += ConcatTexts("[", name, "] ");
    log.Line(ConcatTexts("需要管理员权限：预设中的 ", names, "会更改整台计算机的设置。未做任何更改"));
    return Finish(log, kExitNotAdministrator);
  }

  return Finish(log, RunPresetSections(parsed.preset, [&](std::string_view line) { log.Line(line); }));
}

int RunPresetSections(const Preset& preset, const LogLine& log) {
  HeadlessSession session;
  const PlannedSection* running = nullptr;
  std::vector<Text> notes;
  session.note = [&](const Text& line) { notes.push_back(line); };
  session.fatal = [&](const Text& text) {
    log(ConcatTexts("[", running ? running->name : Text(), "] ", text));
    for (const Text& note : notes) log(ConcatTexts("    ", note));
    log(EndLine(kExitStepFailed));
    return kExitStepFailed;
  };
  ActiveSession active(&session);
  bool failed = false;
  for (const PlannedSection& section : preset.sections) {
    running = &section;
    failed |= RunSection(section, session, notes, log);
  }
  return failed ? kExitStepFailed : kExitDone;
}

}  // namespace lumeno
