// A command's plan: what it will do, step by step, decided before anything
// changes. A plan is built from the selection (the ticked boxes, the typed
// folder) and from what it reads of the system; building it changes nothing.
// The window and the unattended mode run the same plans through the same
// executor (execute.h), and a plan can be shown as text instead (/preview).
// Portable.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/exact_io.h"
#include "platform/platform.h"
#include "undo/restore_file.h"

namespace lumeno {

enum class StepKind : uint8_t {
  kRegistryWrite,   // one value, through WriteRegistryItem
  kRegistryDelete,  // a key with everything below it
  kServiceStart,    // a service's start type, by its exact sc line
  kCommandLine,     // a command line, run hidden and waited for
  kFileWrite,       // a whole file
  kCreateFolder,
  kDisplayMode,
  kCopy,            // a folder's content, by its exact xcopy line
  kCleaning,        // one cleaning item of the cleaning subsystem
  kScriptRun,       // a script, written and then run by its path
};

// How a command line's effect is checked once it has ended (see execute.cpp).
enum class CommandCheck : uint8_t {
  kExitCode,         // exit code 0
  kServiceRunning,   // net start: the service runs afterwards (subject: the service)
  kShareGone,        // net share /del: the share is gone (subject: the share)
  kRegistryGone,     // reg delete: the key or value is gone
  kUnregistered,     // regsvr32 /u: 0, or 3 when the library is not there
  kFilesDeleted,     // cmd /c del: 0 or 1
};

enum class FileWriteMode : uint8_t {
  kPlain,    // WriteBytesToFile: created or truncated
  kFresh,    // WriteFreshFile: whatever is there removed first, then made anew
  kReplace,  // ReplaceFileBytes: a new file moved over the old one
};

enum class CleaningOperation : uint8_t { kSystemJunk, kPrivacyTraces };

struct Step {
  StepKind kind = StepKind::kCommandLine;
  // Steps of one nonzero group stop at the group's first failure: the rest
  // of the group is skipped and not counted. 0: the step stands alone. A
  // value that cannot be written stops nothing: the values after it still go
  // in.
  int group = 0;
  Text what;  // how a report names it: the value, service, folder, file ...

  // kRegistryWrite, kRegistryDelete; kServiceStart reads its Start value.
  int root = 0;
  Text key_path;
  Text value_name;
  RegistryValue value;          // kRegistryWrite: what is written
  RegistryData data;            // kRegistryWrite: its type and bytes as stored
  Text item_path;               // kRegistryWrite: as the catalogue names it
  RegistryValueRead before;     // kRegistryWrite, kServiceStart: what is there, after the plan's earlier steps
  bool already = false;         // the effect is in place before the step (skipped for a typed write)

  // kServiceStart, kCommandLine, kCopy, kScriptRun
  Text line;
  Text service;
  uint32_t start_type = 0;      // kServiceStart: 2 auto, 3 demand, 4 disabled
  CommandCheck check = CommandCheck::kExitCode;
  Text subject;                 // what the check asks about (service, share, ...)
  WindowMode mode = kHiddenWindowMode;
  std::vector<RegistryChange> changes;  // what a command line does to the registry

  // kFileWrite, kCreateFolder, kScriptRun; kCopy: source and destination
  Text path;
  Text source;
  std::string bytes;
  FileWriteMode write_mode = FileWriteMode::kPlain;
  std::optional<std::string> previous;  // kFileWrite: the bytes it replaces, kept with the restore file
  Text backup_name;                     // kFileWrite: the name of that copy
  uint32_t planning_error = 0;          // nonzero: the step fails as it stands (e.g. an unreadable file)
  Text failure_note;                    // appended to the reason of any failure of this step
  bool undo_group_on_failure = false;   // kCreateFolder: a failure removes the group's folders made so far
  bool stops_plan = false;              // a failure ends the whole plan: nothing after it runs
  Text stop_message;                    // with stops_plan: what the report then says, before the reason

  // kDisplayMode
  DisplayMode display;

  // kCleaning
  CleaningOperation operation = CleaningOperation::kSystemJunk;
  int cleaning_kind = 0;
};

struct Refusal {
  Text text;
  int style = kStyleStop;
  Text title = kDefaultMessageTitle;
};

struct Plan {
  std::vector<Step> steps;
  // Set when the command does nothing at all: nothing selected, or input it
  // cannot use. Then steps is empty and the text is the command's answer.
  std::optional<Refusal> refusal;
  // The first read of each value, before any step: the restore file is
  // made from the same reads.
  RegistryReads reads;
};

// The plan of a command that does nothing but answer with text.
Plan RefusedPlan(Text text, int style = kStyleStop, Text title = kDefaultMessageTitle);

// Builds a plan step by step: reads each value once, and answers "already in
// place" from what the earlier steps of the same plan will have written.
class PlanBuilder {
 public:
  // A value write; rows aimed at a key under HKEY_USERS that is no loaded
  // hive are left out (nothing can be written there). in_place: the caller
  // found that what is there serves as well (the same folder, spelt
  // otherwise), so it is left as it is, like a value of the same bytes.
  void WriteValue(int root, std::string_view item_path, const RegistryValue& value, int group = 0,
                  bool in_place = false);
  // What a value holds before the plan's next step, read once as the
  // restore file will see it.
  RegistryValueRead ValueNow(int root, std::string_view item_path);
  void DeleteKeyTree(int root, std::string_view key_path, Text what);
  // service: as the line names it; start type 2, 3 or 4 (0: a mode word sc does not know).
  void SetServiceStart(Text line, Text service, uint32_t start_type, int group = 0);
  Step& RunCommand(Text line, CommandCheck check = CommandCheck::kExitCode, Text subject = {}, int group = 0);
  Step& WriteFile(Text path, std::string bytes, FileWriteMode mode, int group = 0);
  Step& CreateFolder(Text path, int group = 0);
  void SetDisplayMode(const DisplayMode& mode);
  Step& Copy(Text line, Text source, Text destination, Text what, int group = 0);
  void Clean(CleaningOperation operation, int kind, Text what);
  // The script is written first (write_mode), and run by its path only when
  // that succeeded: what sits at the path otherwise is not this script.
  void RunScript(Text path, std::string bytes, FileWriteMode write_mode, WindowMode mode);
  Plan Finish() { return std::move(plan_); }
  Plan& plan() { return plan_; }

 private:
  RegistryValueRead ValueBefore(int root, const Text& key_path, const Text& value_name);
  // A new step at the plan's end.
  Step& Add(StepKind kind, int group, Text what);
  Plan plan_;
  RegistryReads planned_;  // what earlier steps leave behind (found, always): one map type with reads
};

// The registry changes a plan makes, in step order, for the restore file.
std::vector<RegistryChange> RegistryChangesOf(const Plan& plan);
// The further files the restore file keeps (the bytes a file write replaces).
std::vector<BackupFile> BackupFilesOf(const Plan& plan);

// The plan as lines of text, one a step (/preview): registry steps as
// "<ROOT>\<item path>: <old> → <new>" or "…: 无需更改", command lines
// verbatim, and a line of its own for every other kind; a cleaning item and
// a copy with what the deletion walk, counting, finds.
std::vector<Text> PreviewLines(const Plan& plan);

// The mode the screen has now: its size as the system metrics give it,
// depth and refresh rate from the display.
DisplayMode ScreenMode();
// "1024×768 ＠60Hz/32位"
Text DisplayModeText(const DisplayMode& mode);

// A value as /preview shows it: REG_SZ "…", REG_DWORD 0x%08X, （无）.
Text PreviewValueText(const RegistryValueRead& read);

}  // namespace lumeno
