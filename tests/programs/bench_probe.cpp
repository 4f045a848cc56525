// Start-up probe for scripts/bench:
//   bench_probe.exe OUTPUT TITLE COMMAND-LINE
// starts COMMAND-LINE, measures the time from CreateProcess to the moment a
// visible top-level window of the new process carries TITLE, lets the process
// settle (WaitForInputIdle), reads its working set, ends it, and appends
// "<milliseconds> <working set bytes>\r\n" to OUTPUT (or "timeout\r\n" when no
// such window showed within 20 s). Exit code 0 when measured.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

namespace {

struct Search {
  DWORD process_id;
  const char* title;
  bool found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->process_id || !IsWindowVisible(window)) return TRUE;
  char title[256] = {};
  GetWindowTextA(window, title, sizeof(title));
  if (lstrcmpA(title, search->title) != 0) return TRUE;
  search->found = true;
  return FALSE;
}

void Append(const char* path, const std::string& line) {
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  const char* output = argv[1];
  const char* title = argv[2];
  std::string command_line = argv[3];

  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  QueryPerformanceCounter(&start);
  if (!CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    Append(output, "failed\r\n");
    return 1;
  }
  Search search{info.dwProcessId, title, false};
  double elapsed_ms = 0;
  for (;;) {
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    QueryPerformanceCounter(&now);
    elapsed_ms = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    if (search.found || elapsed_ms > 20000 || WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0) break;
    Sleep(1);
  }
  int code = 1;
  if (search.found) {
    WaitForInputIdle(info.hProcess, 5000);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(info.hProcess, &counters, sizeof(counters));
    char line[64];
    std::snprintf(line, sizeof(line), "%.1f %llu\r\n", elapsed_ms,
                  static_cast<unsigned long long>(counters.WorkingSetSize));
    Append(output, line);
    code = 0;
  } else {
    Append(output, "timeout\r\n");
  }
  TerminateProcess(info.hProcess, 0);
  WaitForSingleObject(info.hProcess, 5000);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return code;
}
