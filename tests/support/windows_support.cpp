#include "support/windows_support.h"

#include <fstream>
#include <iterator>

#include "platform/platform_rules.h"

namespace support {

namespace {

struct ControlSearch {
  uint32_t id;
  HWND found;
};

BOOL CALLBACK MatchControl(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<ControlSearch*>(parameter);
  if (static_cast<uint32_t>(GetDlgCtrlID(window)) != search->id) return TRUE;
  search->found = window;
  return FALSE;
}

struct CaptionSearch {
  const std::string* caption;
  bool tickable;
  HWND found;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<CaptionSearch*>(parameter);
  const LONG style = GetWindowLongA(window, GWL_STYLE) & 0x0F;
  const bool tickable = style == BS_AUTOCHECKBOX || style == BS_AUTORADIOBUTTON;
  const bool push = style == BS_PUSHBUTTON || style == BS_DEFPUSHBUTTON;
  char class_name[16] = {}, text[256] = {};
  GetClassNameA(window, class_name, sizeof class_name);
  GetWindowTextA(window, text, sizeof text);
  if (lstrcmpiA(class_name, "Button") != 0 || !(search->tickable ? tickable : push) || *search->caption != text)
    return TRUE;
  search->found = window;
  return FALSE;
}

struct WindowList {
  DWORD process_id;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectProcessWindows(HWND window, LPARAM parameter) {
  auto* list = reinterpret_cast<WindowList*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == list->process_id && IsWindowVisible(window)) list->windows.push_back(window);
  return TRUE;
}

}  // namespace

bool StartProcess(const std::string& command_line, PROCESS_INFORMATION* process, const char* directory,
                  STARTUPINFOA* startup) {
  STARTUPINFOA normal = {};
  normal.cb = sizeof normal;
  std::string writable = command_line;
  const uint32_t error = lumeno::StartWithRetries([&] {
    return CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, directory,
                          startup ? startup : &normal, process)
               ? 0u
               : static_cast<uint32_t>(GetLastError());
  });
  SetLastError(error);
  return error == 0;
}

HWND FindControl(HWND parent, uint32_t id) {
  ControlSearch search{id, nullptr};
  EnumChildWindows(parent, MatchControl, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindButton(HWND parent, const std::string& caption, bool tickable) {
  CaptionSearch search{&caption, tickable, nullptr};
  EnumChildWindows(parent, MatchCaption, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> TopLevelWindows(DWORD process_id) {
  WindowList list{process_id, {}};
  if (process_id) EnumWindows(CollectProcessWindows, reinterpret_cast<LPARAM>(&list));
  return list.windows;
}

HWND FindTopLevel(DWORD process_id, const char* class_name, const char* title) {
  char text[256];
  for (HWND window : TopLevelWindows(process_id)) {
    if (class_name && (!GetClassNameA(window, text, sizeof text) || lstrcmpA(text, class_name) != 0)) continue;
    if (title && (GetWindowTextA(window, text, sizeof text), lstrcmpA(text, title) != 0)) continue;
    return window;
  }
  return nullptr;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms, DWORD poll_ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start >= timeout_ms) return false;
    Sleep(poll_ms);
  }
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    PumpMessages();
    if (condition()) return true;
    if (GetTickCount() - start >= timeout_ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

double ElapsedMs(LARGE_INTEGER from) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string ModulePath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

std::string TestDirectory() {
  const std::string path = ModulePath();
  return path.substr(0, path.rfind('\\'));
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace support
