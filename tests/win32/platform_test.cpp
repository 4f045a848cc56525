// The platform operations against the real system: registry, files,
// processes, dialogs and the run-time bound functions. Every effect is read
// back with the system's own calls, never through the code under test.
//
// The test program doubles as its own helper: started with
// "--platform-helper <verb> ...", it does that one thing and exits before
// GoogleTest starts (see RunAsHelperIfAsked at the end).
#include <windows.h>
#include <shlwapi.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/declared_functions.h"
#include "platform/native_window.h"
#include "platform/platform.h"
#include "platform/platform_rules.h"
#include "support/windows_support.h"
#include "support/texts.h"
#include "ui/control_ids.h"
#include "unattended/unattended.h"

namespace lumeno {
namespace {

// ---------------------------------------------------------------------------
// Helpers of the tests themselves

using support::ModulePath;
using support::ReadWholeFile;
using support::TestDirectory;
using support::WriteWholeFile;

std::string InTestDirectory(const std::string& name) { return TestDirectory() + "\\" + name; }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveFile(const std::string& path) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(path.c_str());
}

std::set<std::string> FolderListing(const std::string& folder) {
  std::set<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.insert(found.cFileName);
  while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

// Waits with a generous bound, so that a fault shows as a failure instead of
// a hung test. Not a timing check.
constexpr DWORD kWaitBound = 20000;

// Handles the process holds, counted by the system's handle table
// (GetProcessHandleCount answers 0 under Wine).
long HandleCount(DWORD process_id) {
  using Query = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return -1;
  std::vector<char> buffer(1 << 16);
  for (;;) {
    ULONG needed = 0;
    NTSTATUS status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == static_cast<NTSTATUS>(0xC0000004L)) {  // STATUS_INFO_LENGTH_MISMATCH
      buffer.resize(buffer.size() * 2);
      continue;
    }
    if (status < 0) return -1;
    break;
  }
  auto* info = reinterpret_cast<SYSTEM_HANDLE_INFORMATION*>(buffer.data());
  long count = 0;
  for (ULONG i = 0; i < info->Count; ++i)
    if (info->Handle[i].OwnerPid == process_id) ++count;
  return count;
}

std::vector<DWORD> ProcessesNamed(const char* exe_name) {
  std::vector<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (lstrcmpiA(entry.szExeFile, exe_name) == 0) ids.push_back(entry.th32ProcessID);
  CloseHandle(snapshot);
  return ids;
}

// A copy of this test program under another name, so that its process can be
// told apart. gui = true marks the copy as a GUI program: only those have an
// input-idle state (for a console program WaitForInputIdle fails at once).
std::string CopyOfTestProgram(const std::string& path, bool gui) {
  std::string image = ReadWholeFile(ModulePath());
  if (gui && image.size() > 0x40) {
    DWORD pe = *reinterpret_cast<const DWORD*>(image.data() + 0x3C);
    // Subsystem: optional header (after the 4-byte signature and the 20-byte
    // file header) + 68, in PE32 and PE32+ alike.
    size_t subsystem = pe + 4 + 20 + 68;
    if (subsystem + 2 <= image.size()) {
      image[subsystem] = IMAGE_SUBSYSTEM_WINDOWS_GUI;
      image[subsystem + 1] = 0;
    }
  }
  WriteWholeFile(path, image);
  return path;
}

std::string HelperCommand(const std::string& exe, const std::string& arguments) {
  return "\"" + exe + "\" --platform-helper " + arguments;
}

// Starts a helper directly (not through the code under test).
PROCESS_INFORMATION StartHelper(const std::string& exe, const std::string& arguments) {
  PROCESS_INFORMATION process = {};
  support::StartProcess(HelperCommand(exe, arguments), &process);
  return process;
}

// The visible dialog box ("#32770") of a process: message boxes and the
// folder picker.
HWND WaitForDialogOf(DWORD process_id) {
  HWND found = nullptr;
  support::WaitUntil([&] { return (found = support::FindTopLevel(process_id, "#32770", nullptr)) != nullptr; },
                     kWaitBound, 50);
  return found;
}

std::string WindowText(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ItemText(HWND dialog, int id) {
  char text[1024] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

// GBK bytes of the texts the tests expect, spelled out so that the expected
// side never comes from the code under test.
const std::string kInformationTitle = texts::kDefaultTitle;
const std::string kCannotFindExport =                                 // 无法找到指定DLL库文件中的输出命令“
    "\xCE\xDE\xB7\xA8\xD5\xD2\xB5\xBD\xD6\xB8\xB6\xA8" "DLL" "\xBF\xE2\xCE\xC4\xBC\xFE\xD6\xD0\xB5\xC4\xCA\xE4"
    "\xB3\xF6\xC3\xFC\xC1\xEE\xA1\xB0";
const std::string kCannotFindInLibrary = "\xCE\xDE\xB7\xA8\xD5\xD2\xB5\xBD\xD6\xB8\xB6\xA8" "DLL" "\xBF\xE2\xCE\xC4"
                                         "\xBC\xFE\xA1\xB0";  // 无法找到指定DLL库文件“
const std::string kInsideExportOf = "\xA1\xB1\xD6\xD0\xB5\xC4\xCA\xE4\xB3\xF6\xC3\xFC\xC1\xEE\xA1\xB0";  // ”中的输出命令“
const std::string kCloseQuote = "\xA1\xB1";                                                            // ”
const std::string kFatalHeading = "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!\r\n\r\n";  // 运行时出错!
const std::string kMessageLabel = "\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA";         // 错误信息：

// ---------------------------------------------------------------------------
// Registry

constexpr char kTestKey[] = "Software\\LumenoPlatformTest";

struct RegistryValueRead {
  bool found = false;
  DWORD type = 0;
  std::string data;
};

RegistryValueRead QueryValue(HKEY root, const std::string& key_path, const char* value_name) {
  RegistryValueRead read;
  HKEY key;
  if (RegOpenKeyExA(root, key_path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return read;
  BYTE data[512];
  DWORD size = sizeof data;
  if (RegQueryValueExA(key, value_name, nullptr, &read.type, data, &size) == ERROR_SUCCESS) {
    read.found = true;
    read.data.assign(reinterpret_cast<char*>(data), size);
  }
  RegCloseKey(key);
  return read;
}

std::string DwordBytes(uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { SHDeleteKeyA(HKEY_CURRENT_USER, kTestKey); }
  void TearDown() override { SHDeleteKeyA(HKEY_CURRENT_USER, kTestKey); }
};

TEST_F(RegistryTest, TextsAreStoredAsRegSzWithTheirNul) {
  ASSERT_TRUE(WriteRegistryItem(kRootCurrentUser, "Software\\LumenoPlatformTest\\Hundred", Text("100")));
  ASSERT_TRUE(WriteRegistryItem(kRootCurrentUser, "Software\\LumenoPlatformTest\\Empty", Text("")));

  RegistryValueRead hundred = QueryValue(HKEY_CURRENT_USER, kTestKey, "Hundred");
  ASSERT_TRUE(hundred.found);
  EXPECT_EQ(hundred.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(hundred.data, std::string("100\0", 4));

  RegistryValueRead empty = QueryValue(HKEY_CURRENT_USER, kTestKey, "Empty");
  ASSERT_TRUE(empty.found);
  EXPECT_EQ(empty.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(empty.data, std::string(1, '\0'));
}

TEST_F(RegistryTest, NumbersAreStoredAsDwordsOverwritingAnyOldType) {
  ASSERT_TRUE(WriteRegistryItem(kRootCurrentUser, "Software\\LumenoPlatformTest\\Big", Text("text first")));
  ASSERT_TRUE(WriteRegistryItem(kRootCurrentUser, "Software\\LumenoPlatformTest\\Big", ToNumber("4294967197")));
  ASSERT_TRUE(WriteRegistryItem(kRootCurrentUser, "Software\\LumenoPlatformTest\\One", ToNumber("00000001")));
  ASSERT_TRUE(WriteRegistryItem(kRootCurrentUser, "Software\\LumenoPlatformTest\\Minus", int32_t{-1}));
  ASSERT_TRUE(WriteRegistryItem(kRootCurrentUser, "Software\\LumenoPlatformTest\\Raw",
                                Bytes{std::string("\x01\x00\xFE", 3)}));

  RegistryValueRead big = QueryValue(HKEY_CURRENT_USER, kTestKey, "Big");
  EXPECT_EQ(big.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(big.data, DwordBytes(0xFFFFFF9Du));
  RegistryValueRead one = QueryValue(HKEY_CURRENT_USER, kTestKey, "One");
  EXPECT_EQ(one.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(one.data, DwordBytes(1));
  EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, kTestKey, "Minus").data, DwordBytes(0xFFFFFFFFu));
  RegistryValueRead raw = QueryValue(HKEY_CURRENT_USER, kTestKey, "Raw");
  EXPECT_EQ(raw.type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(raw.data, std::string("\x01\x00\xFE", 3));
}

TEST_F(RegistryTest, RootNumbersOutsideOneToFiveWriteUnderCurrentUser) {
  for (int root : {0, 3, 9}) {
    std::string name = "Root" + std::to_string(root);
    ASSERT_TRUE(WriteRegistryItem(root, std::string(kTestKey) + "\\" + name, int32_t{root})) << root;
    EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, kTestKey, name.c_str()).data, DwordBytes(root)) << root;
  }
}

TEST_F(RegistryTest, RootNumbersOneToFiveNameTheirRoots) {
  struct Root {
    int number;
    HKEY key;
    const char* path;
  };
  const Root roots[] = {
      {1, HKEY_CLASSES_ROOT, "LumenoPlatformTest"},
      {2, HKEY_CURRENT_CONFIG, "Software\\LumenoPlatformTest"},
      {4, HKEY_LOCAL_MACHINE, "Software\\LumenoPlatformTest"},
      {5, HKEY_USERS, ".DEFAULT\\Software\\LumenoPlatformTest"},
  };
  for (const Root& root : roots) {
    ASSERT_TRUE(WriteRegistryItem(root.number, std::string(root.path) + "\\Mark", Text("here"))) << root.number;
    EXPECT_EQ(QueryValue(root.key, root.path, "Mark").data, std::string("here\0", 5)) << root.number;
    EXPECT_FALSE(QueryValue(HKEY_CURRENT_USER, root.path, "Mark").found) << root.number;
    SHDeleteKeyA(root.key, root.path);
  }
}

TEST_F(RegistryTest, PathWithoutBackslashNamesAValueDirectlyUnderTheRoot) {
  ASSERT_TRUE(WriteRegistryItem(kRootCurrentUser, "LumenoPlatformTestTop", Text("top")));
  RegistryValueRead top = QueryValue(HKEY_CURRENT_USER, "", "LumenoPlatformTestTop");
  RegDeleteValueA(HKEY_CURRENT_USER, "LumenoPlatformTestTop");
  EXPECT_EQ(top.data, std::string("top\0", 4));
}

TEST_F(RegistryTest, TrailingBackslashWritesTheDefaultValue) {
  ASSERT_TRUE(WriteRegistryItem(kRootCurrentUser, "Software\\LumenoPlatformTest\\Key\\", Text("default")));
  std::string key_path = std::string(kTestKey) + "\\Key";
  EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, key_path, "").data, std::string("default\0", 8));
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key_path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD values = 0, subkeys = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                   nullptr);
  RegCloseKey(key);
  EXPECT_EQ(values, 1u);
  EXPECT_EQ(subkeys, 0u);
}

TEST_F(RegistryTest, MissingKeysAreCreatedAllTheWayDown) {
  ASSERT_FALSE(QueryValue(HKEY_CURRENT_USER, kTestKey, nullptr).found);
  ASSERT_TRUE(WriteRegistryItem(kRootCurrentUser, "Software\\LumenoPlatformTest\\A\\B\\C\\Deep", int32_t{7}));
  EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, std::string(kTestKey) + "\\A\\B\\C", "Deep").data, DwordBytes(7));
}

// ---------------------------------------------------------------------------
// Files and folders

class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = InTestDirectory("platform-files");
    Clean();
    CreateDirectoryA(folder_.c_str(), nullptr);
  }
  void TearDown() override { Clean(); }
  std::string Path(const std::string& name) const { return folder_ + "\\" + name; }

 private:
  void Clean() {
    for (const std::string& name : FolderListing(folder_)) {
      if (name == "." || name == "..") continue;
      std::string path = Path(name);
      if (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
        for (const std::string& inner : FolderListing(path))
          if (inner != "." && inner != "..") RemoveFile(path + "\\" + inner);
        RemoveDirectoryA(path.c_str());
      } else {
        RemoveFile(path);
      }
    }
    RemoveDirectoryA(folder_.c_str());
  }
  std::string folder_;
};

