// Unattended mode when something is wrong: a preset with a typo, a user
// without administrator rights. Nothing may change, and the log, the console
// and the exit code must say why. And a preset as any editor saves it, and
// six runs at once on one log.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/platform_rules.h"
#include "unattended_e2e.h"

namespace {

using namespace unattended_e2e;

const char kProgramLog[] = "C:\\Lumeno\\lumeno.log";

// Starts the program in directory with its output redirected to a file, as
// "lumeno.exe ... > file" in cmd would, and returns that output.
struct RedirectedRun {
  ApplyRun run;
  std::string output;
  std::string failure;  // why the program could not be started
};

RedirectedRun RunRedirected(const std::string& arguments, const std::string& directory, HANDLE token = nullptr) {
  RedirectedRun result;
  const std::string output_path = std::string(kTestDirectory) + "\\console.txt";
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  HANDLE output = CreateFileA(output_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (output == INVALID_HANDLE_VALUE) {
    result.failure = "cannot create " + output_path + ", error " + std::to_string(GetLastError());
    return result;
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output;
  startup.hStdError = output;
  PROCESS_INFORMATION process = {};
  std::string command_line = std::string(kProgramPath) + " " + arguments;
  // A start that fails for a moment is tried again, as everywhere else.
  const uint32_t error = lumeno::StartWithRetries([&] {
    const BOOL started =
        token ? CreateProcessAsUserA(token, nullptr, command_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                     directory.c_str(), &startup, &process)
              : CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, directory.c_str(),
                               &startup, &process);
    return started ? 0u : static_cast<uint32_t>(GetLastError());
  });
  CloseHandle(output);
  if (error != 0) {
    result.failure = "cannot start the program, error " + std::to_string(error);
    return result;
  }
  result.run.finished = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0;
  GetExitCodeProcess(process.hProcess, &result.run.exit_code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  result.output = ReadFileBytes(output_path).value_or("");
  return result;
}

// The log's lines from the last header on.
std::vector<std::string> LastRun(const std::string& log) {
  std::vector<std::string> lines = LogLines(log);
  size_t header = lines.size();
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].rfind("==== 20", 0) == 0) header = i;
  return std::vector<std::string>(header < lines.size() ? lines.begin() + header : lines.end(), lines.end());
}

class UnattendedErrors : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { WarmUp(); }
  void SetUp() override {
    InstallStandIns();
    DeleteFileA(kProgramLog);
  }
};

TEST_F(UnattendedErrors, APresetWithATypoChangesNothingAndExitsTwo) {
  std::string preset = ReadFileBytes(std::string(kTestDirectory) + "\\网吧.ini").value_or("");
  const std::string caption = "清理、免疫Autorun.inf";
  size_t at = preset.find(caption);
  ASSERT_NE(at, std::string::npos);
  preset.replace(at, caption.size(), "清理、免疫Autorun.ini");
  const std::string line = std::to_string(1 + std::count(preset.begin(), preset.begin() + at, '\n'));
  ASSERT_TRUE(WriteFileBytes(std::string(kTestDirectory) + "\\有错.ini", preset));
  const State before = TakeState();

  // A path relative to the folder the program is started in.
  RedirectedRun result = RunRedirected("/apply 有错.ini", kTestDirectory);
  ASSERT_TRUE(result.run.finished) << result.failure;
  EXPECT_EQ(result.run.exit_code, 2u);
  EXPECT_EQ(Changes(before, TakeState()), std::vector<std::string>{});
  EXPECT_EQ(StandInRuns(), std::vector<std::string>{});

  const std::string log = ReadFileBytes(kProgramLog).value_or("");
  std::vector<std::string> lines = LastRun(log);
  ASSERT_EQ(lines.size(), 4u) << log;
  EXPECT_TRUE(lines[0].ends_with(" C:\\lumeno-test\\有错.ini")) << lines[0];
  EXPECT_EQ(lines[1].rfind("C:\\lumeno-test\\有错.ini 第 " + line + " 行：[清系统] 中没有“清理、免疫Autorun.ini”", 0), 0u)
      << lines[1];
  EXPECT_TRUE(lines[1].ends_with("；是否应为“清理、免疫Autorun.inf”？")) << lines[1];
  EXPECT_EQ(lines[2], "未做任何更改");
  EXPECT_EQ(lines[3], "==== 结束，退出码 2");
  EXPECT_EQ(result.output, log) << "the console shows what the log holds";
}

