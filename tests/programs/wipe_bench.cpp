// Times WipeFolderTree against "cmd /c rd /s /q" on two identical trees of
// 20,000 small files in 2,000 folders, built afresh for every run; the two
// take turns going first.
//   wipe_bench.exe RUNS OUTPUT [WORK FOLDER]   (default C:\lumeno-test\wipe-bench)
// OUTPUT gets two lines of RUNS times in ms: WipeFolderTree's, then rd's.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cleaning/junk_cleaning_internal.h"

namespace {

constexpr int kTopFolders = 100;
constexpr int kSubFolders = 19;  // 100 + 100 * 19 = 2,000 folders
constexpr int kFilesPerFolder = 10;  // 20,000 files

bool MakeFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(file, "lumeno bench data", 17, &written, nullptr);
  CloseHandle(file);
  return true;
}

bool FillFolder(const std::string& folder) {
  if (!CreateDirectoryA(folder.c_str(), nullptr)) return false;
  for (int f = 0; f < kFilesPerFolder; ++f)
    if (!MakeFile(folder + "\\file" + std::to_string(f) + ".tmp")) return false;
  return true;
}

bool MakeTree(const std::string& root) {
  if (!CreateDirectoryA(root.c_str(), nullptr)) return false;
  for (int t = 0; t < kTopFolders; ++t) {
    const std::string top = root + "\\top" + std::to_string(t);
    if (!FillFolder(top)) return false;
    for (int s = 0; s < kSubFolders; ++s)
      if (!FillFolder(top + "\\sub" + std::to_string(s))) return false;
  }
  return true;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool RunAndWait(std::string command_line) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

// Builds both trees, times both deletions; false when either did not finish.
bool TimeOneRun(const std::string& work, bool ours_first, double* ours_ms, double* shell_ms) {
  const std::string ours = work + "\\ours";
  const std::string shells = work + "\\shell";
  if (!MakeTree(ours) || !MakeTree(shells)) return false;
  LARGE_INTEGER start, end;
  for (int turn = 0; turn < 2; ++turn) {
    QueryPerformanceCounter(&start);
    if ((turn == 0) == ours_first) {
      lumeno::WipeFolderTree(ours, true, false);
      QueryPerformanceCounter(&end);
      *ours_ms = Milliseconds(start, end);
    } else {
      RunAndWait("cmd /c rd /s /q \"" + shells + "\"");
      QueryPerformanceCounter(&end);
      *shell_ms = Milliseconds(start, end);
    }
  }
  // Both must have done the whole job for the comparison to mean anything.
  const bool ours_done = GetFileAttributesA((ours + "\\top0").c_str()) == INVALID_FILE_ATTRIBUTES &&
                         GetFileAttributesA((ours + "\\top99").c_str()) == INVALID_FILE_ATTRIBUTES;
  const bool shell_done = GetFileAttributesA(shells.c_str()) == INVALID_FILE_ATTRIBUTES;
  RemoveDirectoryA(ours.c_str());
  return ours_done && shell_done;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
  const std::string output = argc > 2 ? argv[2] : "C:\\lumeno-test\\wipe_bench.txt";
  const std::string work = argc > 3 ? argv[3] : "C:\\lumeno-test\\wipe-bench";
  CreateDirectoryA(work.c_str(), nullptr);
  std::string ours_line, shell_line;
  char number[32];
  for (int run = 0; run < runs; ++run) {
    double ours_ms = 0, shell_ms = 0;
    if (!TimeOneRun(work, run % 2 == 0, &ours_ms, &shell_ms)) {
      std::fprintf(stderr, "wipe_bench: run %d did not complete under %s\n", run, work.c_str());
      return 2;
    }
    std::snprintf(number, sizeof number, "%.0f ", ours_ms);
    ours_line += number;
    std::snprintf(number, sizeof number, "%.0f ", shell_ms);
    shell_line += number;
  }
  RemoveDirectoryA(work.c_str());
  const std::string text = ours_line + "\n" + shell_line + "\n";
  std::fputs(text.c_str(), stdout);
  if (FILE* out = std::fopen(output.c_str(), "w")) {
    std::fputs(text.c_str(), out);
    std::fclose(out);
  }
  return 0;
}
