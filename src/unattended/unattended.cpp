// Unattended mode (see unattended.h): the command line, the run and its log.
#include "unattended/unattended.h"

#include <algorithm>
#include <vector>

#include "app/version.h"
#include "unattended/preset.h"
#include "plan/command.h"
#include "platform/exact_io.h"
#include "platform/platform.h"
#include "platform/platform_rules.h"
#include "relocation/relocation.h"
#include "ui/controls.h"

namespace lumeno {

namespace {

const char kUsage[] = "用法：lumeno.exe /apply <预设文件> [/preview] [/log <日志文件>]";

// The run's log: every line goes to the file (GBK, CR LF, appended) and to
// the console the program was started from. The file is opened before
// anything runs and held until the run is over.
class RunLog {
 public:
  explicit RunLog(Text path) : path_(std::move(path)), file_(OpenLogFile(path_)) {}
  ~RunLog() {
    if (file_) CloseLogFile(file_);
  }
  RunLog(const RunLog&) = delete;
  RunLog& operator=(const RunLog&) = delete;

  // False when the line could not be appended; the console still has it.
  bool Line(std::string_view text) {
    Text bytes = LogLineBytes(text);
    WriteToConsole(bytes);
    if (file_ && AppendToLogFile(file_, bytes)) return true;
    if (!warned_) {
      warned_ = true;
      WriteToConsole(ConcatTexts("无法写入日志文件", "“", path_, "”\r\n"));
    }
    return false;
  }

 private:
  Text path_;
  LogFile file_;
  bool warned_ = false;
};

Text EndLine(int exit_code) { return ConcatTexts("==== 结束，退出码 ", ToText(exit_code)); }

int Finish(RunLog& log, int exit_code) {
  log.Line(EndLine(exit_code));
  return exit_code;
}

// "[<section>] <text>": every line about one section starts so.
Text SectionLine(const PlannedSection& section, std::string_view text) {
  return ConcatTexts("[", section.name, "] ", text);
}

void LogSkipped(const PlannedSection& section, const LogLine& log) {
  log(SectionLine(section, "未选择任何项目，跳过"));
}

// Runs the section's commands; its log line is what the windows would have
// shown, with the counts, and the restore files follow it, indented.
bool RunSection(const PlannedSection& section, const LogLine& log) {
  if (section.commands.empty()) {
    LogSkipped(section, log);
    return false;
  }
  const PresetSelection selection(section.settings);
  bool failed = false;
  for (const Command* command : section.commands) {
    const CommandRun run = RunCommand(*command, selection);
    failed |= run.plan.refusal.has_value() || run.outcome.AnyFailed();
    log(SectionLine(section, RunReportText(*command, run)));
    for (const Text& path : run.restore_files) log(ConcatTexts("    备份：", path));
  }
  return failed;
}

// A fatal error has nobody to answer its box: it ends the run in the log.
const LogLine* g_fatal_log = nullptr;
const PlannedSection* g_running = nullptr;

void LogFatalError(const Text& text) {
  if (!g_fatal_log) return;
  (*g_fatal_log)(g_running ? SectionLine(*g_running, text) : text);
  (*g_fatal_log)(EndLine(kExitStepFailed));
}

// The sections whose plans hold a step for the current user. Planning reads
// and changes nothing, so the plans can be made here and again when they run.
std::vector<Text> SectionsActingOnCurrentUser(const Preset& preset) {
  std::vector<Text> names;
  for (const PlannedSection& section : preset.sections) {
    const PresetSelection selection(section.settings);
    bool per_user = false;
    for (const Command* command : section.commands) {
      const Plan plan = command->plan(selection);
      for (const Step& step : plan.steps) per_user |= ActsOnCurrentUser(step);
    }
    if (per_user) names.push_back(section.name);
  }
  return names;
}

Text SectionList(const std::vector<Text>& names) {
  Text list;
  for (const Text& name : names) list += ConcatTexts("[", name, "] ");
  return list;
}

Text TargetOf(const PlannedSection& section) {
  for (const PresetSetting& setting : section.settings)
    if (setting.index == kPropertyText) return setting.value.text;
  return {};
}

}  // namespace

bool ActsOnCurrentUser(const Step& step) {
  const bool registry_step = step.kind == StepKind::kRegistryWrite || step.kind == StepKind::kRegistryDelete;
  if (registry_step && NormalizeRootNumber(step.root) == kRootCurrentUser) return true;
  if (step.kind == StepKind::kCleaning) return true;
  return step.kind == StepKind::kScriptRun && FoldAsciiCase(step.bytes).find("%userprofile%") != Text::npos;
}

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
  Text error;
  bool have_preset = false, have_log = false;
  for (size_t i = 1; i < arguments.size() && error.empty(); ++i) {
    const Text& argument = arguments[i];
    const Text name = FoldAsciiCase(argument);
    bool is_preview = name == "/preview", is_apply = name == "/apply";
    if (!is_preview && !is_apply && name != "/log") {
      error = ConcatTexts("未知的参数“", argument, "”");
      break;
    }
    bool& seen = is_preview ? request.preview : is_apply ? have_preset : have_log;
    if (seen) {
      error = ConcatTexts("“", argument, "”只能出现一次");
    } else if (is_preview) {
      seen = true;
    } else if (i + 1 >= arguments.size() || arguments[i + 1].empty() || arguments[i + 1].front() == '/') {
      error = ConcatTexts("“", argument, "”后缺少", is_apply ? "预设文件" : "日志文件");
    } else {
      (is_apply ? request.preset_path : request.log_path) = arguments[++i];
      seen = true;
    }
  }
  if (error.empty() && !have_preset) error = "缺少 /apply <预设文件>";
  if (!error.empty()) {
    request.kind = CommandLineRequest::Kind::kUsageError;
    request.error = std::move(error);
  }
  return request;
}

