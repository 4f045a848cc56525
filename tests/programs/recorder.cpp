// Recording stand-in for the tools Lumeno starts (sc, net, reg, regsvr32,
// cmd, regedit...). Copied under a tool's name beside the program, it is
// found before the system's copy, and it
//  - appends one line to "<own directory>\<own base name>.log":
//      <show> TAB <command line bytes exactly as received> CR LF
//    where <show> is wShowWindow in decimal when STARTF_USESHOWWINDOW was set,
//    and "none/<raw wShowWindow>" when it was not;
//  - for each argument that names an existing .cmd or .bat file (the form
//    "<ComSpec> /s/c "<path>"" in which scripts run), copies the script's bytes
//    to "<own base name>.<n>.script" (n = 1, 2, ... first free), because such
//    scripts usually delete themselves with "del %0";
//  - exits with 0.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

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

void AppendToFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// Splits like the C runtime does for the simple cases that matter here:
// white space separates, double quotes group and are dropped.
std::vector<std::string> Arguments(const char* command_line) {
  std::vector<std::string> result;
  std::string current;
  bool quoted = false, any = false;
  for (const char* p = command_line; *p; ++p) {
    if (*p == '"') {
      quoted = !quoted;
      any = true;
    } else if ((*p == ' ' || *p == '\t') && !quoted) {
      if (any) result.push_back(current);
      current.clear();
      any = false;
    } else {
      current += *p;
      any = true;
    }
  }
  if (any) result.push_back(current);
  return result;
}

bool EndsWithNoCase(const std::string& text, const char* suffix) {
  size_t n = std::strlen(suffix);
  return text.size() >= n && lstrcmpiA(text.c_str() + text.size() - n, suffix) == 0;
}

void CaptureScript(const std::string& script, const std::string& base) {
  for (int n = 1; n < 10000; ++n) {
    std::string target = base + "." + std::to_string(n) + ".script";
    if (CopyFileA(script.c_str(), target.c_str(), TRUE)) return;
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoA(&startup);
  const char* command_line = GetCommandLineA();
  std::string base = OwnPathWithoutExtension();

  std::string show = (startup.dwFlags & STARTF_USESHOWWINDOW)
                         ? std::to_string(startup.wShowWindow)
                         : "none/" + std::to_string(startup.wShowWindow);
  std::vector<std::string> arguments = Arguments(command_line);
  for (size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if ((EndsWithNoCase(argument, ".cmd") || EndsWithNoCase(argument, ".bat")) &&
        GetFileAttributesA(argument.c_str()) != INVALID_FILE_ATTRIBUTES) {
      CaptureScript(argument, base);
    }
  }
  // The log line comes last, so a test that sees the line also finds the script.
  AppendToFile(base + ".log", show + "\t" + command_line + "\r\n");
  return 0;
}
