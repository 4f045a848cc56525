#include "fakes/unattended_fake.h"

#include "unattended/unattended.h"
#include "fakes/recorder.h"

namespace lumeno::fake {

UnattendedHostState& UnattendedHost() {
  static UnattendedHostState state;
  return state;
}

void ResetUnattendedHost() { UnattendedHost() = UnattendedHostState{}; }

}  // namespace lumeno::fake

namespace lumeno {

bool IsAdministrator() {
  fake::Record("IsAdministrator");
  return fake::UnattendedHost().administrator;
}

Text UserName() { return fake::UnattendedHost().user_name; }

bool AppendToFile(const Text& path, std::string_view bytes) {
  fake::Record("AppendToFile", {path, std::string(bytes)});
  if (!fake::UnattendedHost().append_result) return false;
  fake::UnattendedHost().appended[path] += bytes;
  return true;
}

void WriteToConsole(std::string_view bytes) {
  fake::Record("WriteToConsole", {std::string(bytes)});
  fake::UnattendedHost().console += bytes;
}

}  // namespace lumeno
