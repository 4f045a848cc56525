// The platform operations on Win32. Thin: each operation is the system calls
// it names, in order; the rules that involve no system call live in
// platform_rules.cpp. Every handle opened here is closed before returning.
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstddef>
#include <span>
#include <utility>
#include <vector>

#include "platform/declared_functions.h"
#include "platform/native_window.h"
#include "platform/platform.h"
#include "platform/platform_rules.h"
#include "platform/registry_roots_win32.h"

namespace lumeno {

namespace {

// Texts are handed to the A functions as C strings; a Text never holds a NUL
// of its own (TextLength stops there anyway).
const char* Cs(const Text& text) { return text.c_str(); }

}  // namespace

// ---------------------------------------------------------------------------
// Start-up

void InitializePlatform() {
  // "C:" alone would name the drive's remembered directory, not its root.
  Text directory = ProgramDirectory();
  if (!directory.empty() && directory.back() == ':') directory += '\\';
  SetCurrentDirectoryA(Cs(directory));
}

// ---------------------------------------------------------------------------
// Processes and threads

RunResult RunCommandLine(const Text& command_line, bool wait, WindowMode mode) {
  // 68 bytes on 32-bit Windows; the 64-bit structure is larger, and cb must
  // be the size of the structure actually passed.
  static_assert(sizeof(void*) != 4 || sizeof(STARTUPINFOA) == 68);
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(ShowCommandForRunMode(mode));

  // CreateProcessA may write into its command line, so it gets a copy.
  std::vector<char> writable(command_line.begin(), command_line.end());
  writable.push_back('\0');
  PROCESS_INFORMATION process;
  ZeroMemory(&process, sizeof process);
  RunResult result;
  result.error = StartWithRetries([&] {
    return CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, CreationFlagsForRunMode(mode), nullptr,
                          nullptr, &startup, &process)
               ? 0u
               : static_cast<uint32_t>(GetLastError());
  });
  if (result.error != 0) return result;
  result.started = true;
  if (wait) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exit_code = 0;
    if (GetExitCodeProcess(process.hProcess, &exit_code)) result.exit_code = exit_code;
  } else {
    WaitForInputIdle(process.hProcess, 1000);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return result;
}

namespace {

DWORD WINAPI RunThreadRoutine(LPVOID routine) {
  reinterpret_cast<ThreadRoutine>(routine)();
  return 0;
}

}  // namespace

bool StartThread(ThreadRoutine routine) {
  // The routine travels as the thread's parameter: a ThreadRoutine is not a
  // thread start routine and must not be called as one.
  HANDLE thread = CreateThread(nullptr, 0, RunThreadRoutine, reinterpret_cast<LPVOID>(routine), 0, nullptr);
  if (!thread) return false;
  CloseHandle(thread);
  return true;
}

void Delay(int milliseconds) { Sleep(milliseconds < 0 ? 0 : static_cast<DWORD>(milliseconds)); }

// ---------------------------------------------------------------------------
// Registry

// The registry returns its code instead of setting the thread's last error;
// it is stored there so that LastError() can name why a write failed.
bool WriteRegistryItem(int root_number, const Text& item_path, const RegistryValue& value) {
  HKEY root = RootKeyFor(root_number);
  RegistryItemParts parts = SplitRegistryItemPath(item_path);
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, Cs(parts.key_path), 0, KEY_WRITE, &key) != ERROR_SUCCESS) {
    key = nullptr;
    LONG created = RegCreateKeyA(root, Cs(parts.key_path), &key);
    if (created != ERROR_SUCCESS) {
      SetLastError(static_cast<DWORD>(created));
      return false;
    }
  }
  EncodedRegistryValue encoded = EncodeRegistryValue(value);
  LONG stored = RegSetValueExA(key, Cs(parts.value_name), 0, encoded.type,
                               reinterpret_cast<const BYTE*>(encoded.data.data()),
                               static_cast<DWORD>(encoded.data.size()));
  RegCloseKey(key);
  if (stored != ERROR_SUCCESS) SetLastError(static_cast<DWORD>(stored));
  return stored == ERROR_SUCCESS;
}

