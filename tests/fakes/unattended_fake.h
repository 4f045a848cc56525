// Recording fake of the host operations of unattended mode (src/unattended/unattended.h).
//   IsAdministrator  {}
//   OpenLogFile      {path}
//   AppendToLogFile  {path, bytes}
//   CloseLogFile     {path}
//   WriteToConsole   {bytes}
// UserName answers from the state and is not recorded.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/text.h"

namespace lumeno::fake {

struct UnattendedHostState {
  bool administrator = true;
  bool open_result = true;    // false: OpenLogFile fails
  bool append_result = true;  // false: every AppendToLogFile fails
  Text user_name = "admin";
  std::map<Text, std::string> appended;  // path -> everything appended to it
  std::vector<Text> open_logs;           // by handle - 1; empty once closed
  std::string console;
};

// Tests set it; fake::Reset() does not touch it, ResetUnattendedHost() does.
UnattendedHostState& UnattendedHost();
void ResetUnattendedHost();

}  // namespace lumeno::fake
