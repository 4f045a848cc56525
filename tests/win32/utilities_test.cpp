// The utilities' own Win32 calls in a throwaway Wine prefix (those that do
// not end the session: ExitWindowsEx is exercised in e2e.session only).
#include <windows.h>

#include <gtest/gtest.h>

#include "utilities/session.h"
#include "utilities/tool_launchers.h"

namespace lumeno {
namespace {

bool PrivilegeEnabled(const char* name) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  LUID luid{};
  bool enabled = false;
  if (LookupPrivilegeValueA(nullptr, name, &luid)) {
    PRIVILEGE_SET set{};
    set.PrivilegeCount = 1;
    set.Privilege[0].Luid = luid;
    set.Privilege[0].Attributes = SE_PRIVILEGE_ENABLED;
    BOOL result = FALSE;
    enabled = PrivilegeCheck(token, &set, &result) && result;
  }
  CloseHandle(token);
  return enabled;
}

TEST(EnableProcessPrivilege, EnablesTheShutdownPrivilegeOfTheOwnToken) {
  EXPECT_TRUE(EnableProcessPrivilege("SeShutdownPrivilege"));
  EXPECT_TRUE(PrivilegeEnabled("SeShutdownPrivilege"));
  EXPECT_TRUE(EnableShutdownPrivilege());
}

TEST(EnableProcessPrivilege, AnUnknownPrivilegeIsAFailure) {
  EXPECT_FALSE(EnableProcessPrivilege("SeNoSuchPrivilege"));
  EXPECT_FALSE(EnableProcessPrivilege(""));
}

TEST(SendMultimediaCommand, WithoutACdDriveTheTrayCommandsFailAtOnce) {
  EXPECT_FALSE(SendMultimediaCommand("Set cdaudio door open wait"));
  EXPECT_FALSE(SendMultimediaCommand("Set cdaudio door closed wait"));
  EXPECT_FALSE(SendMultimediaCommand("no such command"));
}

}  // namespace
}  // namespace lumeno
