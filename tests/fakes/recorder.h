// The recording fake of the platform layer, linked into the native unit tests
// in place of the *_win32.cpp files.
//
// Every action call is kept in order as one Call: an operation name and its
// arguments as texts. Formats (ids as "0x%08X", booleans as "1"/"0"):
//   ReadProperty       {window, control, index}
//   WriteProperty      {window, control, index, value}  value: number or the text
//   RunCommandLine     {command line, wait, mode}
//   StartThread        {}
//   Delay              {milliseconds}
//   WriteRegistryItem  {root (normalised 1..5), item path, "REG_SZ"|"REG_DWORD"|"REG_BINARY", data}
//                      data: REG_SZ the text, REG_DWORD "0x%08X", REG_BINARY the raw bytes
//   WriteBytesToFile   {path, all bytes}
//   WriteFreshFile     {path, bytes}
//   ReplaceFileBytes   {path, all bytes}
//   ReadBytesFromFile  {path}
//   CreateFolder       {path}
//   RemoveFolder       {path}
//   SetFileAttributesMasked {path, attributes as given, decimal}
//   ShowMessageBox     {text, style, title}
//   BrowseForFolder    {prompt, include files}
//   ShellOpen          {verb, file, parameters, directory, mode}
//   SetDisplayMode     {width, height, bits, refresh}
//   LoadWindow         {window, parent, modal}
//   FindControlByTag   {window, tag}
//   CallSetProcessWorkingSetSize {entry, process "0x..", minimum, maximum}
//   CallEnumProcesses  {bytes}
//   CallOpenProcess    {access "0x%X", inherit, pid}
//   CallCloseHandle    {handle "0x.."}
//   DeleteRegistryKeyTree {root, key path}  (registry_errors by key path)
//   ReadRegistryValue  {root, key path, value name}
//   RegistryKeyExists  {root, key path}
//   ReadRegistryTree   {root, key path}
//   WriteNewFile       {path, bytes}
// Subsystems add their own operations (their *_fake.cpp files) the same way.
// Queries without effect (ScreenWidth, QueryDisplayMode, ProgramDirectory,
// QueryWindowsVersion, ComputerName, RunsAsLocalSystem, LastError, SystemErrorText, QueryServiceState,
// QueryNetworkShare, QueryRegistryKey/Value, FolderExists, ExpandEnvironment,
// CurrentLocalTime, ApplicationDataFolder) answer from State and are not
// recorded. The registry reads of restore files are recorded, so that tests
// can see they come before the changes they back up.
//
// Failures on demand (each failing operation stores its code for LastError):
//   run_result false      every RunCommandLine fails to start, error 2
//   start_errors          command line -> error: that line fails to start
//   exit_codes            command line -> exit code (others exit 0)
//   write_result false    every file and registry write fails, error 5
//   write_errors          path -> error for WriteBytesToFile, WriteFreshFile,
//                         ReplaceFileBytes (the file keeps its old bytes)
//   registry_errors       item path -> error for WriteRegistryItem
//   read_errors           path -> error for ReadBytesFromFile (a path that is
//                         neither there nor listed fails with 2)
//   missing_folders       FolderExists is false for them; CreateFolder makes
//                         one exist unless create_folder_errors names it
//   services, shares      name -> state; unlisted: kUnknown
//   registry_presence     "<root>:<key path>" or "<root>:<key path>\<value>"
//                         -> presence; unlisted: kUnknown
//   environment           NAME -> value for ExpandEnvironment's %NAME%
//   error_texts           code -> SystemErrorText; unlisted: "error <code>"
//   cleaning_errors       {"CleanSystemJunk"|"CleanPrivacyTraces", kind} ->
//                         error: that cleaning call returns false
//   cleaning_reports      the same keys -> what that call puts in its report
#pragma once

#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "cleaning/junk_cleaning.h"
#include "platform/exact_io.h"
#include "platform/platform.h"
#include "ui/controls.h"

