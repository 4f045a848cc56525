// Physical memory figures. GlobalMemoryStatusEx is looked up by name because
// systems before Windows 2000 do not have it; there the basic query serves.
#include <windows.h>

#include "memory/memory.h"
#include "platform/platform.h"

namespace lumeno {

namespace {

using GlobalMemoryStatusExFunction = BOOL(WINAPI*)(LPMEMORYSTATUSEX);

// Decided on first use and kept for the life of the process.
GlobalMemoryStatusExFunction ExtendedQuery() {
  static const GlobalMemoryStatusExFunction function = []() -> GlobalMemoryStatusExFunction {
    const WindowsVersion version = QueryWindowsVersion();
    if (!version.known || version.major < 5) return nullptr;
    HMODULE kernel = GetModuleHandleA("Kernel32.dll");
    if (kernel == nullptr) return nullptr;
    return reinterpret_cast<GlobalMemoryStatusExFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "GlobalMemoryStatusEx")));
  }();
  return function;
}

}  // namespace

int QueryMemoryMB(int kind) {
  unsigned long long bytes = 0;
  if (GlobalMemoryStatusExFunction query_ex = ExtendedQuery()) {
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;  // 64 bytes
    query_ex(&status);
    bytes = kind == kTotalMemory ? status.ullTotalPhys : status.ullAvailPhys;
  } else {
    // MEMORYSTATUS is 32 bytes on 32-bit Windows but 56 on x64: its length
    // field must say which one this build passes.
    MEMORYSTATUS status = {};
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    bytes = kind == kTotalMemory ? status.dwTotalPhys : status.dwAvailPhys;
  }
  return static_cast<int>(bytes >> 20);
}

}  // namespace lumeno
