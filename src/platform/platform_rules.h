// The fixed rules of the platform operations that involve no system call:
// number mappings, path splitting, value encodings, message texts. Portable,
// shared by platform_win32.cpp and the recording fake, unit-tested natively.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/exact_io.h"
#include "platform/platform.h"

namespace lumeno {

// Registry value kinds as Win32 numbers them.
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;

// Which predefined root a root number names: 1 HKCR, 2 HKCC, 3 HKCU,
// 4 HKLM, 5 HKU; any other number HKEY_CURRENT_USER (returned as 3).
int NormalizeRootNumber(int root);

// "HKEY_LOCAL_MACHINE" ... for a root number (normalised first).
const char* RootKeyName(int root);

// "Key\Path\Value" split at the last backslash. No backslash: the key path is
// empty (the root itself) and the whole text is the value name.
struct RegistryItemParts {
  Text key_path;
  Text value_name;
};
RegistryItemParts SplitRegistryItemPath(std::string_view item_path);

// The type and the exact data bytes RegSetValueExA receives.
struct EncodedRegistryValue {
  uint32_t type = 0;
  std::string data;
};
EncodedRegistryValue EncodeRegistryValue(const RegistryValue& value);

// RunCommandLine's window mode -> wShowWindow (SW_* numbers). 0 or below acts
// as hidden, above 6 as 6.
int ShowCommandForRunMode(WindowMode mode);

// Starting a process can fail for a moment when the system is short of
// resources; under load Wine reports ERROR_INTERNAL_ERROR now and then, and
// the command then never runs. Such a failure is worth another attempt; any
// other (no such file, no access, not a program) is final at once.
inline constexpr int kProcessStartAttempts = 5;
inline bool IsTransientStartFailure(uint32_t error) {
  // ERROR_NOT_ENOUGH_MEMORY, ERROR_OUTOFMEMORY, ERROR_INTERNAL_ERROR, ERROR_NO_SYSTEM_RESOURCES
  return error == 8 || error == 14 || error == 1359 || error == 1450;
}

// Calls attempt (0: started, else the system error code) until it starts,
// fails for good or has been tried kProcessStartAttempts times; its last result.
template <typename Attempt>
uint32_t StartWithRetries(Attempt attempt) {
  uint32_t error = attempt();
  for (int tried = 1; error != 0 && tried < kProcessStartAttempts && IsTransientStartFailure(error); ++tried)
    error = attempt();
  return error;
}

// RunCommandLine's window mode -> CreateProcessA's creation flags: a command
// line started hidden gets CREATE_NO_WINDOW (0x08000000), so that a console
// program runs without a console window of its own, which nobody would see;
// GUI programs ignore the flag. Otherwise 0.
uint32_t CreationFlagsForRunMode(WindowMode mode);

// ShellOpen's window mode -> show command; outside 1..6 SW_SHOWNORMAL.
int ShowCommandForShellMode(WindowMode mode);

// ShellOpen's verb number -> verb, or nullptr for the default action.
const char* ShellVerbForNumber(int verb);

// Style actually passed to MessageBoxA: MB_TASKMODAL added unless the style
// holds MB_SYSTEMMODAL.
uint32_t MessageBoxStyleFor(int style);

// MessageBoxA's return value -> ShowMessageBox's result number.
int MessageBoxResultFor(int button_id);

// The DEVMODEA fields SetDisplayMode fills: only non-zero values are set
// and flagged.
struct DisplayModeFields {
  uint32_t fields = 0;  // DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY
  uint32_t bits_per_pixel = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t frequency = 0;
};
DisplayModeFields DisplayModeFieldsFor(int width, int height, int bits, int refresh);

// The folder part of a file path: everything before its last backslash
// character (GBK-aware); empty when there is none.
Text FolderOfPath(std::string_view path);

// FormatMessage's text without the line ends and blanks it ends with.
Text TrimmedMessageText(std::string_view text);

// What SystemErrorText says when the system has no text for a code.
Text UnknownErrorText(uint32_t code);

// NetShareGetInfo's status -> whether the share exists. The Server service
// not running (2114) means that no share exists.
Presence ShareQueryPresence(uint32_t status);

// The full path from which a library the program loads at run time is
// taken: the system folder (GetSystemDirectoryA) and the library's file
// name. Whatever folder the program was started from (often Downloads) is
// never searched, so a library dropped next to it never runs with the
// program's rights. A name that would lead elsewhere, one with a folder, a
// drive or a stream in it (a backslash, slash or colon), and an empty name
// or system folder give an empty path: nothing is loaded.
Text SystemLibraryPath(std::string_view system_folder, std::string_view library);

// True for a key directly under HKEY_USERS that is no loaded hive: its first
// path component is neither ".DEFAULT" nor a SID ("S-1-..."), compared
// without regard to ASCII case. Windows refuses to create such keys.
bool IsUnloadedUsersHive(int root, std::string_view item_path);

// The time as a four-digit year, then month, day, hour, minute and second
// of two digits each: the date's separator before month and day, middle
// before the hour, the clock's before minute and second.
// ("-", " ", ":") gives "2026-12-09 06:18:02"; ("", "-", "") "20261209-061802".
Text LocalTimeText(const LocalTime& time, const char* date_separator, const char* middle,
                   const char* clock_separator);

// The text of the fatal-error box. code 0 means no code, an empty message no
// message.
Text FatalErrorText(int code, std::string_view message);

}  // namespace lumeno