bool DeleteRegistryKeyTree(int root, const Text& key_path) {
  const LONG status = SHDeleteKeyA(RootKeyFor(root), Cs(key_path));
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return true;
  SetLastError(static_cast<DWORD>(status));
  return false;
}

namespace {

Presence PresenceFor(LONG status) {
  if (status == ERROR_SUCCESS) return Presence::kPresent;
  if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND) return Presence::kAbsent;
  return Presence::kUnknown;
}

}  // namespace

Presence QueryRegistryKey(int root, const Text& key_path) {
  HKEY key = nullptr;
  LONG opened = RegOpenKeyExA(RootKeyFor(root), Cs(key_path), 0, KEY_QUERY_VALUE, &key);
  if (opened == ERROR_SUCCESS) RegCloseKey(key);
  return PresenceFor(opened);
}

Presence QueryRegistryValue(int root, const Text& key_path, const Text& value_name) {
  HKEY key = nullptr;
  LONG opened = RegOpenKeyExA(RootKeyFor(root), Cs(key_path), 0, KEY_QUERY_VALUE, &key);
  if (opened != ERROR_SUCCESS) return PresenceFor(opened);
  DWORD size = 0;
  LONG queried = RegQueryValueExA(key, Cs(value_name), nullptr, nullptr, nullptr, &size);
  RegCloseKey(key);
  return PresenceFor(queried == ERROR_MORE_DATA ? ERROR_SUCCESS : queried);
}

// ---------------------------------------------------------------------------
// Files and folders

