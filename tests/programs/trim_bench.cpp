// Times working-set trimming passes over the processes of the prefix:
//   trim_bench.exe OUTPUT MODE PASSES
// MODE "trim" runs TrimAllWorkingSets, the pass each timer tick starts;
// MODE "open-close" walks the same processes with only the open and the close
// every pass must make, through the same bound functions. Either runs PASSES
// passes on one thread of its own, as the program runs each pass, and
// appends to OUTPUT one line:
//   <thread CPU ms per process> <wall ms per process> <processes opened per pass>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "memory/memory.h"
#include "platform/platform.h"

namespace {

constexpr uint32_t kProcessAllAccess = 0x1F0FFF;

std::vector<uint32_t> ProcessIds() {
  std::vector<uint32_t> ids(1024);
  uint32_t bytes = 0;
  lumeno::CallEnumProcesses(ids.data(), 4096, &bytes);
  ids.resize(bytes / 4);
  return ids;
}

// The processes a pass can open: the ones it trims.
int OpenableProcesses() {
  int count = 0;
  for (uint32_t id : ProcessIds()) {
    if (uintptr_t process = lumeno::CallOpenProcess(kProcessAllAccess, false, id)) {
      ++count;
      lumeno::CallCloseHandle(process);
    }
  }
  return count;
}

void OpenClosePass() {
  for (uint32_t id : ProcessIds())
    if (uintptr_t process = lumeno::CallOpenProcess(kProcessAllAccess, false, id)) lumeno::CallCloseHandle(process);
}

double Milliseconds(const FILETIME& time) {
  ULARGE_INTEGER value;
  value.LowPart = time.dwLowDateTime;
  value.HighPart = time.dwHighDateTime;
  return value.QuadPart / 10000.0;
}

// User plus kernel time of the calling thread. Read by the thread itself:
// Wine reports nothing for a thread that has ended.
double OwnCpuMilliseconds() {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
  return Milliseconds(kernel) + Milliseconds(user);
}

struct Run {
  void (*pass)();
  int passes;
  double cpu_ms;
};

DWORD WINAPI RunPasses(void* parameter) {
  Run* run = static_cast<Run*>(parameter);
  const double start = OwnCpuMilliseconds();
  for (int i = 0; i < run->passes; ++i) run->pass();
  run->cpu_ms = OwnCpuMilliseconds() - start;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const bool trim = std::strcmp(argv[2], "trim") == 0;
  Run run{trim ? lumeno::TrimAllWorkingSets : OpenClosePass, std::atoi(argv[3]), 0};
  if (run.passes <= 0) return 2;

  const int processes = OpenableProcesses();  // also binds the functions before timing
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  HANDLE thread = CreateThread(nullptr, 0, RunPasses, &run, 0, nullptr);
  if (!thread) return 1;
  WaitForSingleObject(thread, INFINITE);
  QueryPerformanceCounter(&end);
  CloseHandle(thread);

  const double visits = static_cast<double>(run.passes) * (processes > 0 ? processes : 1);
  const double wall_ms = (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
  FILE* out = std::fopen(argv[1], "a");
  if (!out) return 1;
  std::fprintf(out, "%.6f %.6f %d\n", run.cpu_ms / visits, wall_ms / visits, processes);
  std::fclose(out);
  return 0;
}