TEST_F(UnattendedErrors, ABadCommandLineIsAUsageErrorInTheProgramsLog) {
  RedirectedRun result = RunRedirected("/apply 网吧.ini /apply 办公.ini", kTestDirectory);
  ASSERT_TRUE(result.run.finished) << result.failure;
  EXPECT_EQ(result.run.exit_code, 2u);
  std::vector<std::string> lines = LastRun(ReadFileBytes(kProgramLog).value_or(""));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].rfind("“/apply”只能出现一次。用法：lumeno.exe /apply", 0), 0u) << lines[1];
  EXPECT_EQ(StandInRuns(), std::vector<std::string>{});
}

// A token like this process's but with the Administrators group for deny
// only, as a standard user has; nullptr when it cannot be made.
HANDLE TokenWithoutAdministrators() {
  HANDLE own = nullptr, restricted = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &own)) return nullptr;
  SID_IDENTIFIER_AUTHORITY nt_authority = {SECURITY_NT_AUTHORITY};
  PSID administrators = nullptr;
  if (AllocateAndInitializeSid(&nt_authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                               0, &administrators)) {
    SID_AND_ATTRIBUTES disabled = {administrators, 0};
    if (!CreateRestrictedToken(own, 0, 1, &disabled, 0, nullptr, 0, nullptr, &restricted)) restricted = nullptr;
    // Proof that the group no longer counts, before a test relies on it.
    HANDLE impersonation = nullptr;
    BOOL member = TRUE;
    if (restricted && DuplicateToken(restricted, SecurityImpersonation, &impersonation)) {
      if (!CheckTokenMembership(impersonation, administrators, &member)) member = TRUE;
      CloseHandle(impersonation);
    }
    if (restricted && member) {
      CloseHandle(restricted);
      restricted = nullptr;
    }
    FreeSid(administrators);
  }
  CloseHandle(own);
  return restricted;
}

TEST_F(UnattendedErrors, WithoutAdministratorRightsAMachineWidePresetExitsThree) {
  HANDLE token = TokenWithoutAdministrators();
  ASSERT_NE(token, nullptr) << "no token without the Administrators group";
  const State before = TakeState();
  RedirectedRun result = RunRedirected("/apply 网吧.ini", kTestDirectory, token);
  CloseHandle(token);
  ASSERT_TRUE(result.run.finished) << result.failure;
  EXPECT_EQ(result.run.exit_code, 3u);
  EXPECT_EQ(Changes(before, TakeState()), std::vector<std::string>{});
  EXPECT_EQ(StandInRuns(), std::vector<std::string>{});
  std::vector<std::string> lines = LastRun(ReadFileBytes(kProgramLog).value_or(""));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "需要管理员权限：预设中的 [优化] [服务快速优化] [清系统] [分辨率] 会更改整台计算机的设置。未做任何更改");
  EXPECT_EQ(lines[2], "==== 结束，退出码 3");
}

// A step that fails (one sc line of the profile) makes the section's report a
// failure list instead of the success box: the run ends with 1 and the log
// names what failed, while the other lines still ran.
TEST_F(UnattendedErrors, AFailingStepGivesExitOneAndTheFailureInTheLog) {
  ASSERT_TRUE(InstallFailingStandIn("sc", "ose start="));
  const std::string preset = std::string(kTestDirectory) + "\\失败.ini";
  ASSERT_TRUE(WriteFileBytes(preset, "[服务快速优化]\r\n方案=网吧模式\r\n"));
  ApplyRun run = RunApply("/apply " + preset);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exit_code, 1u);
  EXPECT_EQ(ReadStandInRuns("sc").size(), 82u);
  std::vector<std::string> lines = LastRun(ReadFileBytes(kProgramLog).value_or(""));
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[1].rfind("[服务快速优化] ", 0), 0u) << lines[1];
  EXPECT_NE(lines[1].find("但有 1 项未能执行"), std::string::npos) << lines[1];
  bool named = false;
  for (size_t i = 2; i + 1 < lines.size(); ++i)
    named |= lines[i].rfind("    ", 0) == 0 && lines[i].find("ose") != std::string::npos;
  EXPECT_TRUE(named) << "no log line names the failing command";
  EXPECT_EQ(lines.back(), "==== 结束，退出码 1");
}

// How many restore files the program folder holds.
size_t RestoreFileCount() {
  size_t count = 0;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA("C:\\Lumeno\\备份\\*.reg", &entry);
  if (search == INVALID_HANDLE_VALUE) return 0;
  do ++count;
  while (FindNextFileA(search, &entry));
  FindClose(search);
  return count;
}

