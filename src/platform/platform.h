// The platform operations every feature acts through.
//
// This header is portable: it never includes <windows.h>. The program links
// platform_win32.cpp (and the *_win32.cpp files of the subsystems); the
// native unit tests link the recording fake in tests/fakes instead, so the
// feature logic is exercised on Linux against exact call sequences.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/text.h"

namespace lumeno {

// The program's windows are named by number (ui/control_ids.h lists them).
using WindowId = uint32_t;

// ---------------------------------------------------------------------------
// Start-up

// First step of start-up: makes ProgramDirectory() the current directory.
void InitializePlatform();

// ---------------------------------------------------------------------------
// Processes and threads

// How a started program shows its window; RunCommandLine and ShellOpen
// number the modes alike (values outside 1..6 are clamped by each).
enum class WindowMode : int {
  kHidden = 1,
  kNormal = 2,
  kMinimized = 3,
  kMaximized = 4,
  kNotActivated = 5,  // shown without taking the focus
  kMinimize = 6,      // minimised, the next window activated
};
inline constexpr WindowMode kHiddenWindowMode = WindowMode::kHidden;

// What became of a command line. Converts to bool as "started", so callers
// that only ask whether the process could be created keep working.
struct RunResult {
  bool started = false;
  uint32_t error = 0;      // GetLastError of CreateProcessA when it failed
  uint32_t exit_code = 0;  // GetExitCodeProcess, when started and waited for
  explicit operator bool() const { return started; }
};

RunResult RunCommandLine(const Text& command_line, bool wait = false, WindowMode mode = WindowMode::kNormal);

using ThreadRoutine = void (*)();
bool StartThread(ThreadRoutine routine);

void Delay(int milliseconds);

// ---------------------------------------------------------------------------
// Registry

// A byte sequence, kept apart from Text so that the value kinds stay distinct.
struct Bytes {
  std::string data;
};

// integer -> REG_DWORD; double -> truncated to 64 bits, low 32 bits as REG_DWORD;
// Text -> REG_SZ (length + 1 bytes); Bytes -> REG_BINARY.
using RegistryValue = std::variant<int32_t, double, Text, Bytes>;

// Root numbers: 1 HKCR, 2 HKCC, 3 HKCU, 4 HKLM, 5 HKU; anything else HKCU.
inline constexpr int kRootClassesRoot = 1;
inline constexpr int kRootCurrentConfig = 2;
inline constexpr int kRootCurrentUser = 3;
inline constexpr int kRootLocalMachine = 4;
inline constexpr int kRootUsers = 5;

// False with LastError() set to the registry's own code when the key can be
// neither opened nor created, or the value cannot be stored.
bool WriteRegistryItem(int root, const Text& item_path, const RegistryValue& value);

// Deletes the key with everything below it (SHDeleteKeyA). A key that is not
// there counts as deleted; false with LastError() set otherwise.
bool DeleteRegistryKeyTree(int root, const Text& key_path);

// Whether a key, or a value of a key, is there. kUnknown when the registry
// answers with anything but "found" or "not found" (no rights, for one).
enum class Presence { kUnknown, kAbsent, kPresent };
Presence QueryRegistryKey(int root, const Text& key_path);
Presence QueryRegistryValue(int root, const Text& key_path, const Text& value_name);

// ---------------------------------------------------------------------------
// Files and folders

// Creates or truncates the file and writes the parts in order (empty parts are
// skipped). An empty path gives false and creates nothing.
bool WriteBytesToFile(const Text& path, std::initializer_list<std::string_view> parts);

// Removes any existing file at path first and then creates the file anew
// (CREATE_NEW), so that no file planted beforehand is reused. False when the
// old file cannot be removed or the new one cannot be created or written.
bool WriteFreshFile(const Text& path, std::string_view bytes);

// Reads the whole file; false when it does not exist or cannot be read.
bool ReadBytesFromFile(const Text& path, std::string* bytes);

// Writes the parts to a new file in the same folder and then moves it over
// path (MoveFileExA, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH). Any
// failure leaves whatever was at path untouched and removes the new file.
bool ReplaceFileBytes(const Text& path, const std::vector<std::string_view>& parts);

bool CreateFolder(const Text& path);

// Removes an empty folder (RemoveDirectoryA).
bool RemoveFolder(const Text& path);

// True when path names an existing folder (links to folders included).
bool FolderExists(const Text& path);
// True when path names something that is there and is no folder.
bool IsFile(const Text& path);

// The text with every %NAME% of a defined environment variable replaced
// (ExpandEnvironmentStringsA); the text unchanged when that fails.
Text ExpandEnvironment(const Text& text);

// SetFileAttributesA(path, attributes & 0x27).
bool SetFileAttributesMasked(const Text& path, uint32_t attributes);

// The executable's directory, without a trailing backslash ("C:" in a root).
Text ProgramDirectory();

// ---------------------------------------------------------------------------
// Errors and system state

// The system error code of the last failed platform operation on the calling
// thread (WriteRegistryItem, WriteBytesToFile, WriteFreshFile,
// ReplaceFileBytes, ReadBytesFromFile, CreateFolder ...).
uint32_t LastError();

// The system's own text for an error code, in the ANSI code page, without
// trailing line ends or blanks; "错误 N" when the system has none.
Text SystemErrorText(uint32_t code);

// The machine's NetBIOS name (GetComputerNameA); empty when unknown.
Text ComputerName();

// True when the process runs as LocalSystem, the account of start-up scripts
// and services: its HKEY_CURRENT_USER and profile are SYSTEM's own, no
// user's.
bool RunsAsLocalSystem();

// A service as the Service Control Manager sees it.
enum class ServiceState { kUnknown, kNotInstalled, kStopped, kRunning };
ServiceState QueryServiceState(const Text& service_name);

// Whether the network share (for example "C$") exists on this machine.
// kAbsent too when the Server service does not run: then no share exists.
Presence QueryNetworkShare(const Text& share_name);

// ---------------------------------------------------------------------------
// Dialogs and shell

inline constexpr int kStyleOk = 0;
inline constexpr int kStyleStop = 16;
inline constexpr int kStyleWarning = 48;
inline constexpr int kStyleInformation = 64;
extern const char* const kDefaultMessageTitle;  // "信息："

// Returns the result number of the button that closed the box (IDOK -> 0 ...).
int ShowMessageBox(const Text& message, int style = kStyleOk, const Text& title = kDefaultMessageTitle,
                   WindowId owner = 0);

// The chosen folder, or an empty text on cancel.
Text BrowseForFolder(const Text& prompt, bool include_files = false);

inline constexpr int kVerbNone = 0;
inline constexpr int kVerbOpen = 4;
// Returns ShellExecuteA's result.
intptr_t ShellOpen(int verb, const Text& file, const Text& parameters = {}, const Text& directory = {},
                   WindowMode mode = WindowMode::kNormal);

// ---------------------------------------------------------------------------
// Display

int ScreenWidth();
int ScreenHeight();

struct DisplayMode {
  int width = 0;
  int height = 0;
  int bits_per_pixel = 0;
  int refresh_hz = 0;
};
DisplayMode QueryDisplayMode();
bool SetDisplayMode(int width, int height, int bits = 24, int refresh = 75);

// ---------------------------------------------------------------------------
// System version (GetVersionExA)

struct WindowsVersion {
  bool known = false;  // false when GetVersionExA failed
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t platform = 0;  // 2 = VER_PLATFORM_WIN32_NT
};
WindowsVersion QueryWindowsVersion();
inline bool IsNtPlatform(const WindowsVersion& v) { return v.known && v.platform == 2; }

// ---------------------------------------------------------------------------
// Run-time bound functions (the DeclaredFunction table)

enum class DeclaredFunction : int {
  kSetProcessWorkingSetSizeOwn = 0,  // (empty library) SetProcessWorkingSetSize
  kEnumProcesses = 1,                // "psapi.dll" EnumProcesses
  kGlobalMemoryStatus = 2,           // (empty library) GlobalMemoryStatus
  kOpenProcess = 3,                  // (empty library) OpenProcess
  kSetProcessWorkingSetSize = 4,     // (empty library) SetProcessWorkingSetSize
  kCloseHandle = 5,                  // (empty library) CloseHandle
};

// Typed calls through the table: each entry has one fixed C++ signature, so a
// call can never leave the stack unbalanced. Handles travel as uintptr_t.
inline constexpr uintptr_t kCurrentProcess = static_cast<uintptr_t>(-1);
bool CallSetProcessWorkingSetSize(DeclaredFunction entry, uintptr_t process, intptr_t minimum, intptr_t maximum);
bool CallEnumProcesses(uint32_t* ids, uint32_t bytes, uint32_t* bytes_returned);
uintptr_t CallOpenProcess(uint32_t access, bool inherit, uint32_t process_id);
bool CallCloseHandle(uintptr_t handle);

// ---------------------------------------------------------------------------
// Fatal errors: the "运行时出错!" box, then exit code -1. code 0 = no code.

[[noreturn]] void FatalError(int code, const Text& message);

// A run with nobody to answer a box (/apply) hands fatal errors to sink
// instead, with the box's text, and then ends with exit_code. Set before
// anything runs; nullptr gives the box back.
using FatalErrorSink = void (*)(const Text& text);
void SendFatalErrorsTo(FatalErrorSink sink, int exit_code);

}  // namespace lumeno
