// Times the Optimize command with all twenty tweaks ticked, from the click on
// "开始优化" to its message box being shown, against the time a bare
// MessageBoxA of this process takes to show, measured the same way.
//   optimize_click_bench.exe RUNS OUTPUT   (starts C:\Lumeno\lumeno.exe itself)
// With a third argument, the program to compare with instead of the bare box
// (lumeno_without_backup.exe): both run side by side, clicked in turn, and
// before every click each catalogue value is set to the text "bench", so that
// every click changes all of them and a restore file is due each time.
// One run of each first, not counted: the first box of a process loads what
// every later one reuses. OUTPUT gets two lines of RUNS times in ms: the
// Optimize command's, then the comparison's.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "ui/control_ids.h"
#include "platform/platform.h"
#include "platform/platform_rules.h"
#include "support/windows_support.h"
#include "tweaks/optimize.h"

namespace {

using support::ElapsedMs;
using support::FindControl;
using support::FindTopLevel;

// Polls every millisecond: the waits are part of what is timed.
constexpr DWORD kPollMs = 1;

using lumeno::main_controls::kOptimizeButton;

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

// A copy of the program with its twenty tweak boxes ticked.
struct TickedProgram {
  PROCESS_INFORMATION process = {};
  HWND button = nullptr;
};

bool StartTicked(const char* path, TickedProgram* program) {
  if (!support::StartProcess(path, &program->process, "C:\\Lumeno")) return false;
  HWND main_window = nullptr;
  support::WaitUntil(
      [&] { return (main_window = FindTopLevel(program->process.dwProcessId, nullptr, "Lumeno1.1")) != nullptr; },
      20000, kPollMs);
  if (!main_window) return false;
  program->button = FindControl(main_window, kOptimizeButton);
  if (!program->button) return false;
  for (const lumeno::TweakItem& item : lumeno::TweakCatalogue()) {
    HWND box = FindControl(main_window, item.box);
    if (!box) return false;
    if (SendMessageA(box, BM_GETCHECK, 0, 0) != BST_CHECKED) SendMessageA(box, BM_CLICK, 0, 0);
    if (SendMessageA(box, BM_GETCHECK, 0, 0) != BST_CHECKED) return false;
  }
  return true;
}

void Stop(TickedProgram& program) {
  TerminateProcess(program.process.hProcess, 0);
  CloseHandle(program.process.hThread);
  CloseHandle(program.process.hProcess);
}

// Every value the catalogue writes becomes a text no tweak stores.
void UnsetTweaks() {
  for (const lumeno::TweakItem& item : lumeno::TweakCatalogue())
    for (const lumeno::TweakWrite& write : item.writes)
      if (!lumeno::IsUnloadedUsersHive(write.root, write.item_path))
        lumeno::WriteRegistryItem(write.root, write.item_path, lumeno::Text("bench"));
}

// One uncounted run of each, then runs pairs, ours first; OUTPUT and stdout
// get the two lines of times.
int Measure(int runs, const char* output, const std::function<double()>& ours,
            const std::function<double()>& theirs) {
  if (ours() < 0 || theirs() < 0) return Fail("warm-up failed");
  std::string our_times, their_times;
  char number[32];
  for (int run = 0; run < runs; ++run) {
    const double our_ms = ours();
    const double their_ms = theirs();
    if (our_ms < 0 || their_ms < 0) return Fail("a run failed");
    std::snprintf(number, sizeof number, "%.1f ", our_ms);
    our_times += number;
    std::snprintf(number, sizeof number, "%.1f ", their_ms);
    their_times += number;
  }
  const std::string text = our_times + "\n" + their_times + "\n";
  std::fputs(text.c_str(), stdout);
  if (FILE* out = std::fopen(output, "w")) {
    std::fputs(text.c_str(), out);
    std::fclose(out);
  }
  return 0;
}

// A click that changes every value, as the first one on a machine does.
double TimeChangingOptimize(TickedProgram& program) {
  UnsetTweaks();
  return TimeOptimize(program.process.dwProcessId, program.button);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const char* output = argc > 2 ? argv[2] : "C:\\lumeno-test\\optimize_click_bench.txt";
  TickedProgram ours, theirs;
  if (!StartTicked("C:\\Lumeno\\lumeno.exe", &ours)) return Fail("cannot start C:\\Lumeno\\lumeno.exe");
  int result;
  if (argc > 3) {
    if (!StartTicked(argv[3], &theirs)) return Fail("cannot start the program to compare with");
    result = Measure(runs, output, [&] { return TimeChangingOptimize(ours); },
                     [&] { return TimeChangingOptimize(theirs); });
    Stop(theirs);
  } else {
    result = Measure(runs, output, [&] { return TimeChangingOptimize(ours); }, TimeBareBox);
  }
  Stop(ours);
  return result;
}
