// The empty-folder script run by the real command interpreter: its console
// is answered at every pause, and its work is checked on disk. Wine has no
// sort.exe, so a "sort /r" stand-in sits in the program's directory (the
// script's current directory, searched first).
#include <gtest/gtest.h>

#include <string>

#include "driver.h"
#include "ui/control_ids.h"
#include "lumeno_windows.h"

#include <tlhelp32.h>  // after <windows.h>, which driver.h brings

namespace {

using namespace driver;
using namespace lumeno_e2e;

using lumeno::main_controls::kSweepButton;
const char kSweepPath[] = "C:\\Lumeno\\这里填你要写入的文件.bat";
const char kRootScriptPath[] = "C:\\这里填你要写入的文件.bat";

// The command interpreter parent_id started for the script (Wine may start a
// console host beside it); 0 when none shows up.
DWORD InterpreterStartedBy(DWORD parent_id) {
  DWORD child = 0;
  WaitUntil([&] {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry))
      if (entry.th32ParentProcessID == parent_id && lstrcmpiA(entry.szExeFile, "cmd.exe") == 0)
        child = entry.th32ProcessID;
    CloseHandle(snapshot);
    return child != 0;
  });
  return child;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
  return count;
}

TEST(SweepE2eTest, RealInterpreterRunsTheScriptToItsEndWithEveryPauseAnswered) {
  std::string sort = std::string(kTestDirectory) + "\\reverse_sort.exe";
  ASSERT_TRUE(CopyFileA(sort.c_str(), "C:\\Lumeno\\sort.exe", FALSE));
  for (const char* folder : {"C:\\Lumeno\\empty", "C:\\Lumeno\\empty\\deeper", "C:\\Lumeno\\empty\\deeper\\deepest",
                             "C:\\Lumeno\\kept", "C:\\Lumeno\\kept\\empty"})
    ASSERT_TRUE(CreateDirectoryA(folder, nullptr)) << folder;
  ASSERT_TRUE(WriteFileBytes("C:\\Lumeno\\kept\\file.txt", "stays"));
  // A file of the script's name in C:\ that the sweep never wrote keeps its
  // attributes: the program lives in C:\Lumeno, not in the root.
  ASSERT_TRUE(WriteFileBytes(kRootScriptPath, "not ours"));
  ASSERT_TRUE(SetFileAttributesA(kRootScriptPath, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  const DWORD root_script_attributes = GetFileAttributesA(kRootScriptPath);
  ASSERT_TRUE(root_script_attributes & FILE_ATTRIBUTE_READONLY);

  // Started from the desktop, the program has no console, so the script gets
  // a console window of its own. Under Wine a child would share this test's
  // console instead; without one, it cannot.
  FreeConsole();
  Program program;
  HWND main_window = StartProgram(program);
  ASSERT_NE(main_window, nullptr);
  HWND sweep = WaitForControl(main_window, kSweepButton);
  ASSERT_NE(sweep, nullptr);
  ASSERT_TRUE(PostClick(sweep));

  DWORD interpreter = InterpreterStartedBy(program.Id());
  ASSERT_NE(interpreter, 0u) << "the script did not start";
  const std::string screen_path = std::string(kTestDirectory) + "\\sweep_screen.txt";
  Program answer;
  ASSERT_TRUE(answer.Start(std::string(kTestDirectory) + "\\answer_pauses.exe " + std::to_string(interpreter) + " " +
                           screen_path));
  ASSERT_TRUE(answer.WaitForExit(150000));
  EXPECT_EQ(answer.ExitCode(), 0u) << "the script did not end";

  std::string screen = ReadFileBytes(screen_path).value_or("");
  EXPECT_NE(screen.find("欢迎使用批量处理空文件夹1.0版！"), std::string::npos) << screen;
  for (const char* heading : {"清理C盘", "清理D盘", "清理E盘", "清理F盘", "清理G盘"})
    EXPECT_EQ(Count(screen, heading), 1u) << heading;
  EXPECT_EQ(Count(screen, "请按任意键继续"), 5u) << screen;
  EXPECT_NE(screen.find("清理完毕，谢谢使用"), std::string::npos) << "the script stopped early:\n" << screen;

  // The handler returns once the script has ended: the window answers again,
  // and no message box follows.
  DWORD_PTR result = 0;
  EXPECT_TRUE(SendMessageTimeoutA(main_window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result));
  EXPECT_TRUE(program.NoMessageBoxWithin(500));

  EXPECT_FALSE(PathExists("C:\\Lumeno\\empty")) << "empty folders are removed, deepest first";
  EXPECT_FALSE(PathExists("C:\\Lumeno\\kept\\empty"));
  EXPECT_TRUE(PathExists("C:\\Lumeno\\kept\\file.txt"));
  EXPECT_FALSE(PathExists("C:\\Lumeno\\kill.txt")) << "the list file is deleted again";
  std::optional<std::string> script = ReadFileBytes(kSweepPath);
  ASSERT_TRUE(script) << "the script stays in the program's directory";
  EXPECT_EQ(script->size(), 688u);
  EXPECT_EQ(GetFileAttributesA(kRootScriptPath), root_script_attributes);
  SetFileAttributesA(kRootScriptPath, FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
