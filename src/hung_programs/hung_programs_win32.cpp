#include <windows.h>
#include <tlhelp32.h>

#include "hung_programs/hung_programs.h"
#include "platform/platform.h"

namespace lumeno {

namespace {

using HungWindowTest = BOOL(WINAPI*)(HWND);
using HungThreadTest = BOOL(WINAPI*)(DWORD);

BOOL CALLBACK CollectVisibleWindow(HWND hwnd, LPARAM param) {
  if (GetWindowLongA(hwnd, GWL_STYLE) & WS_VISIBLE) reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
  return TRUE;
}

DWORD ProcessIdOfExecutable(const Text& name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  DWORD found = 0;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
    if (lstrcmpiA(entry.szExeFile, name.c_str()) == 0) found = entry.th32ProcessID;
  CloseHandle(snapshot);
  return found;
}

}  // namespace

std::vector<Text> ListHungWindowTitles() {
  std::vector<HWND> windows;
  EnumWindows(CollectVisibleWindow, reinterpret_cast<LPARAM>(&windows));
  HMODULE user32 = GetModuleHandleA("User32");
  if (!user32) return {};
  bool nt = IsNtPlatform(QueryWindowsVersion());
  auto is_hung_window = reinterpret_cast<HungWindowTest>(reinterpret_cast<void*>(GetProcAddress(user32, "IsHungAppWindow")));
  auto is_hung_thread = reinterpret_cast<HungThreadTest>(reinterpret_cast<void*>(GetProcAddress(user32, "IsHungThread")));
  std::vector<Text> titles;
  for (HWND hwnd : windows) {
    if (!IsWindow(hwnd)) continue;
    bool hung = nt ? is_hung_window && is_hung_window(hwnd)
                   : is_hung_thread && is_hung_thread(GetWindowThreadProcessId(hwnd, nullptr));
    if (!hung) continue;
    char title[256] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    titles.emplace_back(title);
  }
  return titles;
}

bool TerminateProcessByName(const Text& name) {
  if (name.empty()) return false;
  DWORD process_id = 0;
  if (HWND window = FindWindowA(nullptr, name.c_str()))
    GetWindowThreadProcessId(window, &process_id);
  else
    process_id = ProcessIdOfExecutable(name);
  // A title shared with one of our own windows must not end this program.
  if (process_id == 0 || process_id == GetCurrentProcessId()) return false;
  HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, process_id);
  if (!process) return false;
  BOOL ended = TerminateProcess(process, 0);
  CloseHandle(process);
  return ended != FALSE;
}

}  // namespace lumeno