TEST_F(FileTest, WriteBytesToFileLeavesExactlyTheNewBytesOverALongerFile) {
  std::string path = Path("data.bin");
  WriteWholeFile(path, std::string(100, 'x'));
  const std::string tail("\0end", 4);
  ASSERT_TRUE(WriteBytesToFile(path, {"a\r\nb\n", "", tail}));
  EXPECT_EQ(ReadWholeFile(path), std::string("a\r\nb\n") + tail);
}

TEST_F(FileTest, WriteBytesToFileWithAnEmptyPathCreatesNothing) {
  std::set<std::string> before = FolderListing(".");
  EXPECT_FALSE(WriteBytesToFile("", {"bytes"}));
  EXPECT_EQ(FolderListing("."), before);
}

TEST_F(FileTest, WriteBytesToFileNeedsTheFileToItself) {
  std::string path = Path("held.txt");
  WriteWholeFile(path, "held");
  HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteBytesToFile(path, {"new"}));
  CloseHandle(reader);
  EXPECT_EQ(ReadWholeFile(path), "held");
}

TEST_F(FileTest, WriteFreshFileReplacesAPlantedReadOnlyFile) {
  std::string path = Path("script.cmd");
  WriteWholeFile(path, "planted content that is longer");
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  ASSERT_TRUE(WriteFreshFile(path, "fresh\r\n"));
  EXPECT_EQ(ReadWholeFile(path), "fresh\r\n");
  EXPECT_EQ(GetFileAttributesA(path.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);

  std::string missing = Path("new.cmd");
  ASSERT_TRUE(WriteFreshFile(missing, "new"));
  EXPECT_EQ(ReadWholeFile(missing), "new");
}

TEST_F(FileTest, WriteFreshFileNeverWritesIntoAFileHeldOpen) {
  std::string path = Path("script.cmd");
  for (DWORD sharing : {DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE},
                        DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE}}) {
    WriteWholeFile(path, "planted");
    HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteFreshFile(path, "fresh")) << sharing;
    char seen[16] = {};
    DWORD read = 0;
    ReadFile(holder, seen, sizeof seen, &read, nullptr);
    CloseHandle(holder);
    EXPECT_EQ(std::string(seen, read), "planted") << sharing;
    RemoveFile(path);
  }
}

