// Hostile input against the real program: an over-long (refused) and a
// double-byte relocation target, a temporary folder full of traps, a missing
// C:\Windows\Temp, a phone book of random bytes, and the program closed in
// the middle of its work. Every case checks that nothing is lost and nothing
// crashes: the expected message appears, the files that must survive keep
// their bytes, and the program still answers afterwards and then ends with
// code 0, leaving no process behind.
//
// hostile_test.setup.sh makes, from the Linux side, what Wine cannot: a link
// inside the temporary folder to a folder outside it, and a path deeper than
// MAX_PATH.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "data/broadband_expected.h"
#include "driver.h"
#include "ui/control_ids.h"
#include "support/texts.h"
#include "ui/controls.h"

namespace {

// MainWindow
using lumeno::main_controls::kOptimizeButton;
using lumeno::main_controls::kSettingsButton;
constexpr uint32_t kTemporaryFilesBox = 0x16010297;  // 选择框26 "系统临时文件"

// SettingsWindow
constexpr uint32_t kSettingsTab = lumeno::settings_controls::kTab;
constexpr int kRelocationPage = 2;                 // "转资料"
constexpr int kCleanupPage = 3;                    // "清系统"
constexpr int kToolsPage = 4;                      // "小工具"
constexpr uint32_t kTargetEditBox = lumeno::settings_controls::kTargetEdit;  // 编辑框1
using lumeno::settings_controls::kDesktopBox;
using lumeno::settings_controls::kRelocateButton;
constexpr uint32_t kJunkScriptBox = lumeno::settings_controls::kJunkBox;  // 选择框11 "清理系统垃圾"
constexpr uint32_t kLogFilesBox = lumeno::settings_controls::kLogsBox;  // 选择框12 "清理日志文件"
constexpr uint32_t kCookiesScriptBox = lumeno::settings_controls::kCookiesBox;  // 选择框15 "清空 Cookies"
using lumeno::settings_controls::kCleanupButton;
using lumeno::settings_controls::kBroadbandButton;
using lumeno::settings_controls::kMemorySwitch;
constexpr uint32_t kMemoryStateLabel = lumeno::settings_controls::kMemoryState;  // 透明标签1

// GBK bytes.
const std::string kSettingsTitle = "\xCF\xB5\xCD\xB3\xC9\xE8\xD6\xC3";  // 系统设置
const std::string kDefaultTitle = texts::kDefaultTitle;
const std::string kRelocatedText = "\xD7\xCA\xC1\xCF\xD7\xAA\xD2\xC6\xB3\xC9\xB9\xA6\xA3\xA1";  // 资料转移成功！
const std::string kCleanedText = "\xCF\xB5\xCD\xB3\xC7\xE5\xC0\xED\xB3\xC9\xB9\xA6\xA3\xA1";    // 系统清理成功！
const std::string kOptimizedText =
    "\xB9\xA7\xCF\xB2\xC4\xFA\xA3\xAC\xC4\xE3\xD1\xA1\xD4\xF1\xB5\xC4\xD3\xC5\xBB\xAF\xCF\xEE\xC4\xBF\xD2\xD1\xCD\xEA"
    "\xB3\xC9\xA3\xA1";                                // 恭喜您，你选择的优化项目已完成！
const std::string kOptimizedTitle = "\xCD\xEA\xB3\xC9";  // 完成
const std::string kBroadbandText =
    "\xBF\xED\xB4\xF8\xC1\xAC\xBD\xD3\xD2\xD1\xB3\xC9\xB9\xA6\xBD\xA8\xC1\xA2\xA3\xA1";  // 宽带连接已成功建立！
const std::string kBroadbandTitle = "\xCC\xE1\xCA\xBE";                                     // 提示
const std::string kMemoryOnText = "\xC4\xDA\xB4\xE6\xD3\xC5\xBB\xAF\xBF\xAA\xC6\xF4";     // 内存优化开启
const std::string kChineseDesktop = "\xD7\xC0\xC3\xE6";                                     // 桌面

const std::string kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::string kUserShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const std::string kSessionEnvironment = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";

const std::string kWork = std::string(driver::kTestDirectory) + "\\hostile";  // the setup script's folder
const std::string kWindowsTemp = "C:\\Windows\\Temp";
const std::string kWindowsTempAway = "C:\\Windows\\Temp-moved-away-by-test";

const std::string kAllUsers = "C:\\Documents and Settings\\All Users";
const std::string kPhonebookFolder = kAllUsers + "\\Application Data\\Microsoft\\Network\\Connections\\Pbk";
const std::string kPhonebook = kPhonebookFolder + "\\rasphone.pbk";
const std::string kAllUsersDesktop = kAllUsers + "\\" + kChineseDesktop;

// The deep path of hostile_test.setup.sh.
constexpr int kDeepLevels = 6;
constexpr int kDeepLevelDigits = 50;
const std::string kDeepFileBytes = "deep file bytes\r\n";

// ---------------------------------------------------------------------------
// Helpers

bool Exists(const std::string& path) { return driver::PathExists(path); }

// Creates every missing folder of the path.
bool CreateFolders(const std::string& path) {
  for (size_t at = path.find('\\', 3);; at = path.find('\\', at + 1)) {
    std::string part = path.substr(0, at);
    if (!CreateDirectoryA(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    if (at == std::string::npos) return true;
  }
}

// A window answers when its thread takes a message within a few seconds.
bool Answers(HWND window) {
  DWORD_PTR result = 0;
  return IsWindow(window) && SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 3000, &result) != 0;
}

// Processes of this prefix whose executable is named name.
int CountProcesses(const char* name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  int count = 0;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (lstrcmpiA(entry.szExeFile, name) == 0) ++count;
  CloseHandle(snapshot);
  return count;
}

// Deterministic "random" content, so that a failure can be reproduced.
std::string RandomBytes(size_t size, uint32_t seed, bool with_nul_bytes) {
  std::mt19937 generator(seed);
  std::string bytes;
  while (bytes.size() < size) {
    const char byte = static_cast<char>(generator() & 0xFF);
    if (byte == '\0' && !with_nul_bytes) continue;
    bytes.push_back(byte);
  }
  return bytes;
}

// The broadband section: the expected phone book without its mark and first empty line.
std::string BroadbandSection() { return broadband_expected::Phonebook().substr(5); }

std::string RegistryText(HKEY root, const std::string& key, const std::string& name) {
  std::optional<driver::RegistryValue> value = driver::ReadRegistryValue(root, key, name);
  if (!value) return "(missing)";
  if (value->type != REG_SZ) return "(type " + std::to_string(value->type) + ")";
  return value->bytes;
}

// REG_SZ data as stored: the text and its NUL.
std::string StoredText(const std::string& text) { return text + std::string(1, '\0'); }

// Points TMP and TEMP of this process, and so of the program started next, at a folder.
class TemporaryFolderOverride {
 public:
  explicit TemporaryFolderOverride(const std::string& folder) {
    Save("TMP", &tmp_);
    Save("TEMP", &temp_);
    SetEnvironmentVariableA("TMP", folder.c_str());
    SetEnvironmentVariableA("TEMP", folder.c_str());
  }
  ~TemporaryFolderOverride() {
    SetEnvironmentVariableA("TMP", tmp_ ? tmp_->c_str() : nullptr);
    SetEnvironmentVariableA("TEMP", temp_ ? temp_->c_str() : nullptr);
  }

 private:
  static void Save(const char* name, std::optional<std::string>* saved) {
    char buffer[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableA(name, buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH) *saved = std::string(buffer, length);
  }
  std::optional<std::string> tmp_, temp_;
};

// ---------------------------------------------------------------------------

class Hostile : public ::testing::Test {
 protected:
  void StartProgram() {
    ASSERT_TRUE(program_.Start());
    main_ = program_.WaitForWindow(driver::kMainWindowTitle);
    ASSERT_NE(main_, nullptr);
  }

  HWND MainControl(uint32_t id) {
    HWND control = driver::WaitForControl(main_, id);
    EXPECT_NE(control, nullptr) << std::hex << id;
    return control;
  }

  HWND SettingsControl(uint32_t id) {
    HWND control = driver::WaitForControl(settings_, id);
    EXPECT_NE(control, nullptr) << std::hex << id;
    return control;
  }

  void OpenSettingsWindow() {
    HWND button = MainControl(kSettingsButton);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(driver::PostClick(button));
    settings_ = program_.WaitForWindow(kSettingsTitle);
    ASSERT_NE(settings_, nullptr);
  }

  void OpenSettingsPage(int page) {
    ASSERT_NO_FATAL_FAILURE(OpenSettingsWindow());
    HWND tab = SettingsControl(kSettingsTab);
    ASSERT_NE(tab, nullptr);
    ASSERT_TRUE(driver::SelectTab(tab, page));
  }

  // Posts a click on a button whose handler ends in a message box, then
  // reads and answers the box.
  driver::MessageBoxContent PressAndAnswer(HWND button, driver::Millis timeout = 30000) {
    driver::MessageBoxContent content;
    EXPECT_TRUE(driver::PostClick(button));
    HWND box = program_.WaitForMessageBox(timeout);
    EXPECT_NE(box, nullptr) << "no message box";
    if (!box) return content;
    content = driver::ReadMessageBox(box);
    EXPECT_TRUE(driver::AnswerMessageBox(box));
    return content;
  }

  // The settings window still handles input: a page switch runs its handler.
  void ExpectSettingsWindowResponsive() {
    ASSERT_TRUE(program_.IsRunning());
    EXPECT_TRUE(Answers(settings_));
    HWND tab = SettingsControl(kSettingsTab);
    const int page = driver::CurrentTab(tab);
    EXPECT_TRUE(driver::SelectTab(tab, page == 0 ? 1 : 0));
    EXPECT_TRUE(driver::SelectTab(tab, page));
    EXPECT_TRUE(program_.NoMessageBoxWithin(100));
  }

  // Closes the windows as a user would; the program must then end by itself.
  void CloseAndExpectCleanEnd() {
    if (settings_ && IsWindow(settings_)) {
      ASSERT_TRUE(driver::PostClose(settings_));
      ASSERT_TRUE(driver::WaitForWindowGone(settings_));
      ASSERT_TRUE(driver::WaitForEnabled(main_, true));
    }
    ASSERT_TRUE(driver::PostClose(main_));
    ExpectCleanEnd();
  }

  // Ended promptly with code 0: no crash, no crash handler, nothing of ours left.
  void ExpectCleanEnd() {
    ASSERT_TRUE(program_.WaitForExit()) << "the program is still running";
    EXPECT_EQ(program_.ExitCode(), 0u) << std::hex << program_.ExitCode();
    EXPECT_EQ(CountProcesses("lumeno.exe"), 0);
    EXPECT_EQ(CountProcesses("winedbg.exe"), 0) << "a crash handler was started";
  }

  driver::Program program_;
  HWND main_ = nullptr;
  HWND settings_ = nullptr;
};

// ---------------------------------------------------------------------------
// Relocation targets

// "C:\" and 48-letter folder names up to 400 bytes, ending in a letter.
std::string FourHundredByteTarget() {
  std::string target = "C:\\";
  for (char letter = 'a'; target.size() < 400; ++letter) target += std::string(48, letter) + "\\";
  target.resize(400);
  return target;
}

std::string DesktopCopyLine(const std::string& desktop_name, const std::string& target) {
  return "cmd /cxcopy C:\\Docume~1\\%USERNAME%\\" + desktop_name + "\\*.* " + target + "\\Desktop\\ /e /y ";
}

class Relocation : public Hostile {
 protected:
  // Relocates the Desktop to target, copies recorded by a cmd stand-in, and
  // returns the closing box.
  driver::MessageBoxContent RelocateDesktopTo(const std::string& target) {
    EXPECT_TRUE(driver::InstallStandIn("cmd"));
    StartProgram();
    OpenSettingsPage(kRelocationPage);
    HWND edit = SettingsControl(kTargetEditBox);
    EXPECT_TRUE(driver::SetText(edit, target));
    EXPECT_EQ(driver::GetText(edit), target) << "the edit box did not take the whole target";
    EXPECT_TRUE(driver::SetChecked(SettingsControl(kDesktopBox), true));
    const driver::MessageBoxContent box = PressAndAnswer(SettingsControl(kRelocateButton));
    EXPECT_EQ(box.title, kDefaultTitle);
    EXPECT_TRUE(box.has_icon);
    return box;
  }

  void ExpectDesktopRelocatedTo(const std::string& target) {
    const std::vector<driver::RecordedRun> copies = driver::ReadStandInRuns("cmd");
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[0].command_line, DesktopCopyLine(kChineseDesktop, target));
    EXPECT_EQ(copies[1].command_line, DesktopCopyLine("Desktop", target));

    const std::string stored = StoredText(target + "\\Desktop");
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kShellFolders, "Desktop"), stored);
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kUserShellFolders, "Desktop"), stored);
    EXPECT_EQ(RegistryText(HKEY_USERS, ".DEFAULT\\" + kShellFolders, "Desktop"), stored);
  }
};

