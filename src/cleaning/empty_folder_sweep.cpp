// The main window's "空文件夹清理": a batch script that removes empty folders
// on C: to G:, talking to the user in its own console window.
#include "cleaning/empty_folder_sweep.h"

#include "cleaning/cleanup_scripts.h"
#include "plan/command.h"
#include "platform/platform.h"

namespace lumeno {
namespace {

static const char* const kSweepScriptName = R"(\这里填你要写入的文件.bat)";
static const char* const kSweepScript[] = {
    R"(@echo 欢迎使用批量处理空文件夹1.0版！)",
    R"(@pause)",
    R"(@echo 清理C盘)",
    R"(dir c: /ad /b /s |sort /r >>c:kill.txt)",
    R"(For /f %%i in (c:kill.txt) DO rd %%i)",
    R"(echo y |del c:kill.txt)",
    R"(@echo 清理D盘)",
    R"(@pause)",
    R"(dir d: /ad /b /s |sort /r >>d:kill.txt)",
    R"(For /f %%i in (d:kill.txt) DO rd %%i)",
    R"(echo y |del d:kill.txt)",
    R"(@echo 清理E盘)",
    R"(@pause)",
    R"(dir e: /ad /b /s |sort /r >>e:kill.txt)",
    R"(For /f %%i in (e:kill.txt) DO rd %%i)",
    R"(echo y |del e:kill.txt)",
    R"(@echo 清理F盘)",
    R"(@pause)",
    R"(dir f: /ad /b /s |sort /r >>f:kill.txt)",
    R"(For /f %%i in (f:kill.txt) DO rd %%i)",
    R"(echo y |del f:kill.txt)",
    R"(@echo 清理G盘)",
    R"(@pause)",
    R"(dir g: /ad /b /s |sort /r >>g:kill.txt)",
    R"(For /f %%i in (g:kill.txt) DO rd %%i)",
    R"(echo y |del g:kill.txt)",
    R"(@echo 清理完毕，谢谢使用)",
};

// The script stays in the program's directory after the run; the user answers
// its pauses in the visible console window, which is also where it reports.
// So the sweep says nothing when it ran, and speaks only when its script
// could not be written (it is not run then: what sits at the path is not this
// script) or could not be started. No attributes are changed afterwards: the
// script is left as written, and a file of this name in C:\ that the sweep
// did not write is none of its business.
Plan PlanEmptyFolderSweep(const Selection&) {
  const Text path = ConcatTexts(ProgramDirectory(), kSweepScriptName);
  PlanBuilder plan;
  plan.RunScript(path, CleanupScriptBytes(kSweepScript), FileWriteMode::kPlain, WindowMode::kNormal);
  return plan.Finish();
}

}  // namespace

const Command kEmptyFolderSweepCommand = {"空文件夹清理", nullptr, "", kDefaultMessageTitle, PlanEmptyFolderSweep,
                                          true};

void RunEmptyFolderSweep() { RunCommandInWindow(kEmptyFolderSweepCommand); }

}  // namespace lumeno
