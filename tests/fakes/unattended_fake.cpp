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

using fake::UnattendedHost;

bool IsAdministrator() {
  fake::Record("IsAdministrator");
  return UnattendedHost().administrator;
}

Text UserName() { return UnattendedHost().user_name; }

LogFile OpenLogFile(const Text& path) {
  fake::Record("OpenLogFile", {path});
  if (!UnattendedHost().open_result) return 0;
  UnattendedHost().open_logs.push_back(path);
  return UnattendedHost().open_logs.size();
}

// A handle that is unknown or closed already is a fault of the caller: the
// test sees it as an append to "<closed>".
bool AppendToLogFile(LogFile log, std::string_view bytes) {
  const std::vector<Text>& open = UnattendedHost().open_logs;
  const Text path = log >= 1 && log <= open.size() && !open[log - 1].empty() ? open[log - 1] : Text("<closed>");
  fake::Record("AppendToLogFile", {path, std::string(bytes)});
  if (!UnattendedHost().append_result) return false;
  UnattendedHost().appended[path] += bytes;
  return true;
}

void CloseLogFile(LogFile log) {
  std::vector<Text>& open = UnattendedHost().open_logs;
  const Text path = log >= 1 && log <= open.size() ? open[log - 1] : Text("<closed>");
  fake::Record("CloseLogFile", {path.empty() ? Text("<closed>") : path});
  if (log >= 1 && log <= open.size()) open[log - 1].clear();
}

void WriteToConsole(std::string_view bytes) {
  fake::Record("WriteToConsole", {std::string(bytes)});
  UnattendedHost().console += bytes;
}

}  // namespace lumeno