int RunUnattended(const CommandLineRequest& request) {
  RunLog log(request.log_path.empty() ? ConcatTexts(ProgramDirectory(), "\\lumeno.log") : request.log_path);
  // A run nobody can read back afterwards must not change anything: a logon
  // script shows no console, and the log is all an administrator gets.
  // Who ran what where: logs of many machines often end up in one folder.
  if (!log.Line(ConcatTexts("==== ", LocalTimeText(CurrentLocalTime(), "-", " ", ":"), " ", ComputerName(), " ",
                            UserName(), " Lumeno ", LUMENO_VERSION_TEXT, " ", request.preset_path))) {
    WriteToConsole("未做任何更改\r\n");
    return kExitBadInput;
  }
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
    log.Line(ConcatTexts("需要管理员权限：预设中的 ", SectionList(machine_wide), "会更改整台计算机的设置。未做任何更改"));
    return Finish(log, kExitNotAdministrator);
  }
  if (const Text problem = PresetProblem(parsed.preset); !problem.empty()) {
    log.Line(problem);
    return Finish(log, kExitBadInput);
  }
  // A start-up script runs as SYSTEM: the user's settings and folders would
  // be SYSTEM's own, changed for nobody, with no word of it.
  if (RunsAsLocalSystem()) {
    if (const std::vector<Text> per_user = SectionsActingOnCurrentUser(parsed.preset); !per_user.empty()) {
      log.Line(ConcatTexts("以 SYSTEM 账户运行：预设中的 ", SectionList(per_user),
                           "会更改当前用户的设置或文件，这里只会改到 SYSTEM 账户自己的。请把这些节放到登录脚本中运行。"
                           "未做任何更改"));
      return Finish(log, kExitBadInput);
    }
  }
  const auto lines = [&](std::string_view line) { log.Line(line); };
  if (request.preview) {
    PreviewPresetSections(parsed.preset, lines);
    return Finish(log, kExitDone);
  }
  return Finish(log, RunPresetSections(parsed.preset, lines));
}

Text PresetProblem(const Preset& preset) {
  for (const PlannedSection& section : preset.sections)
    for (const Command* command : section.commands)
      if (command == &kRelocationCommand)
        if (Text problem = RelocationTargetProblem(TargetOf(section), true); !problem.empty())
          return SectionLine(section, problem);
  return {};
}

void PreviewPresetSections(const Preset& preset, const LogLine& log) {
  for (const PlannedSection& section : preset.sections) {
    if (section.commands.empty()) {
      LogSkipped(section, log);
      continue;
    }
    const PresetSelection selection(section.settings);
    for (const Command* command : section.commands) {
      const Plan plan = command->plan(selection);
      if (plan.refusal) {
        log(SectionLine(section, plan.refusal->text));
        continue;
      }
      log(ConcatTexts("[", section.name, "] 将执行 ", ToText(static_cast<int32_t>(plan.steps.size())), " 步："));
      for (const Text& line : PreviewLines(plan)) log(ConcatTexts("    ", line));
    }
  }
}

int RunPresetSections(const Preset& preset, const LogLine& log) {
  g_fatal_log = &log;
  SendFatalErrorsTo(LogFatalError, kExitStepFailed);
  bool failed = false;
  for (const PlannedSection& section : preset.sections) {
    g_running = &section;
    failed |= RunSection(section, log);
  }
  SendFatalErrorsTo(nullptr, 0);
  g_fatal_log = nullptr;
  g_running = nullptr;
  return failed ? kExitStepFailed : kExitDone;
}

}  // namespace lumeno
