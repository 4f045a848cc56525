// Probe of the runtime the program's own trees link instead of the
// toolchain's (src/app/lean_runtime_win32.cpp, delay_load_win32.cpp), built
// there like the program and run by tests/e2e/lean_runtime_test.cpp:
//   lean_runtime_probe.exe constructors      exit 0 when the static constructors ran before WinMain
//   lean_runtime_probe.exe statics           exit 0 when eight threads racing into one function-local
//                                            static saw it constructed once, and complete
//   lean_runtime_probe.exe out-of-memory     asks operator new for more than the address space holds
//   lean_runtime_probe.exe missing-function  calls a delay-loaded function shell32.dll does not export
//   lean_runtime_probe.exe missing-library   calls a delay-loaded function of a library that does not exist
// The last three must not come back: the runtime's fatal-error box, then exit
// code -1. Exit 10 means they came back, 2 an unknown mode.
#include <windows.h>

#include <atomic>
#include <cstring>
#include <string>

// Delay-imported through libraries the build makes for this probe alone.
extern "C" __declspec(dllimport) int WINAPI LumenoProbeMissingExport();
extern "C" __declspec(dllimport) int WINAPI LumenoProbeMissingLibraryExport();

namespace {

std::string MadeAtRunTime() { return std::string("made ") + std::to_string(GetCurrentProcessId() != 0); }
const std::string g_made = MadeAtRunTime();

std::atomic<int> g_constructions{0};

struct Slow {
  int value = 0;
  Slow() {
    ++g_constructions;
    Sleep(200);  // long enough for every racer to arrive meanwhile
    value = 42;
  }
};

DWORD WINAPI Racer(void*) {
  static Slow slow;
  return static_cast<DWORD>(slow.value);
}

int RaceIntoStatic() {
  HANDLE threads[8];
  for (HANDLE& thread : threads) thread = CreateThread(nullptr, 0, Racer, nullptr, 0, nullptr);
  WaitForMultipleObjects(8, threads, TRUE, INFINITE);
  int wrong = 0;
  for (HANDLE thread : threads) {
    DWORD seen = 0;
    GetExitCodeThread(thread, &seen);
    if (seen != 42) ++wrong;
    CloseHandle(thread);
  }
  return g_constructions == 1 && wrong == 0 ? 0 : 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR mode, int) {
  if (std::strcmp(mode, "constructors") == 0) return g_made == "made 1" ? 0 : 1;
  if (std::strcmp(mode, "statics") == 0) return RaceIntoStatic();
  if (std::strcmp(mode, "out-of-memory") == 0) {
    // Near the top of the address space: no heap can round it up to a block.
    volatile size_t size = static_cast<size_t>(-1) - 4095;
    // The block escapes, so that the compiler cannot drop the allocation.
    static void* volatile kept;
    kept = ::operator new(size);
    return 10;
  }
  if (std::strcmp(mode, "missing-function") == 0) return 10 + LumenoProbeMissingExport();
  if (std::strcmp(mode, "missing-library") == 0) return 10 + LumenoProbeMissingLibraryExport();
  return 2;
}
