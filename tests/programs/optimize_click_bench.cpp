// Times the Optimize command with all twenty tweaks ticked, from the click on
// "开始优化" to its message box being shown, against the time a bare
// MessageBoxA of this process takes to show, measured the same way.
//   optimize_click_bench.exe RUNS OUTPUT   (starts C:\Lumeno\lumeno.exe itself)
// One run of each first, not counted: the first box of a process loads what
// every later one reuses. OUTPUT gets two lines of RUNS times in ms: the
// Optimize command's, then the bare box's.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/control_ids.h"
#include "support/windows_support.h"

namespace {

using support::ElapsedMs;
using support::FindControl;
using support::FindTopLevel;

// Polls every millisecond: the waits are part of what is timed.
constexpr DWORD kPollMs = 1;

using lumeno::main_controls::kOptimizeButton;
constexpr UINT kFirstTweakBox = 0x160102A3, kLastTweakBox = 0x160102B6;

DWORD WINAPI ShowBareBox(LPVOID) {
  MessageBoxA(nullptr, "bench", "bench", MB_ICONINFORMATION | MB_TASKMODAL);
  return 0;
}

int Fail(const char* what) {
  std::fprintf(stderr, "optimize_click_bench: %s\n", what);
  return 2;
}

// Click to box shown, then the box answered and the button back; < 0 on failure.
double TimeOptimize(DWORD process_id, HWND button) {
  LARGE_INTEGER clicked;
  HWND box = nullptr;
  QueryPerformanceCounter(&clicked);
  PostMessageA(button, BM_CLICK, 0, 0);
  if (!support::WaitUntil([&] { return (box = FindTopLevel(process_id, "#32770", nullptr)) != nullptr; }, 30000, kPollMs)) return -1;
  const double ms = ElapsedMs(clicked);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  if (!support::WaitUntil([&] { return IsWindowEnabled(button) && !IsWindow(box); }, 10000, kPollMs)) return -1;
  return ms;
}

double TimeBareBox() {
  LARGE_INTEGER started;
  HWND box = nullptr;
  QueryPerformanceCounter(&started);
  HANDLE thread = CreateThread(nullptr, 0, ShowBareBox, nullptr, 0, nullptr);
  if (!thread) return -1;
  if (!support::WaitUntil([&] { return (box = FindTopLevel(GetCurrentProcessId(), "#32770", nullptr)) != nullptr; }, 30000, kPollMs)) return -1;
  const double ms = ElapsedMs(started);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  WaitForSingleObject(thread, 10000);
  CloseHandle(thread);
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const char* output = argc > 2 ? argv[2] : "C:\\lumeno-test\\optimize_click_bench.txt";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION program = {};
  char command_line[] = "C:\\Lumeno\\lumeno.exe";
  if (!CreateProcessA(nullptr, command_line, nullptr, nullptr, FALSE, 0, nullptr, "C:\\Lumeno", &startup, &program))
    return Fail("cannot start C:\\Lumeno\\lumeno.exe");
  HWND main_window = nullptr;
  support::WaitUntil([&] { return (main_window = FindTopLevel(program.dwProcessId, nullptr, "Lumeno1.1")) != nullptr; }, 20000, kPollMs);
  if (!main_window) return Fail("no main window");
  HWND button = FindControl(main_window, kOptimizeButton);
  if (!button) return Fail("no button");
  for (UINT id = kFirstTweakBox; id <= kLastTweakBox; ++id) {
    HWND box = FindControl(main_window, id);
    if (!box) return Fail("a tweak box is missing");
    if (SendMessageA(box, BM_GETCHECK, 0, 0) != BST_CHECKED) SendMessageA(box, BM_CLICK, 0, 0);
    if (SendMessageA(box, BM_GETCHECK, 0, 0) != BST_CHECKED) return Fail("a tweak box does not tick");
  }

  if (TimeOptimize(program.dwProcessId, button) < 0 || TimeBareBox() < 0) return Fail("warm-up failed");
  std::string ours, bare;
  char number[32];
  for (int run = 0; run < runs; ++run) {
    const double optimize_ms = TimeOptimize(program.dwProcessId, button);
    const double bare_ms = TimeBareBox();
    if (optimize_ms < 0 || bare_ms < 0) return Fail("a run failed");
    std::snprintf(number, sizeof number, "%.1f ", optimize_ms);
    ours += number;
    std::snprintf(number, sizeof number, "%.1f ", bare_ms);
    bare += number;
  }
  TerminateProcess(program.hProcess, 0);
  CloseHandle(program.hThread);
  CloseHandle(program.hProcess);

  const std::string text = ours + "\n" + bare + "\n";
  std::fputs(text.c_str(), stdout);
  if (FILE* out = std::fopen(output, "w")) {
    std::fputs(text.c_str(), out);
    std::fclose(out);
  }
  return 0;
}