namespace lumeno::fake {

struct Call {
  std::string op;
  std::vector<std::string> args;
  bool operator==(const Call& other) const { return op == other.op && args == other.args; }
};
std::ostream& operator<<(std::ostream& out, const Call& call);

// Thrown by the fake FatalError instead of ending the process.
struct FatalExit {
  int code;
  std::string message;
};

struct State {
  // Control properties, keyed by (window, control, index); unset reads give
  // the number 0 or an empty text.
  std::map<std::tuple<WindowId, ControlId, int>, PropertyValue> properties;
  // Tags for FindControlByTag, keyed by (window, tag).
  std::map<std::pair<WindowId, int>, ControlId> tags;
  // Files of the fake file system (ReadBytesFromFile reads, writes store).
  std::map<std::string, std::string> files;
  std::vector<ThreadRoutine> started_threads;
  bool start_thread_result = true;  // false: StartThread fails and keeps nothing
  bool run_result = true;
  std::map<std::string, uint32_t> start_errors;
  std::map<std::string, uint32_t> exit_codes;
  bool write_result = true;
  std::map<std::string, uint32_t> write_errors;
  std::map<std::string, uint32_t> registry_errors;
  std::map<std::string, uint32_t> read_errors;
  std::set<std::string> missing_folders;
  std::map<std::string, uint32_t> create_folder_errors;
  std::map<std::string, ServiceState> services;
  std::map<std::string, Presence> shares;
  std::map<std::string, Presence> registry_presence;
  std::map<std::string, std::string> environment;
  std::map<uint32_t, std::string> error_texts;
  // What the counting walks report: "CleanSystemJunk <kind>", "CleanPrivacyTraces <kind>" or a folder.
  std::map<std::string, CleaningTally> cleaning_tallies;
  std::map<std::pair<std::string, int>, uint32_t> cleaning_errors;
  std::map<std::pair<std::string, int>, CleaningReport> cleaning_reports;
  uint32_t last_error = 0;
  int message_box_result = 0;
  Text browse_result;
  Text program_directory = "C:\\Lumeno";
  int screen_width = 1024, screen_height = 768;
  DisplayMode display{1024, 768, 32, 60};
  bool set_display_result = true;
  WindowsVersion version{true, 5, 1, 2};
  Text computer_name = "PC-07";
  bool local_system = false;  // RunsAsLocalSystem
  // Process ids EnumProcesses reports; OpenProcess returns 0x1000 + pid,
  // or 0 for ids listed in unopenable.
  std::vector<uint32_t> processes;
  std::vector<uint32_t> unopenable;
  // Runs at each ShowMessageBox, before it returns (to inspect state then).
  std::function<void()> on_message_box;

  // The registry the reads answer from: keys by root number (1..5) and path
  // in ASCII lower case. Fill it with SetRegistryValue and AddRegistryKey;
  // WriteRegistryItem only records and leaves it alone.
  struct RegistryKey {
    std::string path;  // as given
    std::vector<std::pair<std::string, RegistryData>> values;
  };
  std::map<std::pair<int, std::string>, RegistryKey> registry;
  std::set<std::pair<int, std::string>> unreadable_keys;  // (root, lower-case path): reads fail
  LocalTime local_time{2026, 12, 8, 14, 30, 5};
  Text application_data = "C:\\Documents and Settings\\user\\Application Data";
  int application_data_asked = 0;  // how often ApplicationDataFolder ran
  std::set<std::string> unwritable_folders;  // WriteNewFile fails in these
};

std::vector<Call>& Calls();
State& GetState();
void Reset();  // empties the calls and restores the default State
void Record(std::string op, std::vector<std::string> args = {});

// Calls whose op is one of ops, in order.
std::vector<Call> CallsOf(std::initializer_list<std::string> ops);

std::string Hex32(uint32_t value);  // "0x%08X"

// Sets a check box or radio button of the fake windows.
void Tick(WindowId window, ControlId control, bool on = true);

// Puts a key (with the keys above it) into the fake registry.
void AddRegistryKey(int root, const std::string& key_path);
// Puts a value into the fake registry, its key included; replaces one of the same name.
void SetRegistryValue(int root, const std::string& key_path, const std::string& name, RegistryData data);

}  // namespace lumeno::fake