TEST_F(FileTest, WriteFreshFileRefusesAFolderAtThePath) {
  std::string path = Path("folder.cmd");
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
  EXPECT_FALSE(WriteFreshFile(path, "fresh"));
  EXPECT_NE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(FileTest, ReadBytesFromFileReturnsTheBytesOrFalse) {
  std::string path = Path("read.bin");
  std::string bytes(10000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  WriteWholeFile(path, bytes);
  std::string read;
  ASSERT_TRUE(ReadBytesFromFile(path, &read));
  EXPECT_EQ(read, bytes);
  EXPECT_FALSE(ReadBytesFromFile(Path("missing.bin"), &read));
}

TEST_F(FileTest, CreateFolderCreatesOnlyTheLastElement) {
  std::string path = Path("made");
  EXPECT_TRUE(CreateFolder(path));
  EXPECT_NE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_FALSE(CreateFolder(path));
  EXPECT_FALSE(CreateFolder(Path("missing\\child")));
  EXPECT_FALSE(Exists(Path("missing")));
}

TEST_F(FileTest, SetFileAttributesMaskedPassesOnlyTheFourBasicAttributes) {
  std::string path = Path("attributes.txt");
  WriteWholeFile(path, "x");
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));

  // 8 masks to 0, which clears the attributes. (Wine reports every plain
  // file as FILE_ATTRIBUTE_ARCHIVE whatever was set, so that bit is not
  // looked at.)
  ASSERT_TRUE(SetFileAttributesMasked(path, 8));
  EXPECT_EQ(GetFileAttributesA(path.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
            0u);

  ASSERT_TRUE(SetFileAttributesMasked(path, FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
  DWORD attributes = GetFileAttributesA(path.c_str());
  EXPECT_EQ(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
            static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(attributes & FILE_ATTRIBUTE_TEMPORARY, 0u);
}

// ---------------------------------------------------------------------------
// Processes and threads

struct StartupSeen {
  bool found = false;
  unsigned flags = 0;
  unsigned show = 0;
};

StartupSeen ReadStartupFile(const std::string& path) {
  StartupSeen seen;
  std::string text = ReadWholeFile(path);
  seen.found = std::sscanf(text.c_str(), "%u %u", &seen.flags, &seen.show) == 2;
  return seen;
}

TEST(RunCommandLine, GivesTheChildTheShowCommandOfItsMode) {
  struct Case {
    int mode;
    unsigned show;
  };
  const Case cases[] = {{0, SW_HIDE}, {1, SW_HIDE}, {2, SW_SHOWNORMAL}, {5, SW_SHOWNOACTIVATE}, {7, SW_MINIMIZE}};
  std::string out = InTestDirectory("startup.txt");
  for (const Case& c : cases) {
    DeleteFileA(out.c_str());
    ASSERT_TRUE(RunCommandLine(HelperCommand(ModulePath(), "startup-info " + out), true, static_cast<WindowMode>(c.mode)))
        << c.mode;
    StartupSeen seen = ReadStartupFile(out);
    ASSERT_TRUE(seen.found) << c.mode;
    EXPECT_NE(seen.flags & STARTF_USESHOWWINDOW, 0u) << c.mode;
    EXPECT_EQ(seen.show, c.show) << c.mode;
  }
  DeleteFileA(out.c_str());
}

TEST(RunCommandLine, MissingProgramFailsAndLeavesNoHandle) {
  const Text missing = InTestDirectory("no-such-program.exe") + " argument";
  RunCommandLine(missing, true, WindowMode::kHidden);  // let the system load what it loads once
  long before = HandleCount(GetCurrentProcessId());
  ASSERT_GT(before, 0);
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(RunCommandLine(missing, i % 2 == 0, WindowMode::kHidden));
  EXPECT_EQ(HandleCount(GetCurrentProcessId()), before);
}

TEST(RunCommandLine, WaitReturnsAfterTheProcessEndsAndClosesItsHandles) {
  std::string exe = CopyOfTestProgram(InTestDirectory("waited.exe"), false);
  std::string mark = InTestDirectory("waited.txt");
  DeleteFileA(mark.c_str());
  RunCommandLine(HelperCommand(exe, "mark-after 0 " + mark), true, WindowMode::kHidden);  // warm-up
  DeleteFileA(mark.c_str());

  long before = HandleCount(GetCurrentProcessId());
  ASSERT_TRUE(RunCommandLine(HelperCommand(exe, "mark-after 1500 " + mark), true, WindowMode::kHidden));
  EXPECT_TRUE(Exists(mark));
  EXPECT_TRUE(ProcessesNamed("waited.exe").empty());
  EXPECT_EQ(HandleCount(GetCurrentProcessId()), before);
  DeleteFileA(mark.c_str());
  DeleteFileA(exe.c_str());
}

TEST(RunCommandLine, WithoutWaitReturnsWithinAboutASecondForAProgramThatNeverGoesIdle) {
  std::string exe = CopyOfTestProgram(InTestDirectory("never_idle.exe"), true);
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, "LumenoPlatformTestRelease");
  ASSERT_NE(release, nullptr);

  DWORD start = GetTickCount();
  ASSERT_TRUE(RunCommandLine(HelperCommand(exe, "never-idle LumenoPlatformTestRelease"), false, WindowMode::kNormal));
  DWORD elapsed = GetTickCount() - start;
  // The idle wait is bounded by 1000 ms; the margin absorbs a slow start.
  EXPECT_LT(elapsed, 3000u);

  std::vector<DWORD> running = ProcessesNamed("never_idle.exe");
  EXPECT_EQ(running.size(), 1u) << "the program must still be running: nobody waited for its end";
  SetEvent(release);
  for (DWORD id : running) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (process) WaitForSingleObject(process, 20000), CloseHandle(process);
  }
  CloseHandle(release);
  DeleteFileA(exe.c_str());
}

std::atomic<DWORD> g_thread_ran{0};
HANDLE g_thread_done = nullptr;

void ThreadRoutineForTest() {
  g_thread_ran = GetCurrentThreadId();
  SetEvent(g_thread_done);
}

TEST(StartThread, RunsTheRoutineOnAnotherThreadAndKeepsNoHandle) {
  g_thread_done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  long before = HandleCount(GetCurrentProcessId());
  ASSERT_TRUE(StartThread(ThreadRoutineForTest));
  ASSERT_EQ(WaitForSingleObject(g_thread_done, 20000), WAIT_OBJECT_0);
  EXPECT_NE(g_thread_ran.load(), 0u);
  EXPECT_NE(g_thread_ran.load(), GetCurrentThreadId());
  EXPECT_EQ(HandleCount(GetCurrentProcessId()), before);
  CloseHandle(g_thread_done);
}

// ---------------------------------------------------------------------------
// Program directory and start-up

TEST(ProgramDirectory, HoldsTheProgramAndBecomesCurrentAtStartUp) {
  Text directory = ProgramDirectory();
  ASSERT_FALSE(directory.empty());
  EXPECT_NE(directory.back(), '\\');
  EXPECT_NE(GetFileAttributesA(directory.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  std::string exe = ModulePath();
  EXPECT_TRUE(Exists(directory + exe.substr(exe.rfind('\\'))));

  char original[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, original);
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\windows"));
  InitializePlatform();
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, current);
  SetCurrentDirectoryA(original);
  EXPECT_EQ(lstrcmpiA(current, directory.c_str()), 0) << current;
}

// What a copy of this program at exe reports as "ProgramDirectory|current
// directory after start-up".
std::string DirectoriesSeenBy(const std::string& exe) {
  std::string out = InTestDirectory("directories.txt");
  DeleteFileA(out.c_str());
  PROCESS_INFORMATION process = StartHelper(exe, "directory " + out);
  if (!process.hProcess) return "(not started)";
  WaitForSingleObject(process.hProcess, 30000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  std::string seen = ReadWholeFile(out);
  DeleteFileA(out.c_str());
  return seen;
}

TEST(ProgramDirectory, InADriveRootIsTheDriveAndStartUpMakesTheRootCurrent) {
  std::string exe = CopyOfTestProgram("C:\\lumeno_root_probe.exe", false);
  EXPECT_EQ(DirectoriesSeenBy(exe), "C:|C:\\");
  DeleteFileA(exe.c_str());
}

TEST(ProgramDirectory, ASecondByte0x5CInTheProgramNameIsNoSeparator) {
  // 0x81 0x5C is one GBK character whose second byte is a backslash's.
  std::string exe = CopyOfTestProgram(InTestDirectory("probe\x81\x5C.exe"), false);
  ASSERT_TRUE(Exists(exe));
  EXPECT_EQ(DirectoriesSeenBy(exe), TestDirectory() + "|" + TestDirectory());
  DeleteFileA(exe.c_str());
}

// ---------------------------------------------------------------------------
// Run-time bound functions

TEST(DeclaredFunctions, EmptyLibraryFindsSetProcessWorkingSetSizeInKernel32) {
  HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  ResolvedFunction first = DeclaredFunctionAt(static_cast<int>(DeclaredFunction::kSetProcessWorkingSetSizeOwn));
  EXPECT_EQ(first.module, kernel32);
  EXPECT_EQ(first.address, reinterpret_cast<void*>(GetProcAddress(kernel32, "SetProcessWorkingSetSize")));
  EXPECT_TRUE(CallSetProcessWorkingSetSize(DeclaredFunction::kSetProcessWorkingSetSizeOwn, kCurrentProcess, -1, -1));
  // Further down the default list: the first library that exports the name.
  struct Later {
    const char* function;
    const char* library;
  };
  for (const Later& later : {Later{"GetDeviceCaps", "gdi32.dll"}, Later{"MessageBoxA", "user32.dll"},
                             Later{"WNetGetConnectionA", "mpr.dll"}}) {
    ResolvedFunction found = ResolveFunction("", later.function);
    EXPECT_EQ(found.module, GetModuleHandleA(later.library)) << later.function;
    EXPECT_EQ(found.address, reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(later.library), later.function)))
        << later.function;
  }

  ResolvedFunction cached = DeclaredFunctionAt(static_cast<int>(DeclaredFunction::kSetProcessWorkingSetSizeOwn));
  EXPECT_EQ(cached.address, first.address);
  EXPECT_EQ(cached.module, first.module);
}

TEST(DeclaredFunctions, TypedCallsReachTheirFunctions) {
  std::vector<uint32_t> ids(4096);
  uint32_t returned = 0;
  ASSERT_TRUE(CallEnumProcesses(ids.data(), static_cast<uint32_t>(ids.size() * 4), &returned));
  ids.resize(returned / 4);
  EXPECT_NE(std::find(ids.begin(), ids.end(), GetCurrentProcessId()), ids.end());
  EXPECT_EQ(DeclaredFunctionAt(static_cast<int>(DeclaredFunction::kEnumProcesses)).module,
            GetModuleHandleA("psapi.dll"));

  uintptr_t process = CallOpenProcess(PROCESS_QUERY_INFORMATION, false, GetCurrentProcessId());
  ASSERT_NE(process, 0u);
  DWORD exit_code = 0;
  EXPECT_TRUE(GetExitCodeProcess(reinterpret_cast<HANDLE>(process), &exit_code));
  EXPECT_EQ(exit_code, static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_TRUE(CallCloseHandle(process));
  EXPECT_FALSE(CallCloseHandle(process));

  // Only the two SetProcessWorkingSetSize entries have that signature.
  EXPECT_FALSE(CallSetProcessWorkingSetSize(DeclaredFunction::kCloseHandle, kCurrentProcess, -1, -1));
}

// The ordinal under which kernel32 exports name, read from its export table.
WORD OrdinalOf(HMODULE module, const char* name) {
  auto* base = reinterpret_cast<const BYTE*>(module);
  auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
  auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  auto* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i)
    if (strcmp(reinterpret_cast<const char*>(base + names[i]), name) == 0)
      return static_cast<WORD>(ordinals[i] + exports->Base);
  return 0;
}

TEST(DeclaredFunctions, ResolvesOrdinalsInSystemLibraries) {
  HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  void* by_name = reinterpret_cast<void*>(GetProcAddress(kernel32, "GetTickCount"));
  WORD ordinal = OrdinalOf(kernel32, "GetTickCount");
  ASSERT_NE(ordinal, 0);
  EXPECT_EQ(ResolveFunction("Kernel32.dll", "#" + std::to_string(ordinal)).address, by_name);
  EXPECT_EQ(ResolveFunction("", "#" + std::to_string(ordinal)).address, by_name);
}

struct FatalCase {
  const char* arguments;
  std::string message;
};

TEST(DeclaredFunctions, AMissingExportEndsTheProgramWithTheFatalBox) {
  const FatalCase cases[] = {
      {"fatal-default LumenoNoSuchExport", kCannotFindExport + "LumenoNoSuchExport" + kCloseQuote},
      {"fatal-library Kernel32.dll LumenoNoSuchExport",
       kCannotFindInLibrary + "Kernel32.dll" + kInsideExportOf + "LumenoNoSuchExport" + kCloseQuote},
      {"fatal-library lumeno_missing.dll Anything",
       kCannotFindInLibrary + "lumeno_missing.dll" + kInsideExportOf + "Anything" + kCloseQuote},
      // Libraries come from the system folder alone: a path, even to the
      // system's own copy, is not loaded.
      {"fatal-library C:\\windows\\system32\\kernel32.dll GetTickCount",
       kCannotFindInLibrary + "C:\\windows\\system32\\kernel32.dll" + kInsideExportOf + "GetTickCount" + kCloseQuote},
  };
  for (const FatalCase& c : cases) {
    PROCESS_INFORMATION process = StartHelper(ModulePath(), c.arguments);
    ASSERT_NE(process.hProcess, nullptr) << c.arguments;
    HWND box = WaitForDialogOf(process.dwProcessId);
    EXPECT_NE(box, nullptr) << c.arguments;
    if (box) {
      EXPECT_EQ(ItemText(box, 0xFFFF), kFatalHeading + kMessageLabel + c.message + "\r\n") << c.arguments;
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0) << c.arguments;
    DWORD exit_code = 0;
    GetExitCodeProcess(process.hProcess, &exit_code);
    EXPECT_EQ(exit_code, 0xFFFFFFFFu) << c.arguments;
    if (exit_code == STILL_ACTIVE) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

// ---------------------------------------------------------------------------
// Dialogs and shell

// Answers the next dialog of this process from another thread, after look
// has seen it.
template <typename Look>
std::thread AnswerDialog(WPARAM button, Look look) {
  return std::thread([button, look] {
    HWND dialog = WaitForDialogOf(GetCurrentProcessId());
    if (!dialog) return;
    look(dialog);
    PostMessageA(dialog, WM_COMMAND, button, 0);
  });
}

TEST(ShowMessageBox, MapsTheClosingButtonAndUsesTheDefaultTitle) {
  struct Case {
    int style;
    WPARAM button;
    int result;
  };
  const Case cases[] = {{MB_OK | MB_ICONINFORMATION, IDOK, 0},
                        {MB_RETRYCANCEL, IDCANCEL, 1},
                        {MB_ABORTRETRYIGNORE, IDRETRY, 3},
                        {MB_YESNO | MB_ICONSTOP, IDNO, 6},
                        {MB_YESNO, IDYES, 5}};
  for (const Case& c : cases) {
    std::string title, text;
    std::thread answer = AnswerDialog(c.button, [&](HWND box) {
      title = WindowText(box);
      text = ItemText(box, 0xFFFF);
    });
    EXPECT_EQ(ShowMessageBox("message\r\nline", c.style), c.result) << c.style;
    answer.join();
    EXPECT_EQ(title, kInformationTitle);
    EXPECT_EQ(text, "message\r\nline");
  }
}

LRESULT CALLBACK PlainWindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(window, message, wparam, lparam);
}

HWND MakeTopLevelWindow(const char* title) {
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = PlainWindowProcedure;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = "LumenoPlatformTestWindow";
  RegisterClassA(&window_class);
  HWND window = CreateWindowA("LumenoPlatformTestWindow", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  return window;
}

TEST(ShowMessageBox, IsOwnedByTheMarkedWindowOnlyOnItsThread) {
  HWND window = MakeTopLevelWindow("owner");
  ASSERT_NE(window, nullptr);
  SetPropA(window, kWindowIdProperty, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(kSettingsWindow)));

  HWND owner_seen = reinterpret_cast<HWND>(1);
  std::thread answer = AnswerDialog(IDOK, [&](HWND box) { owner_seen = GetWindow(box, GW_OWNER); });
  ShowMessageBox("owned", kStyleInformation, kDefaultMessageTitle, kSettingsWindow);
  answer.join();
  EXPECT_EQ(owner_seen, window);

  // From a worker thread the same window id gives no owner.
  owner_seen = reinterpret_cast<HWND>(1);
  std::thread worker([] { ShowMessageBox("from a worker", kStyleInformation, kDefaultMessageTitle, kSettingsWindow); });
  HWND box = WaitForDialogOf(GetCurrentProcessId());
  ASSERT_NE(box, nullptr);
  owner_seen = GetWindow(box, GW_OWNER);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  worker.join();
  EXPECT_EQ(owner_seen, nullptr);

  RemovePropA(window, kWindowIdProperty);
  DestroyWindow(window);
}

TEST(BrowseForFolder, ReturnsTheChosenFolderAndGivesEveryWindowItsStateBack) {
  HWND enabled = MakeTopLevelWindow("enabled");
  HWND disabled = MakeTopLevelWindow("disabled");
  ASSERT_TRUE(enabled && disabled);
  EnableWindow(disabled, FALSE);
  const std::string prompt = "\xC7\xEB\xD1\xA1\xD4\xF1";  // 请选择
  const std::string chosen = TestDirectory();

  bool enabled_during = true;
  std::string prompt_seen;
  std::thread answer = AnswerDialog(IDOK, [&](HWND dialog) {
    enabled_during = IsWindowEnabled(enabled) != FALSE;
    prompt_seen = ItemText(dialog, 0x3742);
    SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(chosen.c_str()));
  });
  Text result = BrowseForFolder(prompt);
  answer.join();
  EXPECT_EQ(lstrcmpiA(result.c_str(), chosen.c_str()), 0) << result;
  EXPECT_EQ(prompt_seen, prompt);
  EXPECT_FALSE(enabled_during);
  EXPECT_TRUE(IsWindowEnabled(enabled));
  EXPECT_FALSE(IsWindowEnabled(disabled));

  std::thread cancel = AnswerDialog(IDCANCEL, [](HWND) {});
  EXPECT_EQ(BrowseForFolder(prompt, true), "");
  cancel.join();
  EXPECT_TRUE(IsWindowEnabled(enabled));

  DestroyWindow(enabled);
  DestroyWindow(disabled);
}

TEST(ShellOpen, StartsTheFileWithItsParametersAndShowCommand) {
  std::string out = InTestDirectory("shell.txt");
  DeleteFileA(out.c_str());
  intptr_t result = ShellOpen(kVerbOpen, ModulePath(), "--platform-helper startup-info " + out, "", WindowMode::kNotActivated);
  EXPECT_GT(result, 32);
  ASSERT_TRUE(support::WaitUntil([&] { return ReadStartupFile(out).found; }, kWaitBound, 50));
  EXPECT_EQ(ReadStartupFile(out).show, static_cast<unsigned>(SW_SHOWNA));
  DeleteFileA(out.c_str());

  EXPECT_LE(ShellOpen(kVerbNone, InTestDirectory("no-such-file.exe")), 32);
}

// ---------------------------------------------------------------------------
// Display and version

TEST(Display, ReportsAndSetsTheCurrentMode) {
  DisplayMode mode = QueryDisplayMode();
  EXPECT_EQ(mode.width, ScreenWidth());
  EXPECT_EQ(mode.height, ScreenHeight());
  EXPECT_GT(mode.width, 0);
  EXPECT_GT(mode.bits_per_pixel, 0);
  // The current size and depth are always available; colour bits 0 and
  // refresh 0 leave those fields unflagged.
  EXPECT_TRUE(SetDisplayMode(mode.width, mode.height, mode.bits_per_pixel, 0));
  EXPECT_TRUE(SetDisplayMode(mode.width, mode.height, 0, 0));
  EXPECT_FALSE(SetDisplayMode(12345, 777, 0, 0));
  EXPECT_EQ(ScreenWidth(), mode.width);
}

TEST(WindowsVersion, IsReportedAsWindowsXp) {
  WindowsVersion version = QueryWindowsVersion();
  ASSERT_TRUE(version.known);
  EXPECT_EQ(version.major, 5u);
  EXPECT_EQ(version.minor, 1u);
  EXPECT_TRUE(IsNtPlatform(version));
}

TEST(SystemState, NamesTheComputerAndTellsAUserFromLocalSystem) {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof name;
  ASSERT_TRUE(GetComputerNameA(name, &size));
  EXPECT_EQ(ComputerName(), std::string(name, size));
  // The prefix's user (S-1-5-21-0-0-0-1000 under Wine), as a logon script runs.
  EXPECT_FALSE(RunsAsLocalSystem());
}

// ---------------------------------------------------------------------------
// The log of unattended mode, shared by the runs of a whole room of PCs

// A run holds its log from start to end; a cleaning step's del /s *.log fails
// on it, while other runs open the same file and append between its lines.
TEST_F(FileTest, AHeldLogCannotBeDeletedWhileOtherRunsAppendToIt) {
  const std::string path = Path("run.log");
  WriteWholeFile(path, "earlier\r\n");
  const LogFile first = OpenLogFile(path);
  ASSERT_NE(first, 0u);
  const LogFile second = OpenLogFile(path);
  ASSERT_NE(second, 0u);
  SetLastError(0);
  EXPECT_FALSE(DeleteFileA(path.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_TRUE(AppendToLogFile(first, "one\r\n"));
  EXPECT_TRUE(AppendToLogFile(second, "two\r\n"));
  EXPECT_TRUE(AppendToLogFile(first, "three\r\n"));
  CloseLogFile(first);
  CloseLogFile(second);
  EXPECT_EQ(ReadWholeFile(path), "earlier\r\none\r\ntwo\r\nthree\r\n");
  EXPECT_TRUE(DeleteFileA(path.c_str())) << "the file is still held after the run";
}

TEST(LogFile, CannotBeOpenedInAFolderThatIsNotThere) {
  EXPECT_EQ(OpenLogFile("C:\\lumeno-test\\no such folder\\run.log"), 0u);
}

// Another run holding the lock (as it does while it appends) keeps this
// run's line back until it lets go; the line then goes after the other's.
TEST_F(FileTest, AnAppendWaitsForTheLockAnotherRunHolds) {
  const std::string path = Path("locked.log");
  WriteWholeFile(path, "earlier\r\n");
  HANDLE holder = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  OVERLAPPED whole_file = {};
  ASSERT_TRUE(LockFileEx(holder, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole_file));
  const LogFile log = OpenLogFile(path);
  ASSERT_NE(log, 0u);
  std::atomic<bool> appended{false}, ok{false};
  std::thread writer([&] {
    ok = AppendToLogFile(log, "line\r\n");
    appended = true;
  });
  Sleep(300);
  EXPECT_FALSE(appended) << "the line did not wait for the lock";
  DWORD written = 0;
  SetFilePointer(holder, 0, nullptr, FILE_END);
  EXPECT_TRUE(WriteFile(holder, "held\r\n", 6, &written, nullptr));
  UnlockFileEx(holder, 0, MAXDWORD, MAXDWORD, &whole_file);
  writer.join();
  EXPECT_TRUE(ok);
  CloseLogFile(log);
  CloseHandle(holder);
  EXPECT_EQ(ReadWholeFile(path), "earlier\r\nheld\r\nline\r\n");
}

// ---------------------------------------------------------------------------
// The helper roles of this program

void WriteHelperFile(const std::string& path, const std::string& text) {
  if (FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
}

int RunAsHelperIfAsked() {
  const char* command_line = GetCommandLineA();
  const char* marker = strstr(command_line, " --platform-helper ");
  if (!marker) return 0;
  std::vector<std::string> words;
  for (const char* p = marker + strlen(" --platform-helper "); *p;) {
    while (*p == ' ') ++p;
    const char* end = p;
    while (*end && *end != ' ') ++end;
    if (end > p) words.emplace_back(p, end);
    p = end;
  }
  auto word = [&](size_t i) { return i < words.size() ? words[i] : std::string(); };
  const std::string verb = word(0);

  if (verb == "startup-info") {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    WriteHelperFile(word(1), std::to_string(startup.dwFlags) + " " + std::to_string(startup.wShowWindow));
  } else if (verb == "mark-after") {
    Sleep(static_cast<DWORD>(std::atoi(word(1).c_str())));
    WriteHelperFile(word(2), "done");
  } else if (verb == "never-idle") {
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, word(1).c_str());
    if (release) WaitForSingleObject(release, 60000);
  } else if (verb == "directory") {
    SetCurrentDirectoryA("C:\\windows");
    InitializePlatform();
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    WriteHelperFile(word(1), ProgramDirectory() + "|" + current);
  } else if (verb == "fatal-default") {
    ResolveFunction("", word(1));
  } else if (verb == "fatal-library") {
    ResolveFunction(word(1), word(2));
  }
  ExitProcess(0);
}

[[maybe_unused]] const int kRunAsHelper = RunAsHelperIfAsked();

}  // namespace
}  // namespace lumeno
