// Window look-ups and waits shared by the Win32 tests, the end-to-end driver
// and the benchmark programs. Every wait polls with a time limit and says
// whether its condition came true; none sleeps a fixed time and hopes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace support {

// CreateProcessA of command_line in directory (nullptr: the caller's), with
// startup (nullptr: a normal window). A start that fails for a moment is
// tried again, as the program's RunCommandLine does; false with the last
// error set when it cannot start.
bool StartProcess(const std::string& command_line, PROCESS_INFORMATION* process, const char* directory = nullptr,
                  STARTUPINFOA* startup = nullptr);

// The control with this full 32-bit id anywhere below parent (group boxes,
// tab pages); nullptr if none.
HWND FindControl(HWND parent, uint32_t id);

// The check box or radio button (tickable) or push button below parent
// whose caption is caption; nullptr if none.
HWND FindButton(HWND parent, const std::string& caption, bool tickable);

// The visible top-level windows of the process, in z-order.
std::vector<HWND> TopLevelWindows(DWORD process_id);

// The first visible top-level window of the process whose class and title
// match (nullptr: any); nullptr if none.
HWND FindTopLevel(DWORD process_id, const char* class_name, const char* title);

// Polls condition every poll_ms until it holds (true) or timeout_ms pass (false).
bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms, DWORD poll_ms = 10);

// Dispatches every message queued for the calling thread.
void PumpMessages();

// WaitUntil for a thread that owns windows: dispatches its messages meanwhile.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeout_ms = 60000);

// Milliseconds since from (a QueryPerformanceCounter reading).
double ElapsedMs(LARGE_INTEGER from);

// The running test executable's full path, and its folder (no trailing backslash).
std::string ModulePath();
std::string TestDirectory();

// A file's bytes ("" when it cannot be read), and writing a file's bytes whole.
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

}  // namespace support