// Windows cannot make folders that deep: the target is refused before any
// copy runs or any value changes, and no folder made on the way is left.
TEST_F(Relocation, FourHundredByteTargetIsRefusedAndChangesNothing) {
  const std::string target = FourHundredByteTarget();
  ASSERT_EQ(target.size(), 400u);
  ASSERT_NE(target.back(), '\\');
  const std::string first_level = target.substr(0, target.find('\\', 3));
  const std::string before = RegistryText(HKEY_CURRENT_USER, kShellFolders, "Desktop");

  const driver::MessageBoxContent box = RelocateDesktopTo(target);
  EXPECT_FALSE(Exists(first_level)) << "a folder made on the way was left behind";
  // The reason the system gives for making that folder, asked here the same way.
  for (size_t at = target.find('\\', 3); at != std::string::npos; at = target.find('\\', at + 1))
    CreateDirectoryA(target.substr(0, at).c_str(), nullptr);
  ASSERT_FALSE(CreateDirectoryA(target.c_str(), nullptr));
  const std::string reason = driver::SystemText(GetLastError());
  EXPECT_EQ(box.text, "无法使用转移目标“" + target + "”：" + reason + "\r\n未做任何更改。");
  EXPECT_TRUE(driver::ReadStandInRuns("cmd").empty());
  EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kShellFolders, "Desktop"), before);
  ExpectSettingsWindowResponsive();
  CloseAndExpectCleanEnd();
}

