// Recording fakes of the utilities' own Win32 calls (see utilities_fake.h).
#include "fakes/utilities_fake.h"

#include <string>

#include "fakes/recorder.h"
#include "utilities/session.h"
#include "utilities/tool_launchers.h"

namespace lumeno::fake {

UtilitiesState& Utilities() {
  static UtilitiesState state;
  return state;
}

void ResetUtilities() { Utilities() = UtilitiesState{}; }

}  // namespace lumeno::fake

namespace lumeno {

bool SendMultimediaCommand(const Text& command) {
  fake::Record("SendMultimediaCommand", {command});
  return fake::Utilities().multimedia_result;
}

bool EnableProcessPrivilege(const char* privilege_name) {
  fake::Record("EnableProcessPrivilege", {privilege_name});
  return fake::Utilities().privilege_result;
}

bool RequestExitWindows(uint32_t flags) {
  fake::Record("RequestExitWindows", {std::to_string(flags)});
  return fake::Utilities().exit_result;
}

void OpenUrl(const Text& url) { fake::Record("OpenUrl", {url}); }

}  // namespace lumeno
