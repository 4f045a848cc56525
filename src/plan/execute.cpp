#include "plan/execute.h"

#include <set>

#include "cleaning/junk_cleaning.h"
#include "platform/platform_rules.h"

namespace lumeno {

namespace {

constexpr uint32_t kPathNotFound = 3;  // ERROR_PATH_NOT_FOUND

enum class Result { kChanged, kUnchanged, kFailed };

struct Judgement {
  Result result = Result::kChanged;
  Text why;  // when failed
};

Judgement Changed(bool already = false) { return {already ? Result::kUnchanged : Result::kChanged, {}}; }
Judgement Unchanged() { return {Result::kUnchanged, {}}; }
Judgement Failed(Text why) { return {Result::kFailed, std::move(why)}; }

// "退出代码 N", and "，<detail>" when there is one.
Judgement FailedExit(uint32_t exit_code, std::string_view detail = {}) {
  Text why = ExitCodeText(exit_code);
  if (!detail.empty()) why += ConcatTexts("，", detail);
  return Failed(std::move(why));
}

// The judges below see only lines that ended with a nonzero exit code (see Run).

// sc's exit code is the Win32 error of the call that failed; 1060: this
// system has no such service, so there is nothing to configure.
Judgement ServiceConfigured(const Step&, const RunResult& run) {
  constexpr uint32_t kServiceNotInstalled = 1060;
  if (run.exit_code == kServiceNotInstalled) return Unchanged();
  return FailedExit(run.exit_code, ErrorText(run.exit_code));
}

// net exits 2 both when the start failed and when the service already ran:
// what counts is whether it runs now.
Judgement ServiceRunning(const Step& step, const RunResult& run) {
  switch (QueryServiceState(step.subject)) {
    case ServiceState::kRunning: return Unchanged();
    case ServiceState::kNotInstalled: return FailedExit(run.exit_code, "服务未安装");
    case ServiceState::kStopped: return FailedExit(run.exit_code, "服务未运行");
    case ServiceState::kUnknown: break;
  }
  return FailedExit(run.exit_code, "服务状态无法查询");
}

// A share that does not exist (most drive letters) is as deleted as it gets.
Judgement ShareGone(const Step& step, const RunResult& run) {
  const Presence presence = QueryNetworkShare(step.subject);
  if (presence == Presence::kAbsent) return Unchanged();
  return FailedExit(run.exit_code, presence == Presence::kPresent ? "共享仍然存在" : "共享状态无法查询");
}

// reg exits 1 for a key or value that is not there: then it is gone, as asked.
Judgement RegistryGone(const Step& step, const RunResult& run) {
  const Presence presence = step.value_name.empty() ? QueryRegistryKey(step.root, step.key_path)
                                                    : QueryRegistryValue(step.root, step.key_path, step.value_name);
  if (presence == Presence::kAbsent) return Unchanged();
  return FailedExit(run.exit_code, presence == Presence::kPresent ? "仍然存在" : "");
}

Judgement CommandLineDone(const Step& step, const RunResult& run) {
  constexpr uint32_t kLibraryNotLoaded = 3;  // regsvr32: no such library on this machine
  switch (step.check) {
    case CommandCheck::kServiceRunning: return ServiceRunning(step, run);
    case CommandCheck::kShareGone: return ShareGone(step, run);
    case CommandCheck::kRegistryGone: return RegistryGone(step, run);
    case CommandCheck::kUnregistered:
      if (run.exit_code == kLibraryNotLoaded) return Unchanged();
      break;
    case CommandCheck::kFilesDeleted:
      // del has no documented exit codes; some versions of cmd leave 1
      // behind when nothing matched, which is no failure of a cleanup.
      if (run.exit_code == 1) return Unchanged();
      break;
    case CommandCheck::kExitCode: break;
  }
  return FailedExit(run.exit_code);
}

// xcopy: 0 copied, 1 nothing to copy. Anything else counts as a failure unless
// the source folder does not exist at all (a system has 桌面 or Desktop).
Judgement Copied(const Step& step, const RunResult& run) {
  if (run.exit_code == 1 || !FolderExists(ExpandEnvironment(step.source))) return Unchanged();
  return FailedExit(run.exit_code);
}

// A line that could not even be started failed, whatever it was; exit code
// 0 is success, whatever it was (a start type already set stays unchanged).
Judgement Run(const Step& step, Judgement (*judge)(const Step&, const RunResult&)) {
  const RunResult run = RunCommandLine(step.line, true, step.mode);
  if (!run.started) return Failed(ConcatTexts("无法启动：", ErrorText(run.error)));
  if (run.exit_code == 0) return Changed(step.already);
  return judge(step, run);
}

bool Write(const Step& step) {
  switch (step.write_mode) {
    case FileWriteMode::kPlain: return WriteBytesToFile(step.path, {step.bytes});
    case FileWriteMode::kFresh: return WriteFreshFile(step.path, step.bytes);
    case FileWriteMode::kReplace: return ReplaceFileBytes(step.path, {step.bytes});
  }
  return false;
}

Judgement WriteFile(const Step& step) {
  if (!Write(step)) return Failed(ErrorText(LastError()));
  return Changed(step.previous && *step.previous == step.bytes);
}

Judgement MakeFolder(const Step& step, std::vector<Text>* made) {
  const uint32_t error = CreateFolder(step.path) ? 0 : LastError();
  if (!FolderExists(step.path)) return Failed(ErrorText(error ? error : kPathNotFound));
  if (error == 0) made->push_back(step.path);
  return Changed(step.already);
}

// The refresh rate is only asked for; the size and depth must be what the
// screen has afterwards.
Judgement ChangeDisplayMode(const Step& step) {
  const DisplayMode& wanted = step.display;
  SetDisplayMode(wanted.width, wanted.height, wanted.bits_per_pixel, wanted.refresh_hz);
  const DisplayMode now = ScreenMode();
  if (now.width == wanted.width && now.height == wanted.height && now.bits_per_pixel == wanted.bits_per_pixel)
    return Changed(step.already);
  return Failed(ConcatTexts("未能设置为 ", ToText(wanted.width), "×", ToText(wanted.height), "/",
                            ToText(wanted.bits_per_pixel), "位，当前为 ", DisplayModeText(now)));
}

// A walk that ran counts as done even where single entries stayed: each of
// those is a failure of its own, and past the report's list a count stands
// for the rest.
Judgement Clean(const Step& step, Outcome& outcome) {
  CleaningReport report;
  const bool cleaned = step.operation == CleaningOperation::kSystemJunk
                           ? CleanSystemJunk(step.cleaning_kind, &report)
                           : CleanPrivacyTraces(step.cleaning_kind, &report);
  const uint32_t error = cleaned ? 0 : LastError();
  for (const UndeletableEntry& entry : report.undeletable) outcome.Failed(entry.path, ErrorText(entry.error));
  if (report.more_undeletable > 0)
    outcome.Failed(step.what, ConcatTexts("另有 ", UnsignedText(report.more_undeletable), " 项无法删除"));
  return cleaned ? Changed() : Failed(ErrorText(error));
}

Judgement Carry(const Step& step, std::vector<Text>* made_folders, Outcome& outcome) {
  if (step.planning_error != 0) return Failed(ErrorText(step.planning_error));
  switch (step.kind) {
    case StepKind::kRegistryWrite:
      if (step.already) return Unchanged();
      if (!WriteRegistryItem(step.root, step.item_path, step.value)) return Failed(ErrorText(LastError()));
      return Changed();
    case StepKind::kRegistryDelete:
      if (!DeleteRegistryKeyTree(step.root, step.key_path)) return Failed(ErrorText(LastError()));
      return Changed(step.already);
    case StepKind::kServiceStart: return Run(step, ServiceConfigured);
    case StepKind::kCommandLine: return Run(step, CommandLineDone);
    case StepKind::kCopy: return Run(step, Copied);
    case StepKind::kFileWrite: return WriteFile(step);
    case StepKind::kCreateFolder: return MakeFolder(step, made_folders);
    case StepKind::kDisplayMode: return ChangeDisplayMode(step);
    case StepKind::kCleaning: return Clean(step, outcome);
    case StepKind::kScriptRun: {
      if (!Write(step)) return Failed(ErrorText(LastError()));
      const RunResult run = RunCommandLine(step.path, true, step.mode);
      if (!run.started) return Failed(ConcatTexts("无法启动：", ErrorText(run.error)));
      // The script's own exit code says nothing: its last line deletes it.
      return Changed();
    }
  }
  return Failed({});
}

}  // namespace

void ExecutePlan(const Plan& plan, Outcome& outcome) {
  std::set<int> failed_groups;
  std::vector<Text> made_folders;  // of the current group, for a group that undoes them
  int folders_group = -1;
  for (const Step& step : plan.steps) {
    if (step.group != 0 && failed_groups.count(step.group)) continue;
    if (step.group != folders_group) made_folders.clear(), folders_group = step.group;
    const Judgement judgement = Carry(step, &made_folders, outcome);
    switch (judgement.result) {
      case Result::kChanged: outcome.Succeeded(); break;
      case Result::kUnchanged: outcome.Unchanged(); break;
      case Result::kFailed:
        if (step.stops_plan && !step.stop_message.empty()) {
          outcome.Stop(ConcatTexts(step.stop_message, judgement.why, "\r\n未做任何更改。"));
        } else {
          outcome.Failed(step.what, ConcatTexts(judgement.why, step.failure_note));
        }
        if (step.group != 0 && step.kind != StepKind::kRegistryWrite) failed_groups.insert(step.group);
        if (step.undo_group_on_failure)
          for (auto folder = made_folders.rbegin(); folder != made_folders.rend(); ++folder) RemoveFolder(*folder);
        if (step.stops_plan) return;
        break;
    }
  }
}

void BackUpPlan(const Plan& plan, std::string_view command, Outcome& outcome, std::vector<Text>* paths) {
  const std::vector<RegistryChange> changes = RegistryChangesOf(plan);
  const std::vector<BackupFile> files = BackupFilesOf(plan);
  const BackupResult backup = BackupBeforeChanges(command, changes, files, &plan.reads);
  NoteBackup(backup, outcome);
  if (paths)
    for (const Text& path : backup.paths) paths->push_back(path);
}

}  // namespace lumeno
