#include "utilities/session.h"

namespace lumeno {

// An instant-messaging contact page of the author (placeholder host).
const char kAuthorPageAddress[] = "http://im.example.com/msgrd?V=1&Uin=10000&Site=lumeno&Menu=yes";

std::optional<uint32_t> ExitFlagsFor(int kind, const WindowsVersion& version, bool force) {
  uint32_t flags = 0;
  switch (kind) {
    case kSessionShutDown: flags = IsNtPlatform(version) ? kExitPowerOff : kExitShutDown; break;
    case kSessionRestart: flags = kExitReboot; break;
    case kSessionLogOff: flags = kExitLogOff; break;
    default: return std::nullopt;
  }
  if (force) flags |= kExitForce;
  return flags;
}

bool EnableShutdownPrivilege() {
  // Only the NT platform has privileges to enable.
  if (!IsNtPlatform(QueryWindowsVersion())) return true;
  return EnableProcessPrivilege("SeShutdownPrivilege");
}

bool ExitSession(int kind, bool force) {
  std::optional<uint32_t> flags = ExitFlagsFor(kind, QueryWindowsVersion(), force);
  if (!flags) return false;
  if (!EnableShutdownPrivilege()) return false;
  return RequestExitWindows(*flags);
}

// Never forced: a program that refuses to end may stop the action.
void LogOff() { ExitSession(kSessionLogOff); }
void Restart() { ExitSession(kSessionRestart); }
void ShutDown() { ExitSession(kSessionShutDown); }

void ShowAbout() { ShowMessageBox("由于本人水平有限程序难免有Bug，请勿责难！", kStyleOk); }

void OpenAuthorPage() { OpenUrl(kAuthorPageAddress); }

}  // namespace lumeno
