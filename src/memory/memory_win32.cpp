// Physical memory figures. GlobalMemoryStatusEx is looked up by name because
// systems before Windows 2000 do not have it; there the basic query serves.
#include <windows.h>

#include "memory/memory.h"
#include "memory/memory_query.h"
#include "platform/declared_functions.h"
#include "platform/platform.h"

namespace lumeno {

namespace {

using GlobalMemoryStatusFunction = void(WINAPI*)(LPMEMORYSTATUS);
using GlobalMemoryStatusExFunction = BOOL(WINAPI*)(LPMEMORYSTATUSEX);

GlobalMemoryStatusExFunction LookUpExtendedQuery() {
  HMODULE kernel = GetModuleHandleA("Kernel32.dll");
  if (kernel == nullptr) return nullptr;
  return reinterpret_cast<GlobalMemoryStatusExFunction>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "GlobalMemoryStatusEx")));
}

// Systems older than Windows 2000, or one whose version cannot be read, get
// the basic query without looking further.
bool UseExtendedQuery() {
  static const bool extended = [] {
    const WindowsVersion version = QueryWindowsVersion();
    return version.known && version.major >= 5 && LookUpExtendedQuery() != nullptr;
  }();
  return extended;
}

int Megabytes(unsigned long long bytes) { return static_cast<int>(bytes >> 20); }

}  // namespace

int QueryBasicMemoryMB(int kind) {
  // MEMORYSTATUS is 32 bytes on 32-bit Windows but 56 on x64: its length
  // field must say which one this build passes.
  MEMORYSTATUS status = {};
  status.dwLength = sizeof status;
  reinterpret_cast<GlobalMemoryStatusFunction>(
      DeclaredFunctionAt(static_cast<int>(DeclaredFunction::kGlobalMemoryStatus)).address)(&status);
  return Megabytes(kind == kTotalMemory ? status.dwTotalPhys : status.dwAvailPhys);
}

int QueryExtendedMemoryMB(int kind) {
  static const GlobalMemoryStatusExFunction query = LookUpExtendedQuery();
  if (query == nullptr) return -1;
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof status;  // 64 bytes
  query(&status);
  return Megabytes(kind == kTotalMemory ? status.ullTotalPhys : status.ullAvailPhys);
}

int QueryMemoryMB(int kind) { return UseExtendedQuery() ? QueryExtendedMemoryMB(kind) : QueryBasicMemoryMB(kind); }

}  // namespace lumeno
