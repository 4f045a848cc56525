// The platform operations the commands judge their steps with, against the
// real system: exit codes and start errors, the last error of a failed
// operation, the system's error texts, service, share, registry and folder
// queries, and replacing a file whole. Effects are read back with the
// system's own calls, never through the code under test.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/windows_support.h"

namespace lumeno {
namespace {

using support::ReadWholeFile;
using support::TestDirectory;
using support::WriteWholeFile;

// The names in a folder, "." and ".." left out.
std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = entry.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return names;
}

TEST(RunCommandLine, ReportsTheExitCodeOrWhyNothingStarted) {
  struct Case {
    std::string line;
    bool wait;
    bool started;
    uint32_t exit_code;
    uint32_t error;
  };
  const Case cases[] = {
      {"cmd /c exit 0", true, true, 0, 0},
      {"cmd /c exit 7", true, true, 7, 0},
      {"cmd /c exit 1060", true, true, 1060, 0},
      {"cmd /c exit 7", false, true, 0, 0},  // not waited for: no exit code is read
      {"lumeno-no-such-program.exe", true, false, 0, ERROR_FILE_NOT_FOUND},
  };
  for (const Case& c : cases) {
    const RunResult result = RunCommandLine(c.line, c.wait, kHiddenWindowMode);
    EXPECT_EQ(result.started, c.started) << c.line;
    EXPECT_EQ(static_cast<bool>(result), c.started) << c.line;
    EXPECT_EQ(result.exit_code, c.exit_code) << c.line;
    EXPECT_EQ(result.error, c.error) << c.line;
  }
}

TEST(LastError, NamesWhyAFileOperationFailed) {
  const std::string dir = TestDirectory();
  const std::string missing_folder = dir + "\\no-such-folder\\file.txt";
  std::string bytes;
  struct Case {
    const char* name;
    bool failed;
    DWORD error;
  };
  // Each operation fails, and LastError is asked at once, as the commands do.
  bool failed = !WriteBytesToFile(missing_folder, {"x"});
  Case write{"write into a missing folder", failed, LastError()};
  failed = !ReadBytesFromFile(dir + "\\no-such-file.txt", &bytes);
  Case read{"read a missing file", failed, LastError()};
  failed = !CreateFolder(dir);
  Case folder{"make a folder that exists", failed, LastError()};
  failed = !WriteFreshFile(missing_folder, "x");
  Case fresh{"fresh file in a missing folder", failed, LastError()};
  failed = !ReplaceFileBytes(missing_folder, {"x"});
  Case replace{"replace in a missing folder", failed, LastError()};
  const DWORD expected[] = {ERROR_PATH_NOT_FOUND, ERROR_FILE_NOT_FOUND, ERROR_ALREADY_EXISTS, ERROR_PATH_NOT_FOUND};
  const Case cases[] = {write, read, folder, fresh};
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_TRUE(cases[i].failed) << cases[i].name;
    EXPECT_EQ(cases[i].error, expected[i]) << cases[i].name;
  }
  EXPECT_TRUE(replace.failed);
  EXPECT_NE(replace.error, 0u) << "a failed replacement says why";
}

// The registry returns its code instead of setting the thread's last error;
// the write must pass on the same code the registry gives for that key.
TEST(LastError, NamesWhyARegistryWriteFailed) {
  const std::string long_name(300, 'k');  // longer than a key name may be
  HKEY key = nullptr;
  const LONG direct = RegCreateKeyA(HKEY_CURRENT_USER, ("Software\\" + long_name).c_str(), &key);
  if (direct == ERROR_SUCCESS) {
    RegCloseKey(key);
    GTEST_SKIP() << "this registry accepts over-long key names";
  }
  SetLastError(0);
  EXPECT_FALSE(WriteRegistryItem(kRootCurrentUser, "Software\\" + long_name + "\\value", Text("x")));
  EXPECT_EQ(LastError(), static_cast<uint32_t>(direct));
}

TEST(SystemErrorText, GivesTheSystemsTextTrimmedOrTheNumber) {
  for (uint32_t code : {2u, 3u, 5u, 32u, 183u, 1060u}) {
    const Text text = SystemErrorText(code);
    ASSERT_FALSE(text.empty()) << code;
    EXPECT_NE(text.back(), '\n') << code;
    EXPECT_NE(text.back(), '\r') << code;
    EXPECT_NE(text.back(), ' ') << code;
  }
  EXPECT_NE(SystemErrorText(2), SystemErrorText(3));
  EXPECT_EQ(SystemErrorText(0x2A5F3u), "错误代码 0x0002A5F3");
}

