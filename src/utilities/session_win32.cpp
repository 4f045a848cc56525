// Token privileges, ending the session and opening web addresses.
#include <windows.h>
#include <shellapi.h>

#include "utilities/session.h"

namespace lumeno {

bool EnableProcessPrivilege(const char* privilege_name) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
  TOKEN_PRIVILEGES privileges = {};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  bool enabled = false;
  if (LookupPrivilegeValueA(nullptr, privilege_name, &privileges.Privileges[0].Luid)) {
    // A successful adjustment still reports ERROR_NOT_ALL_ASSIGNED when the
    // user does not hold the privilege; only ERROR_SUCCESS means it is on.
    BOOL adjusted = AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    enabled = adjusted && GetLastError() == ERROR_SUCCESS;
  }
  CloseHandle(token);
  return enabled;
}

bool RequestExitWindows(uint32_t flags) { return ExitWindowsEx(flags, 0) != 0; }

void OpenUrl(const Text& url) {
  HWND owner = FindWindowExA(nullptr, nullptr, nullptr, "Microsoft Internet Explorer");
  ShellExecuteA(owner, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace lumeno