// The example presets run at every logon: a second run of tweaks that are in
// place already writes no restore file and says it changed nothing.
TEST_F(UnattendedErrors, ASecondRunOfTheSameTweaksChangesNothingAndWritesNoRestoreFile) {
  const std::string preset = std::string(kTestDirectory) + "\\再次.ini";
  ASSERT_TRUE(WriteFileBytes(preset, "[优化]\r\nXP开关机加速=1\r\n加快菜单显示速度=1\r\n禁用搜索助手=1\r\n"
                                     "加快启动速度=1\r\n"));
  const size_t files_before = RestoreFileCount();
  ApplyRun first = RunApply("/apply " + preset);
  ASSERT_TRUE(first.finished);
  EXPECT_EQ(first.exit_code, 0u);
  EXPECT_EQ(RestoreFileCount(), files_before + 1);
  std::vector<std::string> lines = LastRun(ReadFileBytes(kProgramLog).value_or(""));
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[1].find("（已更改 0 项"), std::string::npos) << lines[1];

  ApplyRun second = RunApply("/apply " + preset);
  ASSERT_TRUE(second.finished);
  EXPECT_EQ(second.exit_code, 0u);
  EXPECT_EQ(RestoreFileCount(), files_before + 1) << "the second run wrote a restore file";
  lines = LastRun(ReadFileBytes(kProgramLog).value_or(""));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].rfind("[优化] 恭喜您，你选择的优化项目已完成！（已更改 0 项，无需更改 ", 0), 0u) << lines[1];
}

// A relocation target on a drive that is not there is found before the first
// step of the first section: exit 2, nothing changed, no restore file, for
// /apply and /preview alike.
TEST_F(UnattendedErrors, AMissingTargetDriveExitsTwoBeforeAnythingChanges) {
  const std::string preset = std::string(kTestDirectory) + "\\无处.ini";
  ASSERT_TRUE(WriteFileBytes(preset, "[优化]\r\n加快菜单显示速度=1\r\n[服务快速优化]\r\n方案=网吧模式\r\n"
                                     "[转资料]\r\n目标=Q:\\Nowhere\r\n桌面=1\r\n"));
  for (const char* preview : {"", " /preview"}) {
    const State before = TakeState();
    const size_t files_before = RestoreFileCount();
    ApplyRun run = RunApply("/apply " + preset + preview);
    ASSERT_TRUE(run.finished) << preview;
    EXPECT_EQ(run.exit_code, 2u) << preview;
    EXPECT_EQ(Changes(before, TakeState()), std::vector<std::string>{}) << preview;
    EXPECT_EQ(StandInRuns(), std::vector<std::string>{}) << preview;
    EXPECT_EQ(RestoreFileCount(), files_before) << preview;
    std::vector<std::string> lines = LastRun(ReadFileBytes(kProgramLog).value_or(""));
    ASSERT_GE(lines.size(), 3u) << preview;
    EXPECT_EQ(lines[1], "[转资料] 转移目标“Q:\\Nowhere”所在的驱动器或共享“Q:\\”不存在。") << preview;
    EXPECT_EQ(lines.back(), "==== 结束，退出码 2") << preview;
  }
}

// The GBK text in another code page (CP_UTF8), or as UTF-16 LE bytes (0).
std::string Reencoded(const std::string& gbk, UINT code_page) {
  std::wstring wide(gbk.size(), L'\0');
  wide.resize(MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), wide.data(),
                                  static_cast<int>(wide.size())));
  if (code_page == 0) return std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
  std::string out(wide.size() * 4, '\0');
  out.resize(WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), out.data(),
                                 static_cast<int>(out.size()), nullptr, nullptr));
  return out;
}

// What a relocation changes: the shell folders of the user and of new users,
// and the folders made under root. Far quicker to take than TakeState.
State RelocationState(const std::string& root) {
  State state;
  const std::string explorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
  AddKey(HKEY_CURRENT_USER, "HKCU", explorer, state);
  AddKey(HKEY_USERS, "HKU", ".DEFAULT\\" + explorer, state);
  AddFolder(root, state);
  return state;
}