TEST(QueryServiceState, FollowsThePrintSpoolerAndKnowsMissingServices) {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  ASSERT_NE(manager, nullptr);
  SC_HANDLE spooler = OpenServiceA(manager, "spooler", SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS);
  ASSERT_NE(spooler, nullptr);
  SERVICE_STATUS status{};
  auto wait_for = [&](DWORD state) {
    return support::WaitUntil([&] { return QueryServiceStatus(spooler, &status) && status.dwCurrentState == state; },
                              30000);
  };
  StartServiceA(spooler, 0, nullptr);
  ASSERT_TRUE(wait_for(SERVICE_RUNNING));
  EXPECT_EQ(QueryServiceState("spooler"), ServiceState::kRunning);
  ControlService(spooler, SERVICE_CONTROL_STOP, &status);
  ASSERT_TRUE(wait_for(SERVICE_STOPPED));
  EXPECT_EQ(QueryServiceState("spooler"), ServiceState::kStopped);
  CloseServiceHandle(spooler);
  CloseServiceHandle(manager);
  EXPECT_EQ(QueryServiceState("LumenoNoSuchService"), ServiceState::kNotInstalled);
}

TEST(ReplaceFileBytes, ReplacesWholeOrLeavesTheOldBytes) {
  const std::string folder = TestDirectory() + "\\replace";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string path = folder + "\\book.pbk";
  WriteWholeFile(path, "old bytes, longer than the new ones");

  ASSERT_TRUE(ReplaceFileBytes(path, {"new ", "", "bytes"}));
  EXPECT_EQ(ReadWholeFile(path), "new bytes");
  EXPECT_EQ(FolderEntries(folder), (std::vector<std::string>{"book.pbk"}));

  struct Case {
    const char* name;
    DWORD access, sharing;  // how another program holds the file; 0: not held
    DWORD attributes;
  };
  const Case cases[] = {
      {"held open for reading without delete sharing", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
       FILE_ATTRIBUTE_NORMAL},
      {"held open for writing", GENERIC_WRITE, FILE_SHARE_READ, FILE_ATTRIBUTE_NORMAL},
      {"read-only", 0, 0, FILE_ATTRIBUTE_READONLY},
  };
  for (const Case& c : cases) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteWholeFile(path, "the user's bytes");
    SetFileAttributesA(path.c_str(), c.attributes);
    HANDLE held = c.access ? CreateFileA(path.c_str(), c.access, c.sharing, nullptr, OPEN_EXISTING, 0, nullptr)
                           : INVALID_HANDLE_VALUE;
    ASSERT_TRUE(!c.access || held != INVALID_HANDLE_VALUE) << c.name;
    EXPECT_FALSE(ReplaceFileBytes(path, {"replacement"})) << c.name;
    EXPECT_NE(LastError(), 0u) << c.name;
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    EXPECT_EQ(ReadWholeFile(path), "the user's bytes") << c.name;
    EXPECT_EQ(FolderEntries(folder), (std::vector<std::string>{"book.pbk"})) << c.name << ": a new file was left";
  }
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(SystemQueries, FoldersEnvironmentRegistryAndShares) {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string file = TestDirectory() + "\\a-file.txt";
  WriteWholeFile(file, "x");
  EXPECT_TRUE(FolderExists(windows));
  EXPECT_TRUE(FolderExists("C:\\"));
  EXPECT_FALSE(FolderExists(file));
  EXPECT_FALSE(FolderExists(TestDirectory() + "\\no-such-folder"));

  char value[MAX_PATH] = {};
  GetEnvironmentVariableA("WINDIR", value, MAX_PATH);
  EXPECT_EQ(ExpandEnvironment("%WINDIR%\\x"), std::string(value) + "\\x");
  EXPECT_EQ(ExpandEnvironment("%LUMENO_UNDEFINED_NAME%\\x"), "%LUMENO_UNDEFINED_NAME%\\x");
  EXPECT_EQ(ExpandEnvironment("D:\\Tom & Jerry"), "D:\\Tom & Jerry");

  const char* key_path = "Software\\LumenoQueryTest";
  RegDeleteKeyA(HKEY_CURRENT_USER, key_path);
  EXPECT_EQ(QueryRegistryKey(kRootCurrentUser, key_path), Presence::kAbsent);
  EXPECT_EQ(QueryRegistryValue(kRootCurrentUser, key_path, "v"), Presence::kAbsent);
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, key_path, &key), ERROR_SUCCESS);
  EXPECT_EQ(QueryRegistryKey(kRootCurrentUser, key_path), Presence::kPresent);
  EXPECT_EQ(QueryRegistryValue(kRootCurrentUser, key_path, "v"), Presence::kAbsent);
  RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("a long enough text"), 19);
  RegCloseKey(key);
  EXPECT_EQ(QueryRegistryValue(kRootCurrentUser, key_path, "v"), Presence::kPresent);
  RegDeleteKeyA(HKEY_CURRENT_USER, key_path);

  // Windows has C$ while its Server service runs; Wine has no shares at all.
  // Either way the system answers: the library loads and the status maps.
  EXPECT_NE(QueryNetworkShare("C$"), Presence::kUnknown);
  EXPECT_NE(QueryNetworkShare("lumeno-no-such-share"), Presence::kPresent);
}

}  // namespace
}  // namespace lumeno
