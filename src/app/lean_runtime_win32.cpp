// The C and C++ runtime pieces the shipped program needs, in place of the
// toolchain's own, which would bring in the exception machinery, a second
// copy of std::string, the printf engine and a start-up routine that parses
// command lines, sets up thread-local storage and console modes for a
// program that uses none of them.
//  - the entry point: runs the static constructors and WinMain, which gets
//    the command line's arguments;
//  - operator new / delete over the C runtime's heap; out of memory ends the
//    program with a fatal-error box and exit code -1, never a null pointer;
//  - the throw points the library's inline code calls (string lengths,
//    allocator limits...): out of memory as above, anything else abort();
//  - static-initialisation guards for function-local statics that worker
//    threads may reach at the same time as the window thread.
// Linked into the program's own trees (which build without exceptions) and
// into the floor programs measured against it.
#include <windows.h>

#include <cstdint>
#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

// Static constructors, from the list the linker builds (-1, constructors...,
// 0), last first as the toolchain's start-up runs them.
extern "C" void (*__CTOR_LIST__[])();
extern "C" void __cdecl __set_app_type(int);

extern "C" __attribute__((force_align_arg_pointer)) void __cdecl LumenoEntry() {
  // A window program: the C runtime reports its own errors in message boxes.
  __set_app_type(2);  // _GUI_APP
  size_t count = 0;
  while (__CTOR_LIST__[count + 1]) ++count;
  for (size_t i = count; i >= 1; --i) __CTOR_LIST__[i]();
  // WinMain gets what follows the program's name, as from the C runtime.
  char* arguments = GetCommandLineA();
  for (bool quoted = false; *arguments && (quoted || (*arguments != ' ' && *arguments != '\t')); ++arguments)
    if (*arguments == '"') quoted = !quoted;
  while (*arguments == ' ' || *arguments == '\t') ++arguments;
  ExitProcess(static_cast<UINT>(WinMain(GetModuleHandleA(nullptr), nullptr, arguments, SW_SHOWDEFAULT)));
}

// The program ends with ExitProcess and never runs exit handlers; static
// objects are not destroyed, so their destructors need no list.
extern "C" int __cdecl atexit(void (*)()) { return 0; }

namespace {

[[noreturn]] void OutOfMemory() {
  // Nothing here may allocate: the box text is a constant.
  MessageBoxA(nullptr, "运行时出错!\r\n\r\n错误信息：内存不足\r\n", "错误", MB_ICONERROR | MB_TASKMODAL);
  ExitProcess(static_cast<UINT>(-1));
}

void* Allocate(std::size_t size) {
  void* block = std::malloc(size ? size : 1);
  if (!block) OutOfMemory();
  return block;
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace std {
// Every throw point of the library's functexcept.cc, so that none of it is
// linked; their signatures are the library's.
[[noreturn]] void __throw_bad_alloc() { OutOfMemory(); }
[[noreturn]] void __throw_bad_array_new_length() { OutOfMemory(); }
[[noreturn]] void __throw_length_error(const char*) { OutOfMemory(); }
[[noreturn]] void __throw_bad_exception() { abort(); }
[[noreturn]] void __throw_bad_cast() { abort(); }
[[noreturn]] void __throw_bad_typeid() { abort(); }
[[noreturn]] void __throw_logic_error(const char*) { abort(); }
[[noreturn]] void __throw_domain_error(const char*) { abort(); }
[[noreturn]] void __throw_invalid_argument(const char*) { abort(); }
[[noreturn]] void __throw_out_of_range(const char*) { abort(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { abort(); }
[[noreturn]] void __throw_runtime_error(const char*) { abort(); }
[[noreturn]] void __throw_range_error(const char*) { abort(); }
[[noreturn]] void __throw_overflow_error(const char*) { abort(); }
[[noreturn]] void __throw_underflow_error(const char*) { abort(); }
[[noreturn]] void __throw_system_error(int) { abort(); }
[[noreturn]] void __throw_future_error(int) { abort(); }
[[noreturn]] void __throw_bad_function_call() { abort(); }
}  // namespace std

// Guards of function-local statics (Itanium C++ ABI): byte 0 says "done",
// byte 1 "being initialised", bytes 4-7 hold the initialising thread, so
// that a thread coming back into its own initialisation ends the program
// instead of waiting for itself for ever.
namespace {

struct Guard {
  volatile char done;
  volatile char busy;
  char unused[2];
  volatile DWORD owner;
};
static_assert(sizeof(Guard) == sizeof(int64_t));

}  // namespace

extern "C" int __cxa_guard_acquire(int64_t* guard_object) {
  auto* guard = reinterpret_cast<Guard*>(guard_object);
  for (;;) {
    if (__atomic_load_n(&guard->done, __ATOMIC_ACQUIRE)) return 0;
    char idle = 0;
    if (__atomic_compare_exchange_n(&guard->busy, &idle, 1, false, __ATOMIC_ACQUIRE, __ATOMIC_RELAXED)) {
      if (__atomic_load_n(&guard->done, __ATOMIC_ACQUIRE)) {
        __atomic_store_n(&guard->busy, 0, __ATOMIC_RELEASE);
        return 0;
      }
      guard->owner = GetCurrentThreadId();
      return 1;
    }
    if (guard->owner == GetCurrentThreadId()) abort();
    Sleep(0);
  }
}

extern "C" void __cxa_guard_release(int64_t* guard_object) {
  auto* guard = reinterpret_cast<Guard*>(guard_object);
  guard->owner = 0;
  __atomic_store_n(&guard->done, 1, __ATOMIC_RELEASE);
  __atomic_store_n(&guard->busy, 0, __ATOMIC_RELEASE);
}

extern "C" void __cxa_guard_abort(int64_t* guard_object) {
  auto* guard = reinterpret_cast<Guard*>(guard_object);
  guard->owner = 0;
  __atomic_store_n(&guard->busy, 0, __ATOMIC_RELEASE);
}
