#include "driver.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "support/windows_support.h"
#include "ui/controls.h"

namespace driver {

namespace {

// Cross-process sends get this long before a window counts as not answering.
constexpr UINT kSendTimeout = 30000;

bool Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam, DWORD_PTR* result, UINT timeout = kSendTimeout) {
  DWORD_PTR value = 0;
  LRESULT ok = SendMessageTimeoutA(window, message, wparam, lparam, SMTO_NORMAL, timeout, &value);
  if (result) *result = value;
  return ok != 0;
}

std::string ClassName(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  return name;
}

std::string StandInPath(const std::string& name, const char* suffix) {
  std::string base = name;
  if (base.size() > 4 && lstrcmpiA(base.c_str() + base.size() - 4, ".exe") == 0) base.resize(base.size() - 4);
  return std::string(kProgramDirectory) + "\\" + base + suffix;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, Millis timeout) { return support::WaitUntil(condition, timeout); }

// ---------------------------------------------------------------------------
// Program

Program::~Program() {
  if (IsRunning()) Terminate(1);
  if (thread_) CloseHandle(thread_);
  if (process_) CloseHandle(process_);
}

bool Program::Start(const std::string& command_line, const std::string& directory) {
  PROCESS_INFORMATION info{};
  if (!support::StartProcess(command_line, &info, directory.empty() ? nullptr : directory.c_str())) return false;
  process_ = info.hProcess;
  thread_ = info.hThread;
  process_id_ = info.dwProcessId;
  return true;
}

bool Program::IsRunning() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

bool Program::WaitForExit(Millis timeout) {
  return process_ && WaitForSingleObject(process_, timeout) == WAIT_OBJECT_0;
}

DWORD Program::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_) GetExitCodeProcess(process_, &code);
  return code;
}

void Program::Terminate(UINT code) {
  if (!process_) return;
  TerminateProcess(process_, code);
  WaitForSingleObject(process_, kDefaultTimeout);
}

std::vector<HWND> Program::TopLevelWindows() const { return support::TopLevelWindows(process_id_); }

HWND Program::WaitForWindow(const std::string& title, Millis timeout) const {
  HWND found = nullptr;
  WaitUntil([&] {
    for (HWND window : TopLevelWindows()) {
      if (GetText(window) == title) {
        found = window;
        return true;
      }
    }
    return false;
  }, timeout);
  return found;
}

HWND Program::WaitForMessageBox(Millis timeout) const {
  HWND found = nullptr;
  WaitUntil([&] {
    for (HWND window : TopLevelWindows()) {
      if (ClassName(window) == "#32770") {
        found = window;
        return true;
      }
    }
    return false;
  }, timeout);
  return found;
}

bool Program::NoMessageBoxWithin(Millis timeout) const { return WaitForMessageBox(timeout) == nullptr; }

// ---------------------------------------------------------------------------
// Windows and controls

HWND FindControl(HWND parent, uint32_t id) { return support::FindControl(parent, id); }

HWND WaitForControl(HWND parent, uint32_t id, Millis timeout) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindControl(parent, id)) != nullptr; }, timeout);
  return found;
}

std::string GetText(HWND window) {
  DWORD_PTR length = 0;
  if (!Send(window, WM_GETTEXTLENGTH, 0, 0, &length)) return {};
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  if (!Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &copied)) return {};
  text.resize(copied < text.size() ? copied : text.size() - 1);
  return text;
}

bool SetText(HWND window, const std::string& text) {
  return Send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), nullptr);
}

bool IsEnabled(HWND window) { return IsWindowEnabled(window) != FALSE; }

bool IsVisible(HWND window) { return IsWindowVisible(window) != FALSE; }

bool Click(HWND button, Millis timeout) { return Send(button, BM_CLICK, 0, 0, nullptr, timeout); }

bool PostClick(HWND button) { return PostMessageA(button, BM_CLICK, 0, 0) != FALSE; }

bool IsChecked(HWND button) {
  DWORD_PTR state = 0;
  return Send(button, BM_GETCHECK, 0, 0, &state) && state == BST_CHECKED;
}

