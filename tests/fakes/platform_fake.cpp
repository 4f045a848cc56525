// Recording fake of the platform operations (see recorder.h).
#include <cstdio>
#include <stdexcept>

#include "fakes/recorder.h"
#include "platform/platform_rules.h"
#include "ui/controls.h"

namespace lumeno::fake {

namespace {
std::string Flag(bool b) { return b ? "1" : "0"; }
std::string Dec(long long v) { return std::to_string(v); }
}  // namespace

std::ostream& operator<<(std::ostream& out, const Call& call) {
  out << call.op << "(";
  for (size_t i = 0; i < call.args.size(); ++i) out << (i ? ", " : "") << '"' << call.args[i] << '"';
  return out << ")";
}

std::vector<Call>& Calls() {
  static std::vector<Call> calls;
  return calls;
}

State& GetState() {
  static State state;
  return state;
}

void Reset() {
  Calls().clear();
  GetState() = State{};
  SendFatalErrorsTo(nullptr, 0);
}

void Record(std::string op, std::vector<std::string> args) { Calls().push_back({std::move(op), std::move(args)}); }

std::vector<Call> CallsOf(std::initializer_list<std::string> ops) {
  std::vector<Call> out;
  for (const Call& c : Calls())
    for (const std::string& op : ops)
      if (c.op == op) out.push_back(c);
  return out;
}

std::string Hex32(uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08X", value);
  return buffer;
}

void Tick(WindowId window, ControlId control, bool on) {
  GetState().properties[{window, control, kPropertyChecked}] = PropertyValue::Boolean(on);
}

}  // namespace lumeno::fake

