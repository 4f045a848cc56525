// Window look-ups shared by the benchmark programs that drive the real
// program from outside: top-level windows of a process, controls by id, and
// elapsed time.
#pragma once

#include <windows.h>

namespace bench {

struct Search {
  DWORD process_id;
  const char* class_name;
  const char* title;
  HWND found;
};

inline BOOL CALLBACK MatchTopLevel(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->process_id || !IsWindowVisible(window)) return TRUE;
  char text[64] = {};
  if (search->class_name) {
    GetClassNameA(window, text, sizeof text);
    if (lstrcmpA(text, search->class_name) != 0) return TRUE;
  }
  if (search->title) {
    GetWindowTextA(window, text, sizeof text);
    if (lstrcmpA(text, search->title) != 0) return TRUE;
  }
  search->found = window;
  return FALSE;
}

inline HWND TopLevel(DWORD process_id, const char* class_name, const char* title) {
  Search search{process_id, class_name, title, nullptr};
  EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

struct ControlSearch {
  UINT id;
  HWND found;
};

inline BOOL CALLBACK MatchControl(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<ControlSearch*>(parameter);
  if (static_cast<UINT>(GetDlgCtrlID(window)) != search->id) return TRUE;
  search->found = window;
  return FALSE;
}

inline HWND Control(HWND parent, UINT id) {
  ControlSearch search{id, nullptr};
  EnumChildWindows(parent, MatchControl, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

template <typename Condition>
inline bool WaitFor(Condition condition, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeout_ms) return false;
    Sleep(1);
  }
  return true;
}

// Milliseconds since from (a QueryPerformanceCounter reading).
inline double Elapsed(LARGE_INTEGER from) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace bench
