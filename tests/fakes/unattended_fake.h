// Recording fake of the host operations of unattended mode (src/unattended/unattended.h).
//   IsAdministrator  {}
//   AppendToFile     {path, bytes}
//   WriteToConsole   {bytes}
// UserName answers from the state and is not recorded.
#pragma once

#include <map>
#include <string>

#include "platform/text.h"

namespace lumeno::fake {

struct UnattendedHostState {
  bool administrator = true;
  bool append_result = true;
  Text user_name = "admin";
  std::map<Text, std::string> appended;  // path -> everything appended to it
  std::string console;
};

// Tests set it; fake::Reset() does not touch it, ResetUnattendedHost() does.
UnattendedHostState& UnattendedHost();
void ResetUnattendedHost();

}  // namespace lumeno::fake
