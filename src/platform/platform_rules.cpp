#include "platform/platform_rules.h"

#include <cctype>
#include <cmath>

namespace lumeno {

const char* const kDefaultMessageTitle = "信息：";

int NormalizeRootNumber(int root) {
  return (root >= kRootClassesRoot && root <= kRootUsers) ? root : kRootCurrentUser;
}

const char* RootKeyName(int root) {
  static const char* const kNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_CONFIG", "HKEY_CURRENT_USER",
                                       "HKEY_LOCAL_MACHINE", "HKEY_USERS"};
  return kNames[NormalizeRootNumber(root) - 1];
}

RegistryItemParts SplitRegistryItemPath(std::string_view item_path) {
  item_path = item_path.substr(0, TextLength(item_path));
  size_t last = item_path.rfind('\\');
  if (last == std::string_view::npos) return {Text(), Text(item_path)};
  return {Text(item_path.substr(0, last)), Text(item_path.substr(last + 1))};
}

namespace {

std::string DwordBytes(uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

// Truncation toward zero to 64 bits, then the low 32 bits. Values outside
// the 64-bit range (and NaN) saturate instead of invoking undefined behaviour.
uint32_t LowDwordOf(double value) {
  if (std::isnan(value)) return 0;
  double truncated = std::trunc(value);
  int64_t wide;
  if (truncated >= 9223372036854775807.0) wide = INT64_MAX;
  else if (truncated <= -9223372036854775808.0) wide = INT64_MIN;
  else wide = static_cast<int64_t>(truncated);
  return static_cast<uint32_t>(static_cast<uint64_t>(wide) & 0xFFFFFFFFu);
}

}  // namespace

EncodedRegistryValue EncodeRegistryValue(const RegistryValue& value) {
  if (const auto* integer = std::get_if<int32_t>(&value)) return {kRegDword, DwordBytes(static_cast<uint32_t>(*integer))};
  if (const auto* number = std::get_if<double>(&value)) return {kRegDword, DwordBytes(LowDwordOf(*number))};
  if (const auto* text = std::get_if<Text>(&value)) {
    std::string data = text->substr(0, TextLength(*text));
    data.push_back('\0');
    return {kRegSz, data};
  }
  return {kRegBinary, std::get<Bytes>(value).data};
}

int ShowCommandForRunMode(WindowMode window_mode) {
  // SW_HIDE 0, SW_SHOWNORMAL 1, SW_SHOWMINIMIZED 2, SW_SHOWMAXIMIZED 3,
  // SW_SHOWNOACTIVATE 4, SW_MINIMIZE 6.
  static const int kShow[] = {0, 1, 2, 3, 4, 6};
  int mode = static_cast<int>(window_mode);
  if (mode < 1) mode = 1;
  if (mode > 6) mode = 6;
  return kShow[mode - 1];
}

uint32_t CreationFlagsForRunMode(WindowMode mode) {
  constexpr uint32_t kCreateNoWindow = 0x08000000;
  return ShowCommandForRunMode(mode) == 0 ? kCreateNoWindow : 0;  // SW_HIDE
}

int ShowCommandForShellMode(WindowMode window_mode) {
  // SW_HIDE, SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED, SW_SHOWNA, SW_MINIMIZE.
  static const int kShow[] = {0, 1, 2, 3, 8, 6};
  int mode = static_cast<int>(window_mode);
  if (mode < 1 || mode > 6) return 1;
  return kShow[mode - 1];
}

const char* ShellVerbForNumber(int verb) {
  static const char* const kVerbs[] = {"edit", "explore", "find", "open", "print"};
  if (verb < 1 || verb > 5) return nullptr;
  return kVerbs[verb - 1];
}

uint32_t MessageBoxStyleFor(int style) {
  uint32_t s = static_cast<uint32_t>(style);
  return (s & 0x1000u) ? s : (s | 0x2000u);
}

int MessageBoxResultFor(int button_id) {
  // IDOK 1, IDCANCEL 2, IDABORT 3, IDRETRY 4, IDIGNORE 5, IDYES 6, IDNO 7.
  if (button_id >= 1 && button_id <= 7) return button_id - 1;
  return 0;
}

DisplayModeFields DisplayModeFieldsFor(int width, int height, int bits, int refresh) {
  DisplayModeFields f;
  if (bits != 0) f.fields |= 0x40000u, f.bits_per_pixel = static_cast<uint32_t>(bits);
  if (width != 0) f.fields |= 0x80000u, f.width = static_cast<uint32_t>(width);
  if (height != 0) f.fields |= 0x100000u, f.height = static_cast<uint32_t>(height);
  if (refresh != 0) f.fields |= 0x400000u, f.frequency = static_cast<uint32_t>(refresh);
  return f;
}

Text FatalErrorText(int code, std::string_view message) {
  Text text = "运行时出错!\r\n\r\n";
  if (code != 0) text += "错误代码：" + ToText(code) + "\r\n\r\n";
  if (!message.empty()) text += "错误信息：" + Text(message) + "\r\n";
  return text;
}

Text FolderOfPath(std::string_view path) {
  std::vector<size_t> separators = BackslashPositions(path);
  if (separators.empty()) return {};
  return Text(path.substr(0, separators.back()));
}

Text TrimmedMessageText(std::string_view text) {
  size_t end = text.find_last_not_of(" \t\r\n");
  return end == std::string_view::npos ? Text() : Text(text.substr(0, end + 1));
}

Text UnknownErrorText(uint32_t code) {
  // Small codes are Win32 errors, read in decimal; large ones HRESULTs, read in hex.
  return ConcatTexts("错误代码 ", code > 0xFFFFu ? "0x" + HexText(code, 8, true) : UnsignedText(code));
}

Presence ShareQueryPresence(uint32_t status) {
  constexpr uint32_t kSuccess = 0, kServerNotStarted = 2114, kNetNameNotFound = 2310;
  if (status == kSuccess) return Presence::kPresent;
  if (status == kNetNameNotFound || status == kServerNotStarted) return Presence::kAbsent;
  return Presence::kUnknown;
}

Text SystemLibraryPath(std::string_view system_folder, std::string_view library) {
  if (system_folder.empty() || library.empty() || library.find_first_of("\\/:") != std::string_view::npos) return {};
  return ConcatTexts(system_folder, "\\", library);
}

bool IsUnloadedUsersHive(int root, std::string_view item_path) {
  if (NormalizeRootNumber(root) != kRootUsers) return false;
  const Text first = FoldAsciiCase(item_path.substr(0, item_path.find('\\')));
  return first != ".default" && first.rfind("s-1-", 0) != 0;
}

Text LocalTimeText(const LocalTime& time, const char* date_separator, const char* middle,
                   const char* clock_separator) {
  const int parts[] = {time.month, time.day, time.hour, time.minute, time.second};
  const char* const before[] = {date_separator, date_separator, middle, clock_separator, clock_separator};
  Text text = ZeroPaddedText(static_cast<uint32_t>(time.year), 4);
  for (int i = 0; i < 5; ++i) {
    text += before[i];
    text += ZeroPaddedText(static_cast<uint32_t>(parts[i]), 2);
  }
  return text;
}

}  // namespace lumeno
