// Times "lumeno.exe /apply <preset>" against clicking the same selection
// through the program's windows, each from process start to process end.
//   unattended_bench.exe RUNS OUTPUT PRESET
// The tools the preset starts (sc, net, cmd, reg, regsvr32, and scripts run
// through ComSpec) are recording stand-ins beside the program in both cases,
// so both do the same work. Runs alternate (unattended, clicked). OUTPUT gets
// two lines of RUNS times in ms: unattended, then clicked.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "ui/control_ids.h"
#include "support/preset_sections.h"
#include "support/windows_support.h"

namespace {

using support::ElapsedMs;
using support::FindTopLevel;
using namespace lumeno;

// Polls every millisecond: the waits are part of what is timed.
template <typename Condition>
bool WaitFor(Condition condition, DWORD timeout_ms) {
  return support::WaitUntil(condition, timeout_ms, 1);
}
HWND Control(HWND parent, ControlId id) { return support::FindControl(parent, id); }

// Where each section's controls are and which button it presses.
struct SectionButton {
  const char* section;
  int page;     // -1: the main window
  UINT button;  // 0: each key names its own button
};
const SectionButton kSectionButtons[] = {
    {"优化", -1, main_controls::kOptimizeButton},
    {"服务快速优化", 1, settings_controls::kApplyProfileButton},
    {"可选服务", 1, settings_controls::kStartServicesButton},
    {"清系统", 3, settings_controls::kCleanupButton},
    {"转资料", 2, settings_controls::kRelocateButton},
    {"分辨率", 0, settings_controls::kApplyPresetButton},
    {"小工具", 4, 0},
};

int Fail(const char* what) {
  std::fprintf(stderr, "unattended_bench: %s\n", what);
  return 2;
}

std::string ReadWholeFile(const char* path) {
  std::string bytes;
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

// Presses the button and answers the message box it ends with (none for the
// resolution presets); false on a time-out.
bool PressAndAnswer(DWORD process_id, HWND button, bool expect_box) {
  if (!expect_box) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_NORMAL, 120000, &result) != 0;
  }
  PostMessageA(button, BM_CLICK, 0, 0);
  HWND box = nullptr;
  if (!WaitFor([&] { return (box = FindTopLevel(process_id, "#32770", nullptr)) != nullptr; }, 120000)) return false;
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  return WaitFor([&] { return !IsWindow(box); }, 10000);
}

bool Start(const std::string& command_line, PROCESS_INFORMATION* process) {
  return support::StartProcess(command_line, process, "C:\\lumeno-test");
}

double Finish(PROCESS_INFORMATION& process, LARGE_INTEGER started) {
  bool ended = WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0;
  const double ms = ElapsedMs(started);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ended ? ms : -1;
}

double TimeUnattended(const std::string& preset) {
  PROCESS_INFORMATION process = {};
  LARGE_INTEGER started;
  QueryPerformanceCounter(&started);
  if (!Start("C:\\Lumeno\\lumeno.exe /apply " + preset + " /log C:\\lumeno-test\\unattended_bench.log", &process))
    return -1;
  return Finish(process, started);
}

double TimeClicked(const std::vector<support::PresetSection>& preset) {
  PROCESS_INFORMATION process = {};
  LARGE_INTEGER started;
  QueryPerformanceCounter(&started);
  if (!Start("C:\\Lumeno\\lumeno.exe", &process)) return -1;
  const DWORD id = process.dwProcessId;
  HWND main_window = nullptr, settings = nullptr;
  if (!WaitFor([&] { return (main_window = FindTopLevel(id, nullptr, "Lumeno1.1")) != nullptr; }, 20000)) return -1;
  for (const SectionButton& step : kSectionButtons) {
    auto section = std::find_if(preset.begin(), preset.end(), [&](const auto& s) { return s.name == step.section; });
    if (section == preset.end()) continue;
    HWND window = main_window;
    if (step.page >= 0) {
      if (!settings) {
        PostMessageA(Control(main_window, main_controls::kSettingsButton), BM_CLICK, 0, 0);
        if (!WaitFor([&] { return (settings = FindTopLevel(id, nullptr, "系统设置")) != nullptr; }, 20000)) return -1;
      }
      SendMessageA(Control(settings, settings_controls::kTab), TCM_SETCURFOCUS, step.page, 0);
      window = settings;
    }
    std::vector<HWND> buttons;
    if (step.button) buttons.push_back(Control(window, step.button));
    for (const auto& [key, value] : section->entries) {
      if (value == "0") continue;
      if (key == "目标") {
        SendMessageA(Control(window, settings_controls::kTargetEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
      } else if (HWND control = support::FindButton(window, value == "1" ? key : value, step.button != 0)) {
        if (!step.button)
          buttons.push_back(control);
        else if (SendMessageA(control, BM_GETCHECK, 0, 0) != BST_CHECKED)
          SendMessageA(control, BM_CLICK, 0, 0);
      } else {
        return -1;
      }
    }
    for (HWND button : buttons)
      if (!button || !PressAndAnswer(id, button, step.page != 0)) return -1;
    if (window == main_window && !WaitFor([&] { return IsWindowEnabled(buttons[0]) != FALSE; }, 60000)) return -1;
  }
  if (settings) {
    PostMessageA(settings, WM_CLOSE, 0, 0);
    if (!WaitFor([&] { return !IsWindow(settings); }, 10000)) return -1;
  }
  PostMessageA(main_window, WM_CLOSE, 0, 0);
  return Finish(process, started);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const char* output = argc > 2 ? argv[2] : "C:\\lumeno-test\\unattended_bench.txt";
  const std::string preset_path = argc > 3 ? argv[3] : "C:\\lumeno-test\\网吧.ini";
  FreeConsole();
  for (const char* tool : {"sc", "net", "cmd", "reg", "regsvr32"})
    if (!CopyFileA("C:\\lumeno-test\\recorder.exe", (std::string("C:\\Lumeno\\") + tool + ".exe").c_str(), FALSE))
      return Fail("cannot install the stand-ins");
  HKEY environment;
  if (RegCreateKeyA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager\\Environment",
                    &environment) != ERROR_SUCCESS)
    return Fail("cannot point ComSpec at the stand-in");
  const char comspec[] = "C:\\Lumeno\\cmd.exe";
  RegSetValueExA(environment, "ComSpec", 0, REG_SZ, reinterpret_cast<const BYTE*>(comspec), sizeof comspec);
  RegCloseKey(environment);
  SetEnvironmentVariableA("ComSpec", comspec);

  const auto preset = support::ReadPresetSections(ReadWholeFile(preset_path.c_str()));
  if (preset.empty()) return Fail("cannot read the preset");
  std::string unattended, clicked;
  auto append = [](std::string* samples, double ms) {
    char number[32];
    std::snprintf(number, sizeof number, "%.1f ", ms);
    *samples += number;
  };
  for (int run = 0; run < runs; ++run) {
    const double unattended_ms = TimeUnattended(preset_path);
    const double clicked_ms = TimeClicked(preset);
    if (unattended_ms < 0 || clicked_ms < 0) return Fail("a run failed");
    append(&unattended, unattended_ms);
    append(&clicked, clicked_ms);
  }
  const std::string text = unattended + "\n" + clicked + "\n";
  std::fputs(text.c_str(), stdout);
  if (FILE* out = std::fopen(output, "w")) {
    std::fputs(text.c_str(), out);
    std::fclose(out);
  }
  return 0;
}