TEST_F(Relocation, DoubleByteTargetKeepsItsLastCharacterWhoseSecondByteIsABackslash) {
  // C:\资料乗誠: 乗 is 81 5C and 誠 is D5 5C. Only a trailing backslash
  // character is taken off a target; cutting the last byte here would halve 誠.
  const std::string target = "C:\\\xD7\xCA\xC1\xCF\x81\x5C\xD5\x5C";
  ASSERT_FALSE(Exists(target));

  EXPECT_EQ(RelocateDesktopTo(target).text, kRelocatedText);
  EXPECT_TRUE(Exists(target + "\\Desktop")) << "the target was made whole";
  ExpectDesktopRelocatedTo(target);
  ExpectSettingsWindowResponsive();
  CloseAndExpectCleanEnd();
}

// ---------------------------------------------------------------------------
// The system temporary folder

std::string DeepFolder(const std::string& temp) {
  std::string folder = temp + "\\deep";
  for (int level = 1; level <= kDeepLevels; ++level)
    folder += "\\level" + std::to_string(level) + "-" + std::string(kDeepLevelDigits, '0');
  return folder;
}

// Beyond MAX_PATH only the wide functions with the \\?\ prefix reach a file.
std::optional<std::string> ReadDeepFile(const std::string& path) {
  const std::wstring wide = L"\\\\?\\" + std::wstring(path.begin(), path.end());
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes(4096, '\0');
  DWORD read = 0;
  BOOL ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  if (!ok) return std::nullopt;
  bytes.resize(read);
  return bytes;
}

