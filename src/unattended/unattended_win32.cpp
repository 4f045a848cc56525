// The Win32 side of unattended mode: the command line, the administrator
// check, the user name, the log file and the console.
#include <windows.h>

#include <vector>

#include "unattended/unattended.h"
#include "platform/platform.h"

namespace lumeno {

namespace {

// Relative paths mean the folder the program was started in; start-up then
// moves to the program's own folder, so they are made absolute first.
Text FullPath(const Text& path) {
  if (path.empty()) return path;
  std::vector<char> buffer(MAX_PATH);
  DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  if (length >= buffer.size()) {
    buffer.resize(length + 1);
    length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  }
  return length == 0 || length >= buffer.size() ? path : Text(buffer.data(), length);
}

HANDLE g_console = INVALID_HANDLE_VALUE;
bool g_console_sought = false;

// Output redirected by the caller wins; otherwise the console of the parent
// (cmd), which a program without a console of its own must attach to.
HANDLE Console() {
  if (g_console_sought) return g_console;
  g_console_sought = true;
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output && output != INVALID_HANDLE_VALUE) return g_console = output;
  if (AttachConsole(ATTACH_PARENT_PROCESS))
    g_console = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            0, nullptr);
  return g_console;
}

}  // namespace

bool RunUnattendedFromCommandLine(int* exit_code) {
  CommandLineRequest request = ParseCommandLine(GetCommandLineA());
  if (request.kind == CommandLineRequest::Kind::kWindows) return false;
  // Whoever started the program shows the busy cursor until it first looks
  // at its message queue; one look ends it, as no window will follow. The
  // look is at the thread's own messages (-1), which Wine, too, counts as
  // the process waiting for input.
  MSG message;
  PeekMessageA(&message, reinterpret_cast<HWND>(-1), 0, 0, PM_NOREMOVE);
  request.preset_path = FullPath(request.preset_path);
  request.log_path = FullPath(request.log_path);
  InitializePlatform();
  *exit_code = RunUnattended(request);
  return true;
}

bool IsAdministrator() {
  SID_IDENTIFIER_AUTHORITY nt_authority = {SECURITY_NT_AUTHORITY};
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&nt_authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0,
                                0, 0, &administrators))
    return false;
  BOOL member = FALSE;
  if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
  FreeSid(administrators);
  return member != FALSE;
}

Text UserName() {
  char name[257] = {};
  DWORD size = sizeof name;
  return GetUserNameA(name, &size) && size > 0 ? Text(name, size - 1) : Text();
}

LogFile OpenLogFile(const Text& path) {
  // GENERIC_WRITE, not only FILE_APPEND_DATA: LockFileEx needs it. No
  // FILE_SHARE_DELETE: a deletion of the file fails while the run holds it.
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<LogFile>(file);
}

// The lock covers every offset a line can reach, so it is the same range for
// every run whatever the file's length; a write (also over SMB) only ever
// starts at the end found once the lock is held.
bool AppendToLogFile(LogFile log, std::string_view bytes) {
  HANDLE file = reinterpret_cast<HANDLE>(log);
  OVERLAPPED whole_file = {};
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole_file)) return false;
  LARGE_INTEGER end = {};
  DWORD written = 0;
  const bool ok = SetFilePointerEx(file, end, nullptr, FILE_END) &&
                  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole_file);
  return ok;
}

void CloseLogFile(LogFile log) { CloseHandle(reinterpret_cast<HANDLE>(log)); }

void WriteToConsole(std::string_view bytes) {
  HANDLE console = Console();
  if (console == INVALID_HANDLE_VALUE || !console) return;
  DWORD written = 0;
  WriteFile(console, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace lumeno