namespace {

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD chunk = bytes.size() > 0x10000000u ? 0x10000000u : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return false;
    if (written == 0) {
      SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

bool WriteAllParts(HANDLE file, std::span<const std::string_view> parts) {
  for (std::string_view part : parts)
    if (!WriteAll(file, part)) return false;
  return true;
}

// Closes the handle without letting a successful close hide an earlier error.
void CloseKeepingError(HANDLE handle) {
  DWORD error = GetLastError();
  CloseHandle(handle);
  SetLastError(error);
}

}  // namespace

bool WriteBytesToFile(const Text& path, std::initializer_list<std::string_view> parts) {
  if (path.empty()) return false;
  HANDLE file = CreateFileA(Cs(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteAllParts(file, {parts.begin(), parts.size()});
  CloseKeepingError(file);
  return ok;
}

bool ReplaceFileBytes(const Text& path, const std::vector<std::string_view>& parts) {
  if (path.empty()) {
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  // A read-only file is not ours to replace, as it was not ours to overwrite
  // (Windows refuses the move then, some other systems do not).
  const DWORD attributes = GetFileAttributesA(Cs(path));
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  // The new file goes into the same folder, so that the move is a rename on
  // one volume: the old bytes stay whole until the new ones are all there.
  Text folder = FolderOfPath(path);
  if (folder.empty()) folder = ".";
  char temporary[MAX_PATH] = {};
  if (!GetTempFileNameA(Cs(folder), "lmn", 0, temporary)) return false;
  HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  bool ok = file != INVALID_HANDLE_VALUE;
  if (ok) {
    ok = WriteAllParts(file, parts) && FlushFileBuffers(file);
    CloseKeepingError(file);
  }
  if (ok) ok = MoveFileExA(temporary, Cs(path), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  if (!ok) {
    DWORD error = GetLastError();
    DeleteFileA(temporary);
    SetLastError(error);
  }
  return ok;
}

bool WriteFreshFile(const Text& path, std::string_view bytes) {
  if (path.empty()) return false;
  // A planted read-only file would otherwise stay; a link is never touched
  // through (its target's attributes are not ours to change), only removed.
  DWORD attributes = GetFileAttributesA(Cs(path));
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
      !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
    SetFileAttributesA(Cs(path), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  if (!DeleteFileA(Cs(path))) {
    DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) return false;
  }
  // CREATE_NEW: if anything appeared at the path meanwhile, or the old file is
  // still held open and only marked for deletion, nothing is written.
  HANDLE file = CreateFileA(Cs(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteAll(file, bytes);
  CloseHandle(file);
  return ok;
}

bool ReadBytesFromFile(const Text& path, std::string* bytes) {
  HANDLE file = CreateFileA(Cs(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string content;
  char buffer[4096];
  DWORD read = 0;
  bool ok;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr) != FALSE) && read > 0)
    content.append(buffer, read);
  CloseKeepingError(file);
  if (!ok) return false;
  *bytes = std::move(content);
  return true;
}

bool CreateFolder(const Text& path) { return CreateDirectoryA(Cs(path), nullptr) != FALSE; }

bool RemoveFolder(const Text& path) { return RemoveDirectoryA(Cs(path)) != FALSE; }

bool FolderExists(const Text& path) {
  DWORD attributes = GetFileAttributesA(Cs(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const Text& path) {
  DWORD attributes = GetFileAttributesA(Cs(path));
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Without a % there is nothing to expand, and the text keeps its exact bytes
// (the system's expansion goes through Unicode, which not every GBK byte
// sequence survives).
Text ExpandEnvironment(const Text& text) {
  if (text.find('%') == Text::npos) return text;
  DWORD size = ExpandEnvironmentStringsA(Cs(text), nullptr, 0);
  if (size == 0) return text;
  std::vector<char> buffer(size + 1);
  DWORD written = ExpandEnvironmentStringsA(Cs(text), buffer.data(), static_cast<DWORD>(buffer.size()));
  if (written == 0 || written > buffer.size()) return text;
  return Text(buffer.data());
}

bool SetFileAttributesMasked(const Text& path, uint32_t attributes) {
  return SetFileAttributesA(Cs(path), attributes & 0x27u) != FALSE;
}

Text ProgramDirectory() {
  std::vector<char> name(MAX_PATH);
  DWORD length;
  while ((length = GetModuleFileNameA(nullptr, name.data(), static_cast<DWORD>(name.size()))) >= name.size() &&
         name.size() < 0x8000)
    name.resize(name.size() * 2);
  if (length == 0 || length >= name.size()) return {};
  // Walk by characters: in a double-byte code page the second byte of a
  // character may be 0x5C and is no separator.
  const char* last_backslash = nullptr;
  for (const char* p = name.data(); *p; p = CharNextA(p))
    if (*p == '\\') last_backslash = p;
  if (!last_backslash) return {};
  return Text(name.data(), static_cast<size_t>(last_backslash - name.data()));
}

// ---------------------------------------------------------------------------
// Errors and system state

uint32_t LastError() { return GetLastError(); }

Text SystemErrorText(uint32_t code) {
  char buffer[1024] = {};
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                                sizeof buffer, nullptr);
  Text text = length ? TrimmedMessageText(std::string_view(buffer, length)) : Text();
  return text.empty() ? UnknownErrorText(code) : text;
}

Text ComputerName() {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof name;
  return GetComputerNameA(name, &size) ? Text(name, size) : Text();
}

// The process's token, not the thread's: HKEY_CURRENT_USER and the profile
// folders follow the account the process was started as.
bool RunsAsLocalSystem() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  alignas(TOKEN_USER) BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  bool system = false;
  if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size)) {
    SID_IDENTIFIER_AUTHORITY nt_authority = {SECURITY_NT_AUTHORITY};
    PSID local_system = nullptr;
    if (AllocateAndInitializeSid(&nt_authority, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &local_system)) {
      system = EqualSid(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, local_system) != FALSE;
      FreeSid(local_system);
    }
  }
  CloseHandle(token);
  return system;
}

ServiceState QueryServiceState(const Text& service_name) {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (!manager) return ServiceState::kUnknown;
  ServiceState state = ServiceState::kUnknown;
  SC_HANDLE service = OpenServiceA(manager, Cs(service_name), SERVICE_QUERY_STATUS);
  if (service) {
    SERVICE_STATUS status;
    ZeroMemory(&status, sizeof status);
    if (QueryServiceStatus(service, &status))
      state = status.dwCurrentState == SERVICE_RUNNING ? ServiceState::kRunning : ServiceState::kStopped;
    CloseServiceHandle(service);
  } else if (GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST) {
    state = ServiceState::kNotInstalled;
  }
  CloseServiceHandle(manager);
  return state;
}

// netapi32 is loaded only here, on the rare path that asks: the program's
// start-up does not pay for a library it seldom needs.
Presence QueryNetworkShare(const Text& share_name) {
  using GetInfo = DWORD(WINAPI*)(LPWSTR, LPWSTR, DWORD, LPBYTE*);
  using FreeBuffer = DWORD(WINAPI*)(LPVOID);
  auto library = static_cast<HMODULE>(LoadSystemLibrary("netapi32.dll"));
  if (!library) return Presence::kUnknown;
  auto get_info = reinterpret_cast<GetInfo>(reinterpret_cast<void*>(GetProcAddress(library, "NetShareGetInfo")));
  auto free_buffer = reinterpret_cast<FreeBuffer>(reinterpret_cast<void*>(GetProcAddress(library, "NetApiBufferFree")));
  Presence presence = Presence::kUnknown;
  int length = MultiByteToWideChar(CP_ACP, 0, Cs(share_name), -1, nullptr, 0);
  if (get_info && free_buffer && length > 0) {
    std::vector<wchar_t> name(static_cast<size_t>(length));
    MultiByteToWideChar(CP_ACP, 0, Cs(share_name), -1, name.data(), length);
    LPBYTE info = nullptr;
    DWORD status = get_info(nullptr, name.data(), 0, &info);
    if (info) free_buffer(info);
    presence = ShareQueryPresence(status);
  }
  FreeLibrary(library);
  return presence;
}

// ---------------------------------------------------------------------------
// Dialogs and shell

namespace {

struct OwnerSearch {
  WindowId id;
  HWND found;
};

BOOL CALLBACK MatchWindowId(HWND window, LPARAM lparam) {
  auto* search = reinterpret_cast<OwnerSearch*>(lparam);
  HANDLE mark = GetPropA(window, kWindowIdProperty);
  if (mark && static_cast<WindowId>(reinterpret_cast<uintptr_t>(mark)) == search->id) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// Only the calling thread's windows can own its message box; from a worker
// thread this finds none, so the box has no owner there.
HWND OwnerWindowFor(WindowId owner) {
  if (owner == 0) return nullptr;
  OwnerSearch search{owner, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), MatchWindowId, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

int ShowMessageBox(const Text& message, int style, const Text& title, WindowId owner) {
  int button = MessageBoxA(OwnerWindowFor(owner), Cs(message), Cs(title), MessageBoxStyleFor(style));
  return MessageBoxResultFor(button);
}

void EnableWindowsAgain(const std::vector<DisabledWindow>& windows) {
  for (const DisabledWindow& d : windows)
    if (IsWindow(d.window)) EnableWindow(d.window, d.was_enabled ? TRUE : FALSE);
}

namespace {

BOOL CALLBACK DisableProgramWindow(HWND window, LPARAM lparam) {
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  if (process_id != GetCurrentProcessId() || GetParent(window) != nullptr) return TRUE;
  bool was_disabled = EnableWindow(window, FALSE) != FALSE;
  reinterpret_cast<std::vector<DisabledWindow>*>(lparam)->push_back({window, !was_disabled});
  return TRUE;
}

Text PathOfItemList(LPITEMIDLIST items) {
  char path[MAX_PATH] = {};
  Text result;
  if (SHGetPathFromIDListA(items, path)) result = path;
  IMalloc* shell_allocator = nullptr;
  if (SUCCEEDED(SHGetMalloc(&shell_allocator))) {
    shell_allocator->Free(items);
    shell_allocator->Release();
  }
  return result;
}

}  // namespace

Text BrowseForFolder(const Text& prompt, bool include_files) {
  HWND active = GetActiveWindow();
  if (active && !IsWindow(active)) active = nullptr;
  HWND foreground = GetForegroundWindow();

  std::vector<DisabledWindow> disabled;
  EnumWindows(DisableProgramWindow, reinterpret_cast<LPARAM>(&disabled));

  // The shell's dialog needs COM on this thread; balance only our own start.
  HRESULT com = CoInitialize(nullptr);
  char display_name[MAX_PATH] = {};
  BROWSEINFOA browse;
  ZeroMemory(&browse, sizeof browse);
  browse.hwndOwner = active;
  browse.pidlRoot = nullptr;
  browse.pszDisplayName = display_name;
  browse.lpszTitle = Cs(prompt);
  browse.ulFlags = BIF_EDITBOX | (include_files ? BIF_BROWSEINCLUDEFILES : 0);
  LPITEMIDLIST items = SHBrowseForFolderA(&browse);

  EnableWindowsAgain(disabled);
  if (foreground && IsWindow(foreground)) SetForegroundWindow(foreground);
  if (active && IsWindow(active)) SetActiveWindow(active);

  Text path = items ? PathOfItemList(items) : Text();
  if (SUCCEEDED(com)) CoUninitialize();
  return path;
}

intptr_t ShellOpen(int verb, const Text& file, const Text& parameters, const Text& directory, WindowMode mode) {
  HINSTANCE result = ShellExecuteA(nullptr, ShellVerbForNumber(verb), Cs(file),
                                   parameters.empty() ? nullptr : Cs(parameters), Cs(directory),
                                   ShowCommandForShellMode(mode));
  return reinterpret_cast<intptr_t>(result);
}

// ---------------------------------------------------------------------------
// Display

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

DisplayMode QueryDisplayMode() {
  DisplayMode mode;
  HDC screen = GetDC(nullptr);
  if (!screen) return mode;
  mode.width = GetDeviceCaps(screen, HORZRES);
  mode.height = GetDeviceCaps(screen, VERTRES);
  mode.bits_per_pixel = GetDeviceCaps(screen, BITSPIXEL);
  mode.refresh_hz = GetDeviceCaps(screen, VREFRESH);
  ReleaseDC(nullptr, screen);
  return mode;
}

// 148 bytes is the DEVMODEA of Windows NT 4 and 95, before the panning
// fields; the headers' structure is longer, and dmSize tells the system which
// version it is given. Every field set here lies within the 148 bytes.
constexpr WORD kDevModeSize = 148;
static_assert(sizeof(DEVMODEA) >= kDevModeSize);
static_assert(offsetof(DEVMODEA, dmDisplayFrequency) + sizeof(DWORD) <= kDevModeSize);

bool SetDisplayMode(int width, int height, int bits, int refresh) {
  DEVMODEA mode;
  ZeroMemory(&mode, sizeof mode);
  mode.dmSize = kDevModeSize;
  DisplayModeFields fields = DisplayModeFieldsFor(width, height, bits, refresh);
  mode.dmFields = fields.fields;
  mode.dmBitsPerPel = fields.bits_per_pixel;
  mode.dmPelsWidth = fields.width;
  mode.dmPelsHeight = fields.height;
  mode.dmDisplayFrequency = fields.frequency;
  return ChangeDisplaySettingsA(&mode, CDS_UPDATEREGISTRY) == DISP_CHANGE_SUCCESSFUL;
}

// ---------------------------------------------------------------------------
// System version

WindowsVersion QueryWindowsVersion() {
  static_assert(sizeof(OSVERSIONINFOA) == 148);
  OSVERSIONINFOA info;
  ZeroMemory(&info, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;
  WindowsVersion version;
  if (!GetVersionExA(&info)) return version;
  version.known = true;
  version.major = info.dwMajorVersion;
  version.minor = info.dwMinorVersion;
  version.platform = info.dwPlatformId;
  return version;
}

// ---------------------------------------------------------------------------
// Fatal errors

namespace {

FatalErrorSink g_fatal_sink = nullptr;
int g_fatal_exit_code = 0;

}  // namespace

void SendFatalErrorsTo(FatalErrorSink sink, int exit_code) {
  g_fatal_sink = sink;
  g_fatal_exit_code = exit_code;
}

[[noreturn]] void FatalError(int code, const Text& message) {
  Text text = FatalErrorText(code, message);
  if (g_fatal_sink) {
    g_fatal_sink(text);
    ExitProcess(static_cast<UINT>(g_fatal_exit_code));
  }
  MessageBoxA(nullptr, Cs(text), "错误", MessageBoxStyleFor(MB_ICONERROR));
  ExitProcess(static_cast<UINT>(-1));
}

}  // namespace lumeno
