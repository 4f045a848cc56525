// UI automation for the end-to-end tests: starts C:\Lumeno\lumeno.exe (or any
// program), finds its windows and controls, acts on them as a user would and
// reads back what the program did (controls, message boxes, registry, files,
// recording stand-ins, screenshots).
//
// Every wait polls with a time limit and reports failure instead of hanging;
// nothing here sleeps a fixed time and hopes. Texts are GBK bytes, as the
// program's are (the test exes run with ANSI code page 936).
//
// Stand-in log lines (recorder.exe): "<show>\t<command line>\r\n", where
// <show> is wShowWindow in decimal when STARTF_USESHOWWINDOW was set and
// "none/<raw value>" when it was not (an addition to the bench contract, which
// has the number alone); RecordedRun carries both parts.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace driver {

using Millis = DWORD;
// Generous: a wait that holds returns at once, and a machine shared by many
// builds can take several seconds to start a Wine process or paint a window.
inline constexpr Millis kDefaultTimeout = 60000;

inline constexpr char kProgramDirectory[] = "C:\\Lumeno";
inline constexpr char kProgramPath[] = "C:\\Lumeno\\lumeno.exe";
inline constexpr char kTestDirectory[] = "C:\\lumeno-test";
inline constexpr char kScreenshotDirectory[] = "C:\\lumeno-test\\screens";
inline constexpr char kMainWindowTitle[] = "Lumeno1.1";

// ---------------------------------------------------------------------------
// Waiting

// Polls condition every 10 ms until it holds (true) or timeout passes (false).
bool WaitUntil(const std::function<bool()>& condition, Millis timeout = kDefaultTimeout);

