// A recording stand-in that fails on demand. Copied under a tool's name (sc.exe,
// net.exe ...) beside the program, it appends the same log line as recorder.exe
//   <wShowWindow> TAB <command line bytes> CR LF   to "<own base name>.log"
// and exits with a code chosen by the file "<own base name>.fail", one rule a
// line (LF or CR LF), the first matching rule winning:
//   <text>               exit 1 when the command line contains text
//   <code> TAB <text>    exit code (decimal) when it contains text; an empty
//                        text matches every command line
// and 0 when no rule matches or there is no such file, so that a test can make
// one line in the middle of a list fail, or every line exit with one code.
#include <windows.h>

#include <string>

namespace {

std::string OwnPathWithoutExtension() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string result(path, length);
  size_t dot = result.rfind('.');
  size_t slash = result.rfind('\\');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) result.resize(dot);
  return result;
}

bool ReadWholeFile(const std::string& path, std::string* bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes->append(buffer, got);
  CloseHandle(file);
  return true;
}

void AppendToFile(const std::string& path, const std::string& bytes) {
  // Another stand-in may hold the log for a moment on a busy machine; a lost
  // line would read as a run that never happened, so keep trying for a while.
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 500 && file == INVALID_HANDLE_VALUE; ++attempt) {
    file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Sleep(10);
  }
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// The exit code the rules give this command line.
DWORD ExitCodeFor(const std::string& rules, const std::string& command_line) {
  for (size_t begin = 0; begin < rules.size();) {
    size_t end = rules.find('\n', begin);
    if (end == std::string::npos) end = rules.size();
    std::string rule = rules.substr(begin, end - begin);
    begin = end + 1;
    if (!rule.empty() && rule.back() == '\r') rule.pop_back();
    if (rule.empty()) continue;
    DWORD code = 1;
    size_t tab = rule.find('\t');
    if (tab != std::string::npos && tab > 0 && rule.find_first_not_of("0123456789") == tab) {
      code = static_cast<DWORD>(std::stoul(rule.substr(0, tab)));
      rule.erase(0, tab + 1);
    }
    if (command_line.find(rule) != std::string::npos) return code;
  }
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoA(&startup);
  std::string command_line = GetCommandLineA();
  std::string base = OwnPathWithoutExtension();

  std::string show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? std::to_string(startup.wShowWindow)
                                                              : "none/" + std::to_string(startup.wShowWindow);
  AppendToFile(base + ".log", show + "\t" + command_line + "\r\n");

  std::string rules;
  return ReadWholeFile(base + ".fail", &rules) ? static_cast<int>(ExitCodeFor(rules, command_line)) : 0;
}