TEST_F(Hostile, TemporaryFolderWithALinkAReadOnlyFileAFileHeldOpenAPathBeyondMaxPathAndForeignNames) {
  const std::string temp = kWork + "\\temp";
  const std::string outside = kWork + "\\outside";
  const std::string link = temp + "\\outside-link";
  const DWORD link_attributes = GetFileAttributesA(link.c_str());
  ASSERT_NE(link_attributes, INVALID_FILE_ATTRIBUTES) << "hostile_test.setup.sh did not make " << link;
  ASSERT_TRUE(link_attributes & FILE_ATTRIBUTE_REPARSE_POINT) << std::hex << link_attributes;
  const std::string deep_file = DeepFolder(temp) + "\\deep-file.txt";
  ASSERT_GT(deep_file.size(), static_cast<size_t>(MAX_PATH));
  ASSERT_EQ(ReadDeepFile(deep_file), kDeepFileBytes) << "hostile_test.setup.sh did not make the deep path";
  const std::wstring wide_temp(temp.begin(), temp.end());
  const std::wstring foreign_names[] = {wide_temp + L"\\smile-\xD83D\xDE00.tmp", wide_temp + L"\\\xD55C\xAD6D\xC5B4.tmp"};
  for (const std::wstring& name : foreign_names)
    ASSERT_NE(GetFileAttributesW(name.c_str()), INVALID_FILE_ATTRIBUTES) << "hostile_test.setup.sh did not make it";

  // The folder the link points to, seen through the link: a walk that
  // follows the link would find all of this.
  ASSERT_TRUE(CreateFolders(outside + "\\inner"));
  ASSERT_TRUE(driver::WriteFileBytes(outside + "\\precious.txt", "precious\r\n"));
  ASSERT_TRUE(SetFileAttributesA((outside + "\\precious.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(driver::WriteFileBytes(outside + "\\inner\\more.txt", "more\r\n"));
  ASSERT_TRUE(driver::WriteFileBytes(outside + "\\desktop.ini", "[.ShellClassInfo]\r\n"));
  ASSERT_EQ(driver::ReadFileBytes(link + "\\inner\\more.txt"), "more\r\n");

  ASSERT_TRUE(driver::WriteFileBytes(temp + "\\read-only.tmp", "r"));
  ASSERT_TRUE(SetFileAttributesA((temp + "\\read-only.tmp").c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(driver::WriteFileBytes(temp + "\\junk.tmp", "j"));
  const std::string held_path = temp + "\\held-open.dat";
  const std::string held_bytes = "held open by another process\r\n";
  ASSERT_TRUE(driver::WriteFileBytes(held_path, held_bytes));
  // Opened here without FILE_SHARE_DELETE, as a program using the file would.
  HANDLE held = CreateFileA(held_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  TemporaryFolderOverride override_temp(temp);
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_TRUE(driver::SetChecked(MainControl(kTemporaryFilesBox), true));
  HWND optimize = MainControl(kOptimizeButton);
  const driver::MessageBoxContent box = PressAndAnswer(optimize);
  EXPECT_EQ(box.text, kOptimizedText);
  EXPECT_EQ(box.title, kOptimizedTitle);
  EXPECT_TRUE(driver::WaitForEnabled(optimize, true));

  // The cleaning ran: ordinary and read-only junk are gone, the folder stays.
  EXPECT_TRUE(Exists(temp));
  EXPECT_FALSE(Exists(temp + "\\junk.tmp"));
  EXPECT_FALSE(Exists(temp + "\\read-only.tmp"));
  // The file in use is skipped, its bytes untouched.
  EXPECT_EQ(driver::ReadFileBytes(held_path), held_bytes);
  CloseHandle(held);
  EXPECT_EQ(driver::ReadFileBytes(held_path), held_bytes);
  // Nothing behind the link was touched.
  EXPECT_EQ(driver::ReadFileBytes(outside + "\\precious.txt"), "precious\r\n");
  EXPECT_EQ(GetFileAttributesA((outside + "\\precious.txt").c_str()) & FILE_ATTRIBUTE_READONLY,
            static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(driver::ReadFileBytes(outside + "\\inner\\more.txt"), "more\r\n");
  EXPECT_EQ(driver::ReadFileBytes(outside + "\\desktop.ini"), "[.ShellClassInfo]\r\n");
  // Deeper than MAX_PATH or named beyond the code page, junk is junk.
  EXPECT_EQ(ReadDeepFile(deep_file), std::nullopt);
  EXPECT_FALSE(Exists(temp + "\\deep"));
  for (const std::wstring& name : foreign_names) EXPECT_EQ(GetFileAttributesW(name.c_str()), INVALID_FILE_ATTRIBUTES);

  // Still answering: a second run over what is left ends the same way.
  EXPECT_TRUE(Answers(main_));
  const driver::MessageBoxContent again = PressAndAnswer(optimize);
  EXPECT_EQ(again.text, kOptimizedText);
  EXPECT_EQ(driver::ReadFileBytes(outside + "\\inner\\more.txt"), "more\r\n");
  ASSERT_TRUE(driver::WaitForEnabled(optimize, true));
  CloseAndExpectCleanEnd();
}

// ---------------------------------------------------------------------------
// No C:\Windows\Temp

class MissingWindowsTemp : public Hostile {
 protected:
  void SetUp() override {
    std::optional<driver::RegistryValue> comspec =
        driver::ReadRegistryValue(HKEY_LOCAL_MACHINE, kSessionEnvironment, "ComSpec");
    if (comspec) saved_comspec_ = comspec->bytes.c_str();
  }
  void TearDown() override {
    if (moved_away_) MoveFileA(kWindowsTempAway.c_str(), kWindowsTemp.c_str());
    if (saved_comspec_) {
      driver::WriteRegistryText(HKEY_LOCAL_MACHINE, kSessionEnvironment, "ComSpec", *saved_comspec_);
      SetEnvironmentVariableA("ComSpec", saved_comspec_->c_str());
    }
  }

  void MoveWindowsTempAway() {
    ASSERT_TRUE(MoveFileA(kWindowsTemp.c_str(), kWindowsTempAway.c_str())) << GetLastError();
    moved_away_ = true;
    ASSERT_FALSE(Exists(kWindowsTemp));
  }

  std::optional<std::string> saved_comspec_;
  bool moved_away_ = false;
};

TEST_F(MissingWindowsTemp, ScriptsThatCannotBeWrittenAreNotRunAndTheCleanupGoesOnAndSaysWhy) {
  // Scripts run by path reach the ComSpec stand-in; the log-deletion lines
  // of the item between the two scripts reach the cmd stand-in.
  ASSERT_TRUE(driver::InstallStandIn("comspec"));
  ASSERT_TRUE(driver::PointComSpecAt("comspec"));
  ASSERT_TRUE(driver::InstallStandIn("cmd"));
  ASSERT_TRUE(Exists(kWindowsTemp));
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_NO_FATAL_FAILURE(OpenSettingsPage(kCleanupPage));
  for (uint32_t box : {kJunkScriptBox, kLogFilesBox, kCookiesScriptBox})
    ASSERT_TRUE(driver::SetChecked(SettingsControl(box), true));
  HWND cleanup = SettingsControl(kCleanupButton);

  // With the folder in place both scripts run: the stand-in sees them.
  EXPECT_EQ(PressAndAnswer(cleanup).text, kCleanedText);
  const std::vector<driver::RecordedRun> scripts = driver::ReadStandInRuns("comspec");
  ASSERT_EQ(scripts.size(), 2u);
  EXPECT_NE(scripts[0].command_line.find("C:\\Windows\\Temp\\QingLi.cmd"), std::string::npos);
  EXPECT_NE(scripts[1].command_line.find("C:\\Windows\\Temp\\DelCookies.cmd"), std::string::npos);
  EXPECT_EQ(driver::ReadStandInRuns("cmd").size(), 3u);

  ASSERT_NO_FATAL_FAILURE(MoveWindowsTempAway());
  ASSERT_TRUE(driver::InstallStandIn("comspec"));  // clean logs
  ASSERT_TRUE(driver::InstallStandIn("cmd"));
  const driver::MessageBoxContent box = PressAndAnswer(cleanup);
  // Why such a script cannot be made, asked of the system the same way.
  const std::string junk_script = kWindowsTemp + "\\QingLi.cmd";
  const std::string cookies_script = kWindowsTemp + "\\DelCookies.cmd";
  HANDLE file = CreateFileA(junk_script.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_EQ(file, INVALID_HANDLE_VALUE);
  const std::string reason = driver::SystemText(GetLastError());
  EXPECT_EQ(box.text, "系统清理完成，但有 2 项未能执行：\r\n" + junk_script + "：" + reason + "\r\n" + cookies_script +
                          "：" + reason);
  EXPECT_EQ(box.title, kDefaultTitle);
  EXPECT_TRUE(box.has_icon);
  const std::vector<driver::RecordedRun> unwritten = driver::ReadStandInRuns("comspec");
  EXPECT_TRUE(unwritten.empty()) << unwritten.front().command_line;
  EXPECT_TRUE(driver::ReadCapturedScripts("comspec").empty());
  EXPECT_FALSE(Exists(kWindowsTemp + "\\QingLi.cmd"));
  EXPECT_FALSE(Exists(kWindowsTemp + "\\DelCookies.cmd"));
  // The item between the two scripts still ran all its lines.
  const std::vector<driver::RecordedRun> log_lines = driver::ReadStandInRuns("cmd");
  ASSERT_EQ(log_lines.size(), 3u);
  EXPECT_EQ(log_lines[0].command_line, "cmd /c del /f /s /q %systemdrive%\\*.log");
  EXPECT_EQ(log_lines[2].command_line, "cmd /c del /f /s /q %windir%\\*.log");

  ExpectSettingsWindowResponsive();
  CloseAndExpectCleanEnd();
}

// ---------------------------------------------------------------------------
// A phone book of random bytes

class RandomPhonebook : public Hostile, public ::testing::WithParamInterface<bool> {};

TEST_P(RandomPhonebook, KeepsEveryByteAndAddsTheEntry) {
  const bool with_nul_bytes = GetParam();
  const std::string random = RandomBytes(64 * 1024, with_nul_bytes ? 8 : 936, with_nul_bytes);
  ASSERT_TRUE(CreateFolders(kPhonebookFolder));
  ASSERT_TRUE(CreateFolders(kAllUsersDesktop));
  ASSERT_TRUE(driver::WriteFileBytes(kPhonebook, random));
  ASSERT_TRUE(driver::InstallStandIn("sc"));
  ASSERT_TRUE(driver::InstallStandIn("net"));
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_NO_FATAL_FAILURE(OpenSettingsPage(kToolsPage));
  HWND broadband = SettingsControl(kBroadbandButton);

  const driver::MessageBoxContent box = PressAndAnswer(broadband);
  EXPECT_EQ(box.text, kBroadbandText);
  EXPECT_EQ(box.title, kBroadbandTitle);
  const std::string phonebook = driver::ReadFileBytes(kPhonebook).value_or("(missing)");
  EXPECT_NE(phonebook.find(random), std::string::npos) << "the random bytes were not kept whole";
  EXPECT_NE(phonebook.find(BroadbandSection()), std::string::npos) << "the entry is missing";
  // Nothing else came in: at most a line break or two between them.
  EXPECT_LE(phonebook.size(), random.size() + broadband_expected::Phonebook().size() + 4);

  // A second press leaves the same file: the entry is not added twice.
  EXPECT_EQ(PressAndAnswer(broadband).text, kBroadbandText);
  EXPECT_EQ(driver::ReadFileBytes(kPhonebook), phonebook);
  EXPECT_EQ(driver::ReadStandInRuns("sc").size(), 2u);
  EXPECT_EQ(driver::ReadStandInRuns("net").size(), 2u);

  ExpectSettingsWindowResponsive();
  CloseAndExpectCleanEnd();
}

INSTANTIATE_TEST_SUITE_P(Content, RandomPhonebook, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "AnyBytes" : "NoNulBytes");
                         });

// ---------------------------------------------------------------------------
// Closing while work is under way

TEST_F(Hostile, ClosingWhileTheWorkerShowsItsBoxAndTrimmingPassesRunEndsWithCodeZero) {
  const std::string temp = kWork + "\\quiet-temp";
  ASSERT_TRUE(CreateFolders(temp));
  ASSERT_TRUE(driver::WriteFileBytes(temp + "\\junk.tmp", "j"));
  TemporaryFolderOverride override_temp(temp);
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_TRUE(driver::SetChecked(MainControl(kTemporaryFilesBox), true));

  // The worker reaches its box and waits there for the user.
  HWND optimize = MainControl(kOptimizeButton);
  ASSERT_TRUE(driver::PostClick(optimize));
  HWND box = program_.WaitForMessageBox(30000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(driver::ReadMessageBox(box).text, kOptimizedText);
  EXPECT_FALSE(driver::IsEnabled(optimize)) << "the worker should still be running";

  // The settings window switches memory optimisation on; its timer starts a
  // trimming pass every 3.5 s. Passes leave no trace that can be seen from
  // outside, so the test gives them time for two.
  const DWORD opened = GetTickCount();
  ASSERT_NO_FATAL_FAILURE(OpenSettingsWindow());
  EXPECT_TRUE(driver::IsChecked(SettingsControl(kMemorySwitch)));
  EXPECT_TRUE(driver::WaitForText(SettingsControl(kMemoryStateLabel), kMemoryOnText));
  EXPECT_FALSE(driver::IsEnabled(main_)) << "the settings window is modal";
  while (GetTickCount() - opened < 8000) {
    ASSERT_TRUE(program_.IsRunning());
    Sleep(100);
  }
  ASSERT_TRUE(Answers(settings_));
  ASSERT_TRUE(IsWindow(box)) << "the worker's box went away by itself";

  // The main window is disabled, but a close posted to it still arrives.
  ASSERT_TRUE(driver::PostClose(main_));
  ExpectCleanEnd();
}

TEST_F(Hostile, EscapeWhileTheWorkerCleansALargeTemporaryFolderEndsWithCodeZero) {
  constexpr int kFolders = 40;
  constexpr int kFilesPerFolder = 60;
  const std::string temp = kWork + "\\slow-temp";
  const std::string neighbour = kWork + "\\slow-temp-neighbour.txt";
  auto folder = [&](int i) { return temp + "\\folder" + std::to_string(i); };
  for (int i = 0; i < kFolders; ++i) {
    ASSERT_TRUE(CreateFolders(folder(i)));
    for (int j = 0; j < kFilesPerFolder; ++j)
      ASSERT_TRUE(driver::WriteFileBytes(folder(i) + "\\file" + std::to_string(j) + ".tmp", "x"));
  }
  ASSERT_TRUE(driver::WriteFileBytes(neighbour, "neighbour\r\n"));
  auto folders_left = [&] {
    int left = 0;
    for (int i = 0; i < kFolders; ++i) left += Exists(folder(i)) ? 1 : 0;
    return left;
  };

  TemporaryFolderOverride override_temp(temp);
  ASSERT_NO_FATAL_FAILURE(StartProgram());
  ASSERT_TRUE(driver::SetChecked(MainControl(kTemporaryFilesBox), true));
  ASSERT_TRUE(driver::PostClick(MainControl(kOptimizeButton)));
  // Escape once the worker is well into the tree.
  ASSERT_TRUE(driver::WaitUntil([&] { return folders_left() < kFolders; }, 30000));
  ASSERT_TRUE(driver::PressEscape(main_));
  ExpectCleanEnd();

  EXPECT_GT(folders_left(), 0) << "the cleaning finished before the close; the folder is too small for this test";
  EXPECT_TRUE(Exists(temp));
  EXPECT_EQ(driver::ReadFileBytes(neighbour), "neighbour\r\n");
}

}  // namespace
