// A recording stand-in that fails on demand. Copied under a tool's name (sc.exe,
// net.exe ...) beside the program, it appends the same log line as recorder.exe
//   <wShowWindow> TAB <command line bytes> CR LF   to "<own base name>.log"
// and exits with 1 when its command line contains the bytes of the file
// "<own base name>.fail" (0 otherwise, or when there is no such file), so that
// a test can make one line in the middle of a list fail.
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
  HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
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

  std::string failing;
  bool fails = ReadWholeFile(base + ".fail", &failing) && !failing.empty() &&
               command_line.find(failing) != std::string::npos;
  return fails ? 1 : 0;
}