bool SetChecked(HWND button, bool on, Millis timeout) {
  if (IsChecked(button) != on) Click(button, timeout);
  return IsChecked(button) == on;
}

int ProgressPosition(HWND progress_bar) {
  DWORD_PTR position = 0;
  return Send(progress_bar, PBM_GETPOS, 0, 0, &position) ? static_cast<int>(position) : -1;
}

bool SelectTab(HWND tab_control, int index) {
  return Send(tab_control, TCM_SETCURFOCUS, index, 0, nullptr) && CurrentTab(tab_control) == index;
}

int CurrentTab(HWND tab_control) {
  DWORD_PTR index = 0;
  return Send(tab_control, TCM_GETCURSEL, 0, 0, &index) ? static_cast<int>(static_cast<LONG_PTR>(index)) : -1;
}

bool PostKey(HWND window, UINT vk) {
  LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(vk, 0)) << 16;
  return PostMessageA(window, WM_KEYDOWN, vk, 1 | scan) &&
         PostMessageA(window, WM_KEYUP, vk, 1 | scan | (1u << 30) | (1u << 31));
}

bool PressMouse(HWND control) {
  RECT client{};
  GetClientRect(control, &client);
  LPARAM centre = MAKELPARAM(client.right / 2, client.bottom / 2);
  return PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, centre) &&
         PostMessageA(control, WM_LBUTTONUP, 0, centre);
}

bool PostClose(HWND window) { return PostMessageA(window, WM_CLOSE, 0, 0) != FALSE; }

bool WaitForText(HWND window, const std::string& text, Millis timeout) {
  return WaitUntil([&] { return GetText(window) == text; }, timeout);
}

bool WaitForEnabled(HWND window, bool enabled, Millis timeout) {
  return WaitUntil([&] { return IsEnabled(window) == enabled; }, timeout);
}

bool WaitForWindowGone(HWND window, Millis timeout) {
  return WaitUntil([&] { return !IsWindow(window); }, timeout);
}

// ---------------------------------------------------------------------------
// Message boxes

MessageBoxContent ReadMessageBox(HWND box) {
  MessageBoxContent content;
  content.title = GetText(box);
  if (HWND message = GetDlgItem(box, 0xFFFF)) content.text = GetText(message);
  // The icon static exists in every box; only boxes with an icon give it one.
  DWORD_PTR icon = 0;
  if (HWND icon_static = GetDlgItem(box, 0x0440)) Send(icon_static, STM_GETICON, 0, 0, &icon);
  content.has_icon = icon != 0;
  return content;
}

bool AnswerMessageBox(HWND box, int button_id, Millis timeout) {
  return PostMessageA(box, WM_COMMAND, MAKEWPARAM(button_id, BN_CLICKED), 0) && WaitForWindowGone(box, timeout);
}

// ---------------------------------------------------------------------------
// Registry and files

std::optional<RegistryValue> ReadRegistryValue(HKEY root, const std::string& key, const std::string& name) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return std::nullopt;
  RegistryValue value;
  DWORD size = 0;
  LONG status = RegQueryValueExA(handle, name.c_str(), nullptr, &value.type, nullptr, &size);
  if (status == ERROR_SUCCESS) {
    value.bytes.resize(size);
    status = RegQueryValueExA(handle, name.c_str(), nullptr, &value.type,
                              reinterpret_cast<BYTE*>(value.bytes.data()), &size);
    value.bytes.resize(size);
  }
  RegCloseKey(handle);
  if (status != ERROR_SUCCESS) return std::nullopt;
  return value;
}