// Notepad of Windows 10 and later saves UTF-8; older editors GBK, with LF
// when they come from elsewhere. Captions and a Chinese target must arrive
// the same: the same changes, down to the registry values naming the target.
TEST_F(UnattendedErrors, APresetInEveryEncodingAnEditorSavesChangesTheSame) {
  const std::string root = "C:\\资料", target = root + "\\个人";
  const std::string gbk = "; 资料放在中文文件夹\r\n[转资料]\r\n目标=" + target + "\r\n我的文档=1\r\n收藏夹=1\r\n";
  std::string lf = gbk;
  for (size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
  const std::pair<const char*, std::string> files[] = {
      {"GBK CR LF", gbk},
      {"GBK LF", lf},
      {"UTF-8", Reencoded(gbk, CP_UTF8)},
      {"UTF-8 with a mark", "\xEF\xBB\xBF" + Reencoded(gbk, CP_UTF8)},
      {"UTF-16 LE with a mark", "\xFF\xFE" + Reencoded(gbk, 0)},
  };
  ASSERT_NE(files[2].second, gbk);
  const std::string preset = std::string(kTestDirectory) + "\\编码.ini";
  const State before = RelocationState(root);
  std::vector<std::string> first;
  for (const auto& [encoding, bytes] : files) {
    InstallStandIns();
    ASSERT_TRUE(WriteFileBytes(preset, bytes)) << encoding;
    ApplyRun run = RunApply("/apply " + preset);
    ASSERT_TRUE(run.finished) << encoding;
    EXPECT_EQ(run.exit_code, 0u) << encoding;
    const State after = RelocationState(root);
    std::vector<std::string> effects = Effects(before, after);
    effects.push_back(std::to_string(StandInRuns().size()) + " command lines");
    Restore(before, after);
    RemoveDirectoryA(root.c_str());
    if (first.empty()) {
      first = effects;
      const bool names_target = std::any_of(effects.begin(), effects.end(), [&](const std::string& e) {
        return e.find("User Shell Folders\\:Personal = ") != std::string::npos &&
               e.find(target + "\\") != std::string::npos;
      });
      EXPECT_TRUE(names_target) << "no registry value names the target";
    } else {
      EXPECT_EQ(Mismatches(first, effects), std::vector<std::string>{}) << encoding;
    }
  }
}

// A room of PCs: six runs at once on one machine, all logging into one file.
// Each line is appended whole under the file's lock, so the log holds six
// complete runs; each restore file is created anew under a name of its own,
// even when runs share the second, so every one is whole.
TEST_F(UnattendedErrors, SixRunsAtOnceOnOneLogLeaveSixCompleteRunsAndWholeRestoreFiles) {
  constexpr int kRuns = 6;
  const std::string log_path = std::string(kTestDirectory) + "\\机房.log";
  DeleteFileA(log_path.c_str());
  // Runs that find the menu delay already changed by another write no
  // restore file for it; the context-menu lines go to the stand-ins, so each
  // run finds the handler to add still missing and backs it up.
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, "Control Panel\\Desktop", "MenuShowDelay", "400"));
  SHDeleteKeyA(HKEY_CLASSES_ROOT, "Directory\\Background\\shellex\\ContextMenuHandlers");
  std::vector<std::string> presets;
  for (int i = 1; i <= kRuns; ++i) {
    presets.push_back(std::string(kTestDirectory) + "\\机房" + std::to_string(i) + ".ini");
    ASSERT_TRUE(WriteFileBytes(presets.back(), "[优化]\r\n加快菜单显示速度=1\r\n[清系统]\r\n清除多余右键菜单=1\r\n"));
  }
  const size_t files_before = RestoreFileCount();

  // A seventh writer holds the lock while the six start: none may write a
  // line, nor change anything before its first line is in the log. Letting
  // go then makes all six contend for the lock from their first line on.
  HANDLE holder = CreateFileA(log_path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  OVERLAPPED whole_file = {};
  ASSERT_TRUE(LockFileEx(holder, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole_file));
  Program programs[kRuns];
  HANDLE processes[kRuns];
  for (int i = 0; i < kRuns; ++i) {
    EXPECT_TRUE(programs[i].Start(std::string(kProgramPath) + " /apply " + presets[i] + " /log " + log_path)) << i;
    processes[i] = programs[i].Handle();
  }
  Sleep(2000);  // time for the runs to reach their first line; with the lock held, none gets past it
  LARGE_INTEGER size = {};
  EXPECT_TRUE(GetFileSizeEx(holder, &size));
  EXPECT_EQ(size.QuadPart, 0) << "a run wrote to the log while another held its lock";
  EXPECT_EQ(RestoreFileCount(), files_before) << "a run changed something before its first log line";
  UnlockFileEx(holder, 0, MAXDWORD, MAXDWORD, &whole_file);
  CloseHandle(holder);
  for (HANDLE process : processes) ASSERT_NE(process, nullptr);
  // All six must have ended before anything is read.
  ASSERT_EQ(WaitForMultipleObjects(kRuns, processes, TRUE, 240000), WAIT_OBJECT_0) << "a run did not end";
  for (int i = 0; i < kRuns; ++i) EXPECT_EQ(programs[i].ExitCode(), 0u) << presets[i];

  const std::string log = ReadFileBytes(log_path).value_or("");
  const std::string header_tail = " " + ComputerNameText() + " ";
  const std::string backup_folder = "C:\\Lumeno\\备份\\";
  std::vector<std::string> headers, optimize_backups, cleanup_backups;
  int optimize_lines = 0, cleanup_lines = 0, end_lines = 0;
  for (const std::string& line : LogLines(log)) {
    constexpr std::string_view kBackup = "    备份：";
    if (line.rfind("==== 20", 0) == 0 && line.find(header_tail) != std::string::npos) {
      headers.push_back(line.substr(line.rfind(' ') + 1));
    } else if (line == "==== 结束，退出码 0") {
      ++end_lines;
    } else if (line.rfind("[优化] 恭喜您，你选择的优化项目已完成！（已更改 ", 0) == 0 && line.ends_with(" 项）")) {
      ++optimize_lines;
    } else if (line.rfind("[清系统] ", 0) == 0 && line.ends_with(" 项）") && line.find("未能执行") == std::string::npos) {
      ++cleanup_lines;
    } else if (line.rfind(kBackup, 0) == 0 && line.ends_with(".reg")) {
      const std::string path = line.substr(kBackup.size());
      (path.find(" 开始优化") != std::string::npos ? optimize_backups : cleanup_backups).push_back(path);
    } else {
      ADD_FAILURE() << "a line no run writes, torn or mixed: " << line;
    }
  }
  std::sort(headers.begin(), headers.end());
  EXPECT_EQ(headers, presets) << log;
  EXPECT_EQ(end_lines, kRuns) << log;
  EXPECT_EQ(optimize_lines, kRuns) << log;
  EXPECT_EQ(cleanup_lines, kRuns) << log;
  EXPECT_EQ(cleanup_backups.size(), size_t{kRuns}) << log;
  ASSERT_GE(optimize_backups.size(), 1u) << "the first run to write the delay backs it up";

  const auto IsDigit = [](char c) { return c >= '0' && c <= '9'; };
  // Distinct names for distinct files, each "<yyyymmdd-hhmmss> <computer name> <command>[ (n)].reg".
  std::vector<std::string> paths = cleanup_backups;
  paths.insert(paths.end(), optimize_backups.begin(), optimize_backups.end());
  std::sort(paths.begin(), paths.end());
  EXPECT_EQ(std::adjacent_find(paths.begin(), paths.end()), paths.end()) << "two runs named the same restore file";
  EXPECT_EQ(RestoreFileCount(), files_before + paths.size()) << "a restore file the log does not name";
  for (const std::string& path : paths) {
    ASSERT_EQ(path.rfind(backup_folder, 0), 0u) << path;
    const std::string name = path.substr(backup_folder.size());
    EXPECT_TRUE(name.size() > 16 && name[8] == '-' && name[15] == ' ' &&
                std::all_of(name.begin(), name.begin() + 8, IsDigit) &&
                std::all_of(name.begin() + 9, name.begin() + 15, IsDigit))
        << name;
    EXPECT_EQ(name.compare(15, header_tail.size(), header_tail), 0) << name;
  }
  // Whole: every file of one command holds the same bytes, those of the
  // machine as it was before the first run changed anything.
  for (const std::vector<std::string>* files : {&cleanup_backups, &optimize_backups}) {
    const std::string first = ReadFileBytes(files->front()).value_or("");
    EXPECT_EQ(first.rfind("REGEDIT4\r\n", 0), 0u) << files->front();
    EXPECT_TRUE(first.ends_with("\r\n")) << files->front();
    for (const std::string& path : *files) EXPECT_EQ(ReadFileBytes(path).value_or("<missing>"), first) << path;
  }
  EXPECT_NE(ReadFileBytes(optimize_backups.front()).value_or("").find("\"MenuShowDelay\"=\"400\"\r\n"),
            std::string::npos);
}

}  // namespace