// ---------------------------------------------------------------------------
// A started program; the destructor ends it if it still runs and closes its handles.
class Program {
 public:
  Program() = default;
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Starts command_line (CreateProcessA, normal window) in directory (empty: the test's own).
  bool Start(const std::string& command_line = kProgramPath, const std::string& directory = {});
  // Process id (0 before Start).
  DWORD Id() const { return process_id_; }
  // Process handle (nullptr before Start).
  HANDLE Handle() const { return process_; }
  // True while the process has not ended.
  bool IsRunning() const;
  // Waits for the process to end; false on timeout.
  bool WaitForExit(Millis timeout = kDefaultTimeout);
  // Exit code, or STILL_ACTIVE (259) while running.
  DWORD ExitCode() const;
  // Ends the process with code and waits for it.
  void Terminate(UINT code = 1);

  // A visible top-level window of this process titled exactly title; nullptr on timeout.
  HWND WaitForWindow(const std::string& title, Millis timeout = kDefaultTimeout) const;
  // The visible message box ("#32770") of this process; nullptr on timeout.
  HWND WaitForMessageBox(Millis timeout = kDefaultTimeout) const;
  // True when no visible message box of this process shows up within timeout.
  bool NoMessageBoxWithin(Millis timeout) const;
  // All visible top-level windows of this process, in z-order.
  std::vector<HWND> TopLevelWindows() const;

 private:
  HANDLE process_ = nullptr;
  HANDLE thread_ = nullptr;
  DWORD process_id_ = 0;
};

// ---------------------------------------------------------------------------
// Windows and controls (any process; every send has a time limit)

// The control with this full 32-bit id anywhere below parent (group boxes, tab pages); nullptr if none.
HWND FindControl(HWND parent, uint32_t id);
// FindControl, polled until the control exists; nullptr on timeout.
HWND WaitForControl(HWND parent, uint32_t id, Millis timeout = kDefaultTimeout);
// Window text (WM_GETTEXT) as bytes.
std::string GetText(HWND window);
// Sets the window text (WM_SETTEXT); false when the window did not answer.
bool SetText(HWND window, const std::string& text);
// True when the window is enabled.
bool IsEnabled(HWND window);
// True when the window is visible.
bool IsVisible(HWND window);
// Clicks a button and returns once its handler has returned (SendMessage BM_CLICK); false on timeout.
bool Click(HWND button, Millis timeout = kDefaultTimeout);
// Queues a click and returns at once (PostMessage BM_CLICK), for handlers that block (message boxes).
bool PostClick(HWND button);
// True when a check box or radio button is ticked (BM_GETCHECK).
bool IsChecked(HWND button);
// Ticks (on) or unticks a check box by clicking it when its state differs; true when it ends as asked.
bool SetChecked(HWND button, bool on, Millis timeout = kDefaultTimeout);
// Progress bar position (PBM_GETPOS); -1 when the control did not answer.
int ProgressPosition(HWND progress_bar);
// Switches a tab control to page index as a click would (TCM_SETCURFOCUS, sends TCN_SELCHANGE).
bool SelectTab(HWND tab_control, int index);
// Current page index of a tab control (TCM_GETCURSEL).
int CurrentTab(HWND tab_control);
// Posts a key press (WM_KEYDOWN then WM_KEYUP) of virtual key vk to window.
bool PostKey(HWND window, UINT vk);
// Posts a press of the Esc key to window.
inline bool PressEscape(HWND window) { return PostKey(window, VK_ESCAPE); }
// Posts a left mouse button press and release at the centre of the control (WM_LBUTTONDOWN/UP).
bool PressMouse(HWND control);
// Asks the window to close (posts WM_CLOSE).
bool PostClose(HWND window);
// Polls until the window's text equals text; false on timeout.
bool WaitForText(HWND window, const std::string& text, Millis timeout = kDefaultTimeout);
// Polls until the window's enabled state equals enabled; false on timeout.
bool WaitForEnabled(HWND window, bool enabled, Millis timeout = kDefaultTimeout);
// Polls until the window no longer exists; false on timeout.
bool WaitForWindowGone(HWND window, Millis timeout = kDefaultTimeout);

// ---------------------------------------------------------------------------
// Message boxes

struct MessageBoxContent {
  std::string title;  // the box's window text
  std::string text;   // the message (static 0xFFFF)
  bool has_icon = false;  // an icon is shown (static 0x0440 holds one)
};
// Reads title, message and icon presence of a message box window.
MessageBoxContent ReadMessageBox(HWND box);
// Answers a message box with the button id (posts WM_COMMAND, IDOK by default); true once it is gone.
bool AnswerMessageBox(HWND box, int button_id = IDOK, Millis timeout = kDefaultTimeout);

// ---------------------------------------------------------------------------
// Registry and files, for checks made from outside the program

struct RegistryValue {
  DWORD type = REG_NONE;
  std::string bytes;  // raw data, exactly as stored (REG_SZ includes its NUL)
};
// The value name (empty: the default value) of root\key; nullopt when key or value is missing.
std::optional<RegistryValue> ReadRegistryValue(HKEY root, const std::string& key, const std::string& name);
// True when root\key exists.
bool RegistryKeyExists(HKEY root, const std::string& key);
// Writes a text value (creating the key), REG_SZ unless type says otherwise, for setting up a test.
bool WriteRegistryText(HKEY root, const std::string& key, const std::string& name, const std::string& text,
                       DWORD type = REG_SZ);
// The whole file as bytes; nullopt when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& path);
// Creates or replaces the file with bytes.
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// True when path exists (file or folder).
bool PathExists(const std::string& path);
// The system's own text for an error code (FormatMessage), as the program shows it.
std::string SystemText(DWORD code);

// ---------------------------------------------------------------------------
// Recording stand-ins (recorder.exe under a tool's name beside the program)

struct RecordedRun {
  bool show_window_set = false;  // STARTF_USESHOWWINDOW was set
  int show_window = 0;           // wShowWindow as received
  std::string command_line;      // exact bytes of GetCommandLineA
};
// Copies C:\lumeno-test\recorder.exe to C:\Lumeno\<name>.exe ("sc" or "sc.exe") and clears its old records.
bool InstallStandIn(const std::string& name);
// The runs the stand-in recorded, oldest first (empty when it never ran).
std::vector<RecordedRun> ReadStandInRuns(const std::string& name);
// Polls until the stand-in has recorded at least count runs; false on timeout.
bool WaitForStandInRuns(const std::string& name, size_t count, Millis timeout = kDefaultTimeout);
// Bytes of the scripts the stand-in captured (<name>.1.script, .2, ...), in order.
std::vector<std::string> ReadCapturedScripts(const std::string& name);
// Points ComSpec at the stand-in C:\Lumeno\<name>.exe: the registry value and this process's
// environment (which programs started by Program::Start inherit), so scripts run by path reach it.
bool PointComSpecAt(const std::string& name);

// ---------------------------------------------------------------------------
// Screenshots

// Saves the window (GetDesktopWindow(): the whole screen) as a 24-bit BMP
// C:\lumeno-test\screens\<name>.bmp; the test runner turns it into build/screenshots/<name>.png.
bool SaveScreenshot(HWND window, const std::string& name);
// Moves the mouse pointer to the screen's bottom-right corner. Xvfb starts it
// at the centre, over the program's window, where a control would soon show
// its tooltip in the picture; call it before the program starts.
bool ParkPointer();

}  // namespace driver
