// The DeclaredFunction table: system functions bound by name at run time,
// and the typed calls through it.
#include <windows.h>

#include <atomic>
#include <cstdio>

#include "platform/declared_functions.h"
#include "platform/platform.h"
#include "platform/platform_rules.h"
#include "platform/text.h"

namespace lumeno {

namespace {

struct DeclaredEntry {
  const char* library;  // "" = the default library list
  const char* function;
};

static const DeclaredEntry kDeclaredFunctions[] = {
    {"", "SetProcessWorkingSetSize"},
    {"psapi.dll", "EnumProcesses"},
    {"", "GlobalMemoryStatus"},
    {"", "OpenProcess"},
    {"", "SetProcessWorkingSetSize"},
    {"", "CloseHandle"},
};
constexpr int kDeclaredCount = sizeof kDeclaredFunctions / sizeof kDeclaredFunctions[0];

static const char* const kDefaultLibraries[] = {
    "Kernel32.dll", "Gdi32.dll", "User32.dll", "Advapi32.dll", "Mpr.dll", "Shell32.dll",
};

// Filled on first use of each entry and never emptied. Threads that resolve
// the same entry at once store the same values; atomics keep that race
// defined without a lock. The module is stored before the address, so a
// reader that sees the address sees its module too.
struct CachedEntry {
  std::atomic<void*> address{nullptr};
  std::atomic<void*> module{nullptr};
};
CachedEntry g_cache[kDeclaredCount];

// GetProcAddress by name, or by ordinal for "#n". An ordinal outside
// 1..65535 names nothing (0 would be read as a null name).
FARPROC LookUp(HMODULE module, std::string_view function) {
  Text name(function);
  if (!name.empty() && name[0] == '#') {
    long ordinal = 0;
    for (size_t i = 1; i < name.size(); ++i) {
      if (name[i] < '0' || name[i] > '9' || ordinal > 0xFFFF) return nullptr;
      ordinal = ordinal * 10 + (name[i] - '0');
    }
    if (ordinal < 1 || ordinal > 0xFFFF) return nullptr;
    return GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
  }
  return GetProcAddress(module, name.c_str());
}

ResolvedFunction SearchDefaultLibraries(std::string_view function) {
  for (const char* library : kDefaultLibraries) {
    auto module = static_cast<HMODULE>(LoadSystemLibrary(library));
    if (!module) continue;
    if (FARPROC address = LookUp(module, function))
      return {reinterpret_cast<void*>(address), module};
    FreeLibrary(module);
  }
  return {};
}

}  // namespace

void* LoadSystemLibrary(std::string_view library) {
  char folder[MAX_PATH];
  UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  Text path = SystemLibraryPath(std::string_view(folder, length), library);
  if (path.empty()) return nullptr;
  // With a full path, the altered search order looks for the library's own
  // imports in its folder before the program's.
  return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

ResolvedFunction ResolveFunction(std::string_view library, std::string_view function) {
  ResolvedFunction found;
  if (library.empty()) {
    found = SearchDefaultLibraries(function);
  } else if (auto module = static_cast<HMODULE>(LoadSystemLibrary(library))) {
    found = {reinterpret_cast<void*>(LookUp(module, function)), module};
  }
  if (found.address) return found;

  Text message;
  if (library.empty())
    message = ConcatTexts("无法找到指定DLL库文件中的输出命令“", function, "”");
  else
    message = ConcatTexts("无法找到指定DLL库文件“", library, "”中的输出命令“", function, "”");
  FatalError(0, message);
}

ResolvedFunction DeclaredFunctionAt(int index) {
  // The table is read like the program's other lists, whose bad indices are
  // fatal rather than a call through an empty address.
  if (index < 0) FatalError(4, "数组成员引用下标必须大于等于1");
  if (index >= kDeclaredCount) FatalError(1, "数组成员引用下标超出定义范围");
  CachedEntry& cached = g_cache[index];
  if (void* address = cached.address.load(std::memory_order_acquire))
    return {address, cached.module.load(std::memory_order_relaxed)};
  const DeclaredEntry& entry = kDeclaredFunctions[index];
  ResolvedFunction found = ResolveFunction(entry.library, entry.function);
  cached.module.store(found.module, std::memory_order_relaxed);
  cached.address.store(found.address, std::memory_order_release);
  return found;
}

// Each call below has the function's own C++ signature, so the compiler
// pushes exactly the arguments the callee removes: the stack cannot come back
// unbalanced, and the stack-depth check after the call (fatal error 6) is
// not needed.

namespace {

template <typename Signature>
Signature Declared(DeclaredFunction entry) {
  return reinterpret_cast<Signature>(DeclaredFunctionAt(static_cast<int>(entry)).address);
}

bool IsSetProcessWorkingSetSizeEntry(DeclaredFunction entry) {
  return entry == DeclaredFunction::kSetProcessWorkingSetSizeOwn ||
         entry == DeclaredFunction::kSetProcessWorkingSetSize;
}

}  // namespace

bool CallSetProcessWorkingSetSize(DeclaredFunction entry, uintptr_t process, intptr_t minimum, intptr_t maximum) {
  // Only two entries have this signature; calling any other through it would
  // be exactly the unbalanced call the typed table exists to rule out.
  if (!IsSetProcessWorkingSetSizeEntry(entry)) return false;
  using Function = BOOL(WINAPI*)(HANDLE, SIZE_T, SIZE_T);
  return Declared<Function>(entry)(reinterpret_cast<HANDLE>(process), static_cast<SIZE_T>(minimum),
                                   static_cast<SIZE_T>(maximum)) != FALSE;
}

bool CallEnumProcesses(uint32_t* ids, uint32_t bytes, uint32_t* bytes_returned) {
  using Function = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
  DWORD returned = 0;
  BOOL ok = Declared<Function>(DeclaredFunction::kEnumProcesses)(reinterpret_cast<DWORD*>(ids), bytes, &returned);
  if (bytes_returned) *bytes_returned = returned;
  return ok != FALSE;
}

uintptr_t CallOpenProcess(uint32_t access, bool inherit, uint32_t process_id) {
  using Function = HANDLE(WINAPI*)(DWORD, BOOL, DWORD);
  HANDLE process = Declared<Function>(DeclaredFunction::kOpenProcess)(access, inherit ? TRUE : FALSE, process_id);
  return reinterpret_cast<uintptr_t>(process);
}

bool CallCloseHandle(uintptr_t handle) {
  using Function = BOOL(WINAPI*)(HANDLE);
  return Declared<Function>(DeclaredFunction::kCloseHandle)(reinterpret_cast<HANDLE>(handle)) != FALSE;
}

}  // namespace lumeno