namespace lumeno {

using fake::Dec;
using fake::Flag;
using fake::GetState;
using fake::Hex32;
using fake::Record;

PropertyValue ReadProperty(WindowId window, ControlId control, int index) {
  Record("ReadProperty", {Hex32(window), Hex32(control), Dec(index)});
  auto& props = GetState().properties;
  auto it = props.find({window, control, index});
  return it == props.end() ? PropertyValue{} : it->second;
}

void WriteProperty(WindowId window, ControlId control, int index, const PropertyValue& value) {
  Record("WriteProperty", {Hex32(window), Hex32(control), Dec(index), value.is_text ? value.text : Dec(value.number)});
  GetState().properties[{window, control, index}] = value;
}

ControlId FindControlByTag(WindowId window, int tag) {
  Record("FindControlByTag", {Hex32(window), Dec(tag)});
  auto& tags = GetState().tags;
  auto it = tags.find({window, tag});
  if (it == tags.end()) FatalError(0, "未找到指定标记的组件");
  return it->second;
}

bool LoadWindow(WindowId window, WindowId parent, bool modal) {
  Record("LoadWindow", {Hex32(window), Hex32(parent), Flag(modal)});
  return true;
}

namespace {

// A failing operation leaves its code behind, as the real ones do.
bool Fail(uint32_t code) {
  GetState().last_error = code;
  return false;
}

// The code a write to path fails with, or 0 when it succeeds.
uint32_t WriteErrorFor(const std::string& path) {
  if (!GetState().write_result) return 5;
  auto it = GetState().write_errors.find(path);
  return it == GetState().write_errors.end() ? 0 : it->second;
}

}  // namespace

RunResult RunCommandLine(const Text& command_line, bool wait, WindowMode mode) {
  Record("RunCommandLine", {command_line, Flag(wait), Dec(static_cast<int>(mode))});
  const fake::State& state = GetState();
  RunResult result;
  auto refused = state.start_errors.find(command_line);
  if (!state.run_result || refused != state.start_errors.end()) {
    result.error = refused != state.start_errors.end() ? refused->second : 2;
    return result;
  }
  result.started = true;
  auto code = state.exit_codes.find(command_line);
  if (wait && code != state.exit_codes.end()) result.exit_code = code->second;
  return result;
}

bool StartThread(ThreadRoutine routine) {
  Record("StartThread");
  if (!GetState().start_thread_result) return false;
  GetState().started_threads.push_back(routine);
  return true;
}

void Delay(int milliseconds) { Record("Delay", {Dec(milliseconds)}); }

bool WriteRegistryItem(int root, const Text& item_path, const RegistryValue& value) {
  EncodedRegistryValue encoded = EncodeRegistryValue(value);
  std::string type, data;
  if (encoded.type == kRegSz) {
    type = "REG_SZ";
    data = encoded.data.substr(0, encoded.data.size() - 1);
  } else if (encoded.type == kRegDword) {
    type = "REG_DWORD";
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(encoded.data[i]);
    data = Hex32(v);
  } else {
    type = "REG_BINARY";
    data = encoded.data;
  }
  Record("WriteRegistryItem", {Dec(NormalizeRootNumber(root)), item_path, type, data});
  if (!GetState().write_result) return Fail(5);
  auto it = GetState().registry_errors.find(item_path);
  if (it != GetState().registry_errors.end()) return Fail(it->second);
  return true;
}

namespace {

Presence RegistryPresence(const std::string& key) {
  auto it = GetState().registry_presence.find(key);
  return it == GetState().registry_presence.end() ? Presence::kUnknown : it->second;
}

}  // namespace

bool DeleteRegistryKeyTree(int root, const Text& key_path) {
  Record("DeleteRegistryKeyTree", {Dec(NormalizeRootNumber(root)), key_path});
  if (!GetState().write_result) return Fail(5);
  auto it = GetState().registry_errors.find(key_path);
  if (it != GetState().registry_errors.end()) return Fail(it->second);
  return true;
}

Presence QueryRegistryKey(int root, const Text& key_path) {
  return RegistryPresence(Dec(NormalizeRootNumber(root)) + ":" + key_path);
}

Presence QueryRegistryValue(int root, const Text& key_path, const Text& value_name) {
  return RegistryPresence(Dec(NormalizeRootNumber(root)) + ":" + key_path + "\\" + value_name);
}

bool WriteBytesToFile(const Text& path, std::initializer_list<std::string_view> parts) {
  std::string all;
  for (std::string_view p : parts) all.append(p);
  Record("WriteBytesToFile", {path, all});
  if (path.empty()) return Fail(3);
  if (uint32_t error = WriteErrorFor(path)) return Fail(error);
  GetState().files[path] = all;
  return true;
}

bool WriteFreshFile(const Text& path, std::string_view bytes) {
  Record("WriteFreshFile", {path, std::string(bytes)});
  if (path.empty()) return Fail(3);
  if (uint32_t error = WriteErrorFor(path)) return Fail(error);
  GetState().files[path] = std::string(bytes);
  return true;
}

bool ReplaceFileBytes(const Text& path, const std::vector<std::string_view>& parts) {
  std::string all;
  for (std::string_view p : parts) all.append(p);
  Record("ReplaceFileBytes", {path, all});
  if (path.empty()) return Fail(123);
  if (uint32_t error = WriteErrorFor(path)) return Fail(error);
  GetState().files[path] = all;
  return true;
}

bool ReadBytesFromFile(const Text& path, std::string* bytes) {
  Record("ReadBytesFromFile", {path});
  auto refused = GetState().read_errors.find(path);
  if (refused != GetState().read_errors.end()) return Fail(refused->second);
  auto it = GetState().files.find(path);
  if (it == GetState().files.end()) return Fail(2);
  *bytes = it->second;
  return true;
}

bool CreateFolder(const Text& path) {
  Record("CreateFolder", {path});
  auto refused = GetState().create_folder_errors.find(path);
  if (refused != GetState().create_folder_errors.end()) return Fail(refused->second);
  GetState().missing_folders.erase(path);
  return true;
}

bool RemoveFolder(const Text& path) {
  Record("RemoveFolder", {path});
  GetState().missing_folders.insert(path);
  return true;
}

bool FolderExists(const Text& path) { return GetState().missing_folders.count(path) == 0; }

bool IsFile(const Text& path) { return GetState().files.count(path) != 0; }

// %NAME% of a listed variable is replaced; anything else stays, as the
// system's expansion leaves undefined names alone.
Text ExpandEnvironment(const Text& text) {
  Text result;
  for (size_t at = 0; at < text.size();) {
    size_t open = text.find('%', at);
    size_t close = open == Text::npos ? Text::npos : text.find('%', open + 1);
    if (close == Text::npos) {
      result += text.substr(at);
      break;
    }
    auto value = GetState().environment.find(text.substr(open + 1, close - open - 1));
    if (value == GetState().environment.end()) {
      result += text.substr(at, close - at);
      at = close;
      continue;
    }
    result += text.substr(at, open - at) + value->second;
    at = close + 1;
  }
  return result;
}

uint32_t LastError() { return GetState().last_error; }

Text SystemErrorText(uint32_t code) {
  auto it = GetState().error_texts.find(code);
  return it == GetState().error_texts.end() ? "error " + Dec(code) : it->second;
}

ServiceState QueryServiceState(const Text& service_name) {
  auto it = GetState().services.find(service_name);
  return it == GetState().services.end() ? ServiceState::kUnknown : it->second;
}

Presence QueryNetworkShare(const Text& share_name) {
  auto it = GetState().shares.find(share_name);
  return it == GetState().shares.end() ? Presence::kUnknown : it->second;
}

bool SetFileAttributesMasked(const Text& path, uint32_t attributes) {
  Record("SetFileAttributesMasked", {path, Dec(attributes)});
  return true;
}

Text ProgramDirectory() { return GetState().program_directory; }

int ShowMessageBox(const Text& message, int style, const Text& title, WindowId) {
  Record("ShowMessageBox", {message, Dec(style), title});
  if (GetState().on_message_box) GetState().on_message_box();
  return GetState().message_box_result;
}

Text BrowseForFolder(const Text& prompt, bool include_files) {
  Record("BrowseForFolder", {prompt, Flag(include_files)});
  return GetState().browse_result;
}

intptr_t ShellOpen(int verb, const Text& file, const Text& parameters, const Text& directory, WindowMode mode) {
  Record("ShellOpen", {Dec(verb), file, parameters, directory, Dec(static_cast<int>(mode))});
  return 42;
}

int ScreenWidth() { return GetState().screen_width; }
int ScreenHeight() { return GetState().screen_height; }
DisplayMode QueryDisplayMode() { return GetState().display; }

bool SetDisplayMode(int width, int height, int bits, int refresh) {
  Record("SetDisplayMode", {Dec(width), Dec(height), Dec(bits), Dec(refresh)});
  // A mode that was set is what the screen shows from then on.
  fake::State& state = fake::GetState();
  if (!state.set_display_result) return false;
  if (width) state.screen_width = state.display.width = width;
  if (height) state.screen_height = state.display.height = height;
  if (bits) state.display.bits_per_pixel = bits;
  if (refresh) state.display.refresh_hz = refresh;
  return true;
}

WindowsVersion QueryWindowsVersion() { return GetState().version; }

Text ComputerName() { return GetState().computer_name; }

bool RunsAsLocalSystem() { return GetState().local_system; }

void InitializePlatform() { Record("InitializePlatform"); }

bool CallSetProcessWorkingSetSize(DeclaredFunction entry, uintptr_t process, intptr_t minimum, intptr_t maximum) {
  char handle[32];
  std::snprintf(handle, sizeof handle, "0x%llX", static_cast<unsigned long long>(process));
  Record("CallSetProcessWorkingSetSize", {Dec(static_cast<int>(entry)), handle, Dec(minimum), Dec(maximum)});
  return true;
}

bool CallEnumProcesses(uint32_t* ids, uint32_t bytes, uint32_t* bytes_returned) {
  Record("CallEnumProcesses", {Dec(bytes)});
  const auto& list = GetState().processes;
  uint32_t count = 0;
  for (; count < list.size() && (count + 1) * 4 <= bytes; ++count) ids[count] = list[count];
  *bytes_returned = count * 4;
  return true;
}

uintptr_t CallOpenProcess(uint32_t access, bool inherit, uint32_t process_id) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%X", access);
  Record("CallOpenProcess", {hex, Flag(inherit), Dec(process_id)});
  for (uint32_t id : GetState().unopenable)
    if (id == process_id) return 0;
  return 0x1000u + process_id;
}

bool CallCloseHandle(uintptr_t handle) {
  char hex[32];
  std::snprintf(hex, sizeof hex, "0x%llX", static_cast<unsigned long long>(handle));
  Record("CallCloseHandle", {hex});
  return true;
}

namespace {
FatalErrorSink g_fatal_sink = nullptr;
int g_fatal_exit_code = 0;
}  // namespace

void SendFatalErrorsTo(FatalErrorSink sink, int exit_code) {
  g_fatal_sink = sink;
  g_fatal_exit_code = exit_code;
}

// Ends the test's run of the handler instead of the process: the exit code
// the process would end with travels in the exception.
[[noreturn]] void FatalError(int code, const Text& message) {
  Record("FatalError", {Dec(code), message});
  if (g_fatal_sink) {
    g_fatal_sink(FatalErrorText(code, message));
    throw fake::FatalExit{g_fatal_exit_code, message};
  }
  throw fake::FatalExit{code, message};
}

}  // namespace lumeno