bool RegistryKeyExists(HKEY root, const std::string& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

bool WriteRegistryText(HKEY root, const std::string& key, const std::string& name, const std::string& text,
                       DWORD type) {
  HKEY handle = nullptr;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  LONG status = RegSetValueExA(handle, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                               static_cast<DWORD>(text.size() + 1));
  RegCloseKey(handle);
  return status == ERROR_SUCCESS;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  bool ok = true;
  while ((ok = ReadFile(file, buffer, sizeof(buffer), &read, nullptr) != FALSE) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  if (!ok) return std::nullopt;
  return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
  CloseHandle(file);
  return ok;
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string SystemText(DWORD code) {
  char text[512] = {};
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                sizeof text, nullptr);
  std::string result(text, length);
  while (!result.empty() && (result.back() == '\r' || result.back() == '\n' || result.back() == ' '))
    result.pop_back();
  return result;
}

// ---------------------------------------------------------------------------
// Recording stand-ins

bool InstallStandIn(const std::string& name) {
  DeleteFileA(StandInPath(name, ".log").c_str());
  for (int n = 1; DeleteFileA(StandInPath(name, ("." + std::to_string(n) + ".script").c_str()).c_str()); ++n) {
  }
  std::string recorder = std::string(kTestDirectory) + "\\recorder.exe";
  return CopyFileA(recorder.c_str(), StandInPath(name, ".exe").c_str(), FALSE) != FALSE;
}

std::vector<RecordedRun> ReadStandInRuns(const std::string& name) {
  std::vector<RecordedRun> runs;
  std::optional<std::string> log = ReadFileBytes(StandInPath(name, ".log"));
  if (!log) return runs;
  size_t start = 0;
  for (size_t end; (end = log->find("\r\n", start)) != std::string::npos; start = end + 2) {
    std::string line = log->substr(start, end - start);
    size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    RecordedRun run;
    std::string show = line.substr(0, tab);
    run.show_window_set = show.rfind("none/", 0) != 0;
    run.show_window = std::atoi(show.c_str() + (run.show_window_set ? 0 : 5));
    run.command_line = line.substr(tab + 1);
    runs.push_back(run);
  }
  return runs;
}

bool WaitForStandInRuns(const std::string& name, size_t count, Millis timeout) {
  return WaitUntil([&] { return ReadStandInRuns(name).size() >= count; }, timeout);
}

std::vector<std::string> ReadCapturedScripts(const std::string& name) {
  std::vector<std::string> scripts;
  for (int n = 1;; ++n) {
    std::optional<std::string> bytes = ReadFileBytes(StandInPath(name, ("." + std::to_string(n) + ".script").c_str()));
    if (!bytes) break;
    scripts.push_back(*bytes);
  }
  return scripts;
}

bool PointComSpecAt(const std::string& name) {
  std::string path = StandInPath(name, ".exe");
  bool registry = WriteRegistryText(HKEY_LOCAL_MACHINE,
                                    "System\\CurrentControlSet\\Control\\Session Manager\\Environment", "ComSpec", path);
  return registry && SetEnvironmentVariableA("ComSpec", path.c_str());
}

// ---------------------------------------------------------------------------
// Screenshots

bool ParkPointer() {
  const int right = GetSystemMetrics(SM_CXSCREEN) - 1, bottom = GetSystemMetrics(SM_CYSCREEN) - 1;
  if (!SetCursorPos(right, bottom)) return false;
  POINT at{};
  return GetCursorPos(&at) && at.x == right && at.y == bottom;
}

bool SaveScreenshot(HWND window, const std::string& name) {
  bool whole_screen = window == GetDesktopWindow();
  RECT rect{};
  if (whole_screen) {
    rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  } else if (!GetWindowRect(window, &rect)) {
    return false;
  }
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;

  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  bool ok = bitmap != nullptr;
  if (ok) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    // Copied from the screen as the user sees it; a window is brought to the
    // top first and must have been painted.
    if (!whole_screen) {
      SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
      // Twice: a window just opened may still erase its background after the
      // first pass, over the text of a transparent label drawn before it.
      for (int pass = 0; pass < 2; ++pass) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        DWORD_PTR ignored = 0;
        Send(window, WM_NULL, 0, 0, &ignored);  // the owner has painted once this returns
      }
    }
    ok = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    SelectObject(memory, old);
  }
  if (ok) {
    DWORD row = ((width * 3 + 3) / 4) * 4;
    DWORD image = row * height;
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + image;
    info.bmiHeader.biSizeImage = image;
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof(header));
    bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
    bytes.append(static_cast<const char*>(pixels), image);
    CreateDirectoryA(kScreenshotDirectory, nullptr);
    ok = WriteFileBytes(std::string(kScreenshotDirectory) + "\\" + name + ".bmp", bytes);
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

}  // namespace driver
