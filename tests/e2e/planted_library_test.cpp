// Libraries dropped beside the program under the names of system libraries
// it uses (psapi, uxtheme, winmm, netapi32), while Wine searches as Windows
// does (planted_library_test.env): the program never loads one, through all
// that needs each. Every planted copy leaves "<its path>.loaded" when loaded
// (tests/programs/planted); a bare-name loader beside them proves that a
// program asking by name would get them.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver.h"
#include "lumeno_windows.h"

namespace {

using namespace driver;
using namespace lumeno_e2e;
using namespace lumeno::settings_controls;

constexpr int kPageTools = 4;  // "小工具"
const std::vector<std::string> kPlanted = {"psapi.dll", "uxtheme.dll", "winmm.dll", "netapi32.dll"};

std::string InProgramFolder(const std::string& name) { return std::string(kProgramDirectory) + "\\" + name; }

// The planted libraries whose marker exists.
std::vector<std::string> LoadedPlanted() {
  std::vector<std::string> loaded;
  for (const std::string& name : kPlanted)
    if (PathExists(InProgramFolder(name) + ".loaded")) loaded.push_back(name);
  return loaded;
}

// In lower case: the loader keeps a path in the case it was asked for.
std::string Lowered(std::string path) {
  std::transform(path.begin(), path.end(), path.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
  return path;
}

std::string SystemFolder() {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  return Lowered(folder);
}

// The path from which process has loaded the module named name; empty while it has none.
std::string ModulePath(DWORD process_id, const std::string& name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process_id);
  if (snapshot == INVALID_HANDLE_VALUE) return {};
  std::string path;
  MODULEENTRY32 module = {};
  module.dwSize = sizeof module;
  for (BOOL more = Module32First(snapshot, &module); more && path.empty(); more = Module32Next(snapshot, &module))
    if (lstrcmpiA(module.szModule, name.c_str()) == 0) path = module.szExePath;
  CloseHandle(snapshot);
  return path;
}

// Waits until the program uses the library, then says where it came from.
std::string LoadedFrom(const Program& program, const std::string& name) {
  std::string path;
  WaitUntil([&] { return !(path = ModulePath(program.Id(), name)).empty(); });
  return Lowered(path);
}

class PlantedLibraries : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const std::string& name : kPlanted) {
      const std::string planted = std::string(kTestDirectory) + "\\planted\\" + name;
      ASSERT_TRUE(CopyFileA(planted.c_str(), InProgramFolder(name).c_str(), FALSE)) << name;
    }
    const std::string loader = std::string(kTestDirectory) + "\\bare_name_loader.exe";
    ASSERT_TRUE(CopyFileA(loader.c_str(), InProgramFolder("bare_name_loader.exe").c_str(), FALSE));
    ASSERT_EQ(LoadedPlanted(), std::vector<std::string>{});
  }
};

TEST_F(PlantedLibraries, TheProgramTakesNoneOfThemWhereAProgramAskingByNameWould) {
  // net fails for one share, so its judge asks netapi32 whether the share is
  // still there; a planted netapi32 could not answer.
  ASSERT_TRUE(InstallFailingStandIn("net", "m$"));
  Program program;
  HWND main_window = StartProgram(program);
  ASSERT_NE(main_window, nullptr);
  const std::string system = SystemFolder() + "\\";
  EXPECT_EQ(LoadedFrom(program, "uxtheme.dll"), system + "uxtheme.dll");

  // The memory trimming, on as soon as the settings window opens, binds
  // EnumProcesses in psapi on its first pass.
  HWND settings = OpenSettingsPage(program, main_window, kPageCleanup);
  ASSERT_NE(settings, nullptr);
  EXPECT_EQ(LoadedFrom(program, "psapi.dll"), system + "psapi.dll");

  HWND shares = WaitForControl(settings, kSharesBox);
  ASSERT_NE(shares, nullptr);
  ASSERT_TRUE(SetChecked(shares, true));
  EXPECT_EQ(PressAndReadMessage(program, WaitForControl(settings, kCleanupButton)).text, "系统清理成功！");
  bool judged = false;
  for (const RecordedRun& run : ReadStandInRuns("net")) judged |= run.command_line == "net share m$ /del";
  EXPECT_TRUE(judged) << "the failing share line never ran";

  ASSERT_TRUE(SelectTab(WaitForControl(settings, kSettingsTab), kPageTools));
  EXPECT_TRUE(Click(WaitForControl(settings, kEjectButton)));
  EXPECT_TRUE(Click(WaitForControl(settings, kCloseTrayButton)));
  EXPECT_EQ(LoadedFrom(program, "winmm.dll"), system + "winmm.dll");
  EXPECT_TRUE(program.IsRunning());
  program.Terminate();
  EXPECT_EQ(LoadedPlanted(), std::vector<std::string>{});

  // The control: the same folder, the same libraries, asked for by name.
  Program loader;
  std::string command_line = InProgramFolder("bare_name_loader.exe");
  for (const std::string& name : kPlanted) command_line += " " + name;
  ASSERT_TRUE(loader.Start(command_line, kProgramDirectory));
  ASSERT_TRUE(loader.WaitForExit());
  EXPECT_EQ(loader.ExitCode(), 0u);
  EXPECT_EQ(LoadedPlanted(), kPlanted) << "Wine did not search as Windows does: the test proves nothing";
}

}  // namespace
