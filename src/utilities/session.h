// Log-off, restart, shut-down, about and the author page (menu of MainWindow).
#pragma once

#include <cstdint>
#include <optional>

#include "platform/platform.h"

namespace lumeno {

// Menu handlers.
void LogOff();
void Restart();
void ShutDown();
void ShowAbout();
void OpenAuthorPage();

// Kinds of ExitSession.
inline constexpr int kSessionShutDown = 1;
inline constexpr int kSessionRestart = 2;
inline constexpr int kSessionLogOff = 3;

// ExitWindowsEx flags.
inline constexpr uint32_t kExitLogOff = 0;    // EWX_LOGOFF
inline constexpr uint32_t kExitShutDown = 1;  // EWX_SHUTDOWN
inline constexpr uint32_t kExitReboot = 2;    // EWX_REBOOT
inline constexpr uint32_t kExitForce = 4;     // EWX_FORCE
inline constexpr uint32_t kExitPowerOff = 8;  // EWX_POWEROFF

extern const char kAuthorPageAddress[];

// The ExitWindowsEx flags of a kind on this system; none for an unknown kind.
std::optional<uint32_t> ExitFlagsFor(int kind, const WindowsVersion& version, bool force);

// Ends the logon or the system; true when the system accepted the request.
// Nothing happens when the shutdown privilege cannot be enabled.
bool ExitSession(int kind, bool force = false);

// True on systems without privileges (not NT) or when the process now holds
// SeShutdownPrivilege.
bool EnableShutdownPrivilege();

// ---------------------------------------------------------------------------
// Win32 calls of this subsystem (session_win32.cpp).

// Enables one privilege in the process's own token: open the token, look the
// privilege up on the local system, adjust; true only when the privilege was
// actually assigned.
bool EnableProcessPrivilege(const char* privilege_name);

// ExitWindowsEx(flags, 0).
bool RequestExitWindows(uint32_t flags);

// Opens the address in the default browser, owned by an open
// "Microsoft Internet Explorer" window when there is one.
void OpenUrl(const Text& url);

}  // namespace lumeno
