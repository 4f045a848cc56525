// Unattended mode: lumeno.exe /apply <preset file> [/preview] [/log <log file>]
//
// Applies a preset (preset.h) with no window, no message box and no
// hourglass, writes what it did to a log, and ends with an exit code that a
// logon script or a remote runner can test. Each section runs the very
// commands its buttons run, with the control states read from the preset
// instead of a window. /preview writes each section's plan instead and
// changes nothing.
// The logic is portable; unattended_win32.cpp provides the host operations.
#pragma once

#include <cstdint>
#include <string_view>

#include "unattended/preset.h"
#include "platform/text.h"

namespace lumeno {

inline constexpr int kExitDone = 0;              // every section succeeded
inline constexpr int kExitStepFailed = 1;        // some step of some section failed
inline constexpr int kExitBadInput = 2;          // usage error or bad preset; nothing changed
inline constexpr int kExitNotAdministrator = 3;  // the preset needs an administrator; nothing changed

struct CommandLineRequest {
  enum class Kind { kWindows, kApply, kUsageError };
  Kind kind = Kind::kWindows;
  Text preset_path;
  bool preview = false;
  Text log_path;  // empty: lumeno.log in the program directory
  Text error;     // kUsageError: what is wrong
};

// The whole command line, the program's own name first (as GetCommandLineA
// gives it). No arguments at all: the windows, as always.
CommandLineRequest ParseCommandLine(std::string_view command_line);

// Carries out an /apply request (or reports a usage error) and returns the
// exit code. The paths are used as given.
int RunUnattended(const CommandLineRequest& request);

// A log line as written: GBK, CR LF; a text of several lines (a failure
// list) keeps its first line as given and indents the others under it.
Text LogLineBytes(std::string_view text);

// Where the run's lines go: a callable borrowed for the one call it is
// passed to (a std::function's copying and managing would cost the program
// for nothing). It only points at the callable, so it is a parameter and
// never a variable: one made from a lambda would outlive it.
class LogLine {
 public:
  template <typename Write>
  LogLine(const Write& write)  // implicit: callers pass a lambda
      : target_(&write), call_([](const void* target, std::string_view line) {
          (*static_cast<const Write*>(target))(line);
        }) {}
  void operator()(std::string_view line) const { call_(target_, line); }

 private:
  const void* target_;
  void (*call_)(const void* target, std::string_view line);
};

// Runs the preset's sections in order, each through its buttons' commands
// with the preset's control states and no window; one log line per section
// (what the windows would have shown, with the counts of what changed) and
// its restore files under it. kExitDone, or kExitStepFailed when a section
// reported a failure.
int RunPresetSections(const Preset& preset, const LogLine& log);

// Writes each section's plan to the log, a step a line under the section's
// header line; changes nothing and starts no program.
void PreviewPresetSections(const Preset& preset, const LogLine& log);

// Whether a step acts on the account the program runs as: its
// HKEY_CURRENT_USER, the cleaning items of the main window (that account's
// caches, history, recycle bin and temporary folder) and scripts that name its
// profile folder. Run as SYSTEM, such steps would change SYSTEM's profile.
bool ActsOnCurrentUser(const Step& step);

// The checks made before anything changes: the relocation target's form,
// environment names, drive or share, and that no file stands on its path.
// Empty when the preset passes; otherwise the message that says why not.
Text PresetProblem(const Preset& preset);

// Win32: parses GetCommandLineA; when the program was started with arguments
// it runs unattended, stores the exit code and returns true. Without
// arguments it returns false and changes nothing.
bool RunUnattendedFromCommandLine(int* exit_code);

// ---------------------------------------------------------------------------
// Host operations (unattended_win32.cpp; the tests link a recording fake)

// True when the process's token holds the Administrators group.
bool IsAdministrator();
// The account the program runs as (GetUserNameA); empty when unknown.
Text UserName();

// The log is held open for the whole run, so that no step of the run (a
// cleaning script's del /s *.log) can delete it, while the runs of other
// machines sharing the file may still open it and append. 0 when it can be
// neither opened nor created.
using LogFile = uintptr_t;
LogFile OpenLogFile(const Text& path);
// Appends at the end the file has when the lock on it is granted: the lines
// of many runs on one shared file neither overwrite nor interleave.
bool AppendToLogFile(LogFile log, std::string_view bytes);
void CloseLogFile(LogFile log);
// Writes to the console the program was started from, if any.
void WriteToConsole(std::string_view bytes);

}  // namespace lumeno
