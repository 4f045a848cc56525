// The memory queries and a trimming pass against the real system.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "memory/memory.h"
#include "memory/memory_query.h"
#include "platform/platform.h"

namespace lumeno {
namespace {

TEST(QueryMemoryMB, AgreesWithTheSystemFigures) {
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof status;
  ASSERT_TRUE(GlobalMemoryStatusEx(&status));
  const int total = QueryMemoryMB(kTotalMemory);
  EXPECT_EQ(total, static_cast<int>(status.ullTotalPhys >> 20));
  const int available = QueryMemoryMB(kAvailableMemory);
  EXPECT_GT(available, 0);
  EXPECT_LE(available, total);
}

// The basic query is the one older systems get; its structure differs in
// size between 32- and 64-bit builds, and a wrong length field would leave
// it unfilled or overrun.
TEST(QueryMemoryMB, BasicAndExtendedQueriesAgree) {
  const int extended_total = QueryExtendedMemoryMB(kTotalMemory);
  ASSERT_GT(extended_total, 0);
  // A 32-bit program that is not large-address aware is told at most
  // 2 GB - 1 byte by the basic query, as 32-bit Windows does on a machine with more.
  const int basic_total = sizeof(void*) == 4 ? std::min(extended_total, 2047) : extended_total;
  EXPECT_EQ(QueryBasicMemoryMB(kTotalMemory), basic_total);
  const int basic_available = QueryBasicMemoryMB(kAvailableMemory);
  EXPECT_GT(basic_available, 0);
  EXPECT_LE(basic_available, extended_total);
}

// Handles this process holds, counted through the system handle list
// (GetProcessHandleCount answers 0 under Wine).
struct HandleEntry {
  ULONG owner_pid;
  BYTE object_type;
  BYTE flags;
  USHORT handle;
  PVOID object;
  ACCESS_MASK access;
};
struct HandleList {
  ULONG count;
  HandleEntry entries[1];
};
using NtQuerySystemInformationFunction = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

int OwnHandleCount() {
  auto query = reinterpret_cast<NtQuerySystemInformationFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return -1;
  std::vector<char> buffer(1 << 16);
  for (;;) {
    ULONG needed = 0;
    LONG status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == static_cast<LONG>(0xC0000004)) {  // STATUS_INFO_LENGTH_MISMATCH
      buffer.resize(buffer.size() * 2);
      continue;
    }
    if (status != 0) return -1;
    break;
  }
  const auto* list = reinterpret_cast<const HandleList*>(buffer.data());
  int count = 0;
  for (ULONG i = 0; i < list->count; ++i)
    if (list->entries[i].owner_pid == GetCurrentProcessId()) ++count;
  return count;
}

int OpenableProcessCount() {
  std::vector<uint32_t> ids(1024);
  uint32_t bytes = 0;
  CallEnumProcesses(ids.data(), 4096, &bytes);
  int openable = 0;
  for (uint32_t i = 0; i < bytes / 4; ++i) {
    if (uintptr_t process = CallOpenProcess(0x1F0FFF, false, ids[i])) {
      ++openable;
      CallCloseHandle(process);
    }
  }
  return openable;
}

TEST(TrimAllWorkingSets, ClosesEveryProcessItOpens) {
  // A pass over no process at all would prove nothing.
  ASSERT_GE(OpenableProcessCount(), 3);
  TrimAllWorkingSets();  // binds the functions and loads psapi once
  const int before = OwnHandleCount();
  ASSERT_GT(before, 0);
  for (int pass = 0; pass < 5; ++pass) TrimAllWorkingSets();
  EXPECT_EQ(OwnHandleCount(), before);
}

}  // namespace
}  // namespace lumeno
