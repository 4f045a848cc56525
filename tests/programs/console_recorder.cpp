// Console-subsystem recording stand-in (sc, net, cmd... beside the program or
// named by ComSpec): appends one line to "<own directory>\<own base name>.log"
//   <console window> TAB <command line bytes exactly as received> CR LF
// where <console window> is 1 when the process has a console window
// (GetConsoleWindow), 0 when it runs without one; then exits with 0. A
// console program gets a console of its own unless its parent passes
// CREATE_NO_WINDOW (or DETACHED_PROCESS), which this records.
#include <windows.h>

#include <string>

int main() {
  char path[MAX_PATH];
  std::string log(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  log.replace(log.rfind('.'), std::string::npos, ".log");
  const std::string line = std::string(GetConsoleWindow() ? "1" : "0") + "\t" + GetCommandLineA() + "\r\n";
  // Opening the log can fail for a moment on a busy machine; a lost line
  // would read as a run that never happened.
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 500 && file == INVALID_HANDLE_VALUE; ++attempt) {
    file = CreateFileA(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Sleep(10);
  }
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
