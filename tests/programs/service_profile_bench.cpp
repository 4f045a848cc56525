// Times one service profile ("办公模式", 82 sc command lines) applied by the
// program, from the click on "执行" to its message box being shown, against
//  - the command interpreter running the same 82 lines from a batch file, and
//  - a bare loop that starts the same 82 lines itself, exactly as the program
//    does (CreateProcessA, CREATE_NO_WINDOW, SW_HIDE, each waited for), from a
//    process without a console like the program.
//   service_profile_bench.exe RUNS OUTPUT   (starts C:\Lumeno\lumeno.exe itself)
// The lines are first captured exactly as the program starts them, with the
// recording stand-in as C:\Lumeno\sc.exe; the stand-in is then removed, so
// every timed line runs the system's sc. Runs alternate (program, batch, loop).
// OUTPUT gets three lines of RUNS times in ms: the program's, the batch
// file's, the bare loop's.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/control_ids.h"
#include "support/windows_support.h"

namespace {

using support::ElapsedMs;
using support::FindControl;
using support::FindTopLevel;

// Polls every millisecond: the waits are part of what is timed.
constexpr DWORD kPollMs = 1;

using lumeno::main_controls::kSettingsButton;
constexpr UINT kOfficeRadio = lumeno::settings_controls::kOfficeRadio;
constexpr UINT kApplyButton = lumeno::settings_controls::kApplyProfileButton;
const char kStandIn[] = "C:\\Lumeno\\sc.exe";
const char kStandInLog[] = "C:\\Lumeno\\sc.log";
const char kBatchFile[] = "C:\\lumeno-test\\service_profile.cmd";

int Fail(const char* what) {
  std::fprintf(stderr, "service_profile_bench: %s\n", what);
  return 2;
}

bool ReadWholeFile(const char* path, std::string* bytes) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes->append(buffer, got);
  CloseHandle(file);
  return true;
}

bool WriteWholeFile(const char* path, const std::string& bytes) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
  CloseHandle(file);
  return ok;
}

// Click to box shown, then the box answered; < 0 on failure.
double TimeProfile(DWORD process_id, HWND button) {
  LARGE_INTEGER clicked;
  HWND box = nullptr;
  QueryPerformanceCounter(&clicked);
  PostMessageA(button, BM_CLICK, 0, 0);
  if (!support::WaitUntil([&] { return (box = FindTopLevel(process_id, "#32770", nullptr)) != nullptr; }, 120000, kPollMs)) return -1;
  const double ms = ElapsedMs(clicked);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  if (!support::WaitUntil([&] { return !IsWindow(box); }, 10000, kPollMs)) return -1;
  return ms;
}

// The batch file through the command interpreter, hidden and waited for like
// the program's own runs; < 0 on failure.
double TimeBatch() {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process = {};
  std::string command_line = std::string("cmd.exe /c ") + kBatchFile;
  LARGE_INTEGER started;
  QueryPerformanceCounter(&started);
  if (!CreateProcessA(nullptr, &command_line[0], nullptr, nullptr, FALSE, 0, nullptr, "C:\\Lumeno", &startup,
                      &process))
    return -1;
  WaitForSingleObject(process.hProcess, INFINITE);
  const double ms = ElapsedMs(started);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ms;
}

// The same lines started one by one as the program starts them; < 0 on failure.
double TimeBareLoop(const std::vector<std::string>& lines) {
  LARGE_INTEGER started;
  QueryPerformanceCounter(&started);
  for (std::string line : lines) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, "C:\\Lumeno", &startup,
                        &process))
      return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  return ElapsedMs(started);
}

// The command lines the stand-in recorded, as a batch file: "@echo off" and
// then each line exactly as the program passed it. false unless 82 lines.
bool WriteBatchFromLog(std::vector<std::string>* lines) {
  std::string log;
  if (!ReadWholeFile(kStandInLog, &log)) return false;
  std::string batch = "@echo off\r\n";
  for (size_t start = 0, end; (end = log.find("\r\n", start)) != std::string::npos; start = end + 2) {
    size_t tab = log.find('\t', start);
    if (tab == std::string::npos || tab > end) return false;
    lines->push_back(log.substr(tab + 1, end - tab - 1));
    batch += lines->back() + "\r\n";
  }
  return lines->size() == 82 && WriteWholeFile(kBatchFile, batch);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const char* output = argc > 2 ? argv[2] : "C:\\lumeno-test\\service_profile_bench.txt";
  // Started from the desktop, neither the program nor the interpreter shares
  // a console with anything: each gets its own, as here.
  FreeConsole();
  DeleteFileA(kStandInLog);
  if (!CopyFileA("C:\\lumeno-test\\recorder.exe", kStandIn, FALSE)) return Fail("cannot install the sc stand-in");

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION program = {};
  char command_line[] = "C:\\Lumeno\\lumeno.exe";
  if (!CreateProcessA(nullptr, command_line, nullptr, nullptr, FALSE, 0, nullptr, "C:\\Lumeno",
                      &startup, &program))
    return Fail("cannot start C:\\Lumeno\\lumeno.exe");
  HWND main_window = nullptr, settings = nullptr;
  support::WaitUntil([&] { return (main_window = FindTopLevel(program.dwProcessId, nullptr, "Lumeno1.1")) != nullptr; }, 20000, kPollMs);
  if (!main_window) return Fail("no main window");
  HWND settings_button = FindControl(main_window, kSettingsButton);
  if (!settings_button) return Fail("no settings button");
  PostMessageA(settings_button, BM_CLICK, 0, 0);
  support::WaitUntil([&] { return (settings = FindTopLevel(program.dwProcessId, nullptr, "系统设置")) != nullptr; }, 20000, kPollMs);
  if (!settings) return Fail("no settings window");
  HWND radio = FindControl(settings, kOfficeRadio), apply = FindControl(settings, kApplyButton);
  if (!radio || !apply) return Fail("no profile controls");
  SendMessageA(radio, BM_CLICK, 0, 0);
  if (SendMessageA(radio, BM_GETCHECK, 0, 0) != BST_CHECKED) return Fail("the profile does not tick");

  if (TimeProfile(program.dwProcessId, apply) < 0) return Fail("the capture run failed");
  std::vector<std::string> lines;
  if (!WriteBatchFromLog(&lines)) return Fail("the stand-in did not record 82 lines");
  if (!DeleteFileA(kStandIn)) return Fail("cannot remove the sc stand-in");

  std::string ours, batch, loop;
  auto append = [](std::string* samples, double ms) {
    char number[32];
    std::snprintf(number, sizeof number, "%.1f ", ms);
    *samples += number;
  };
  for (int run = 0; run < runs; ++run) {
    const double profile_ms = TimeProfile(program.dwProcessId, apply);
    const double batch_ms = TimeBatch();
    const double loop_ms = TimeBareLoop(lines);
    if (profile_ms < 0 || batch_ms < 0 || loop_ms < 0) return Fail("a run failed");
    append(&ours, profile_ms);
    append(&batch, batch_ms);
    append(&loop, loop_ms);
  }
  TerminateProcess(program.hProcess, 0);
  CloseHandle(program.hThread);
  CloseHandle(program.hProcess);

  const std::string text = ours + "\n" + batch + "\n" + loop + "\n";
  std::fputs(text.c_str(), stdout);
  if (FILE* out = std::fopen(output, "w")) {
    std::fputs(text.c_str(), out);
    std::fclose(out);
  }
  return 0;
}
