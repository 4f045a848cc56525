// The empty-folder sweep script of MainWindow.
#pragma once

#include "plan/command.h"

namespace lumeno {

// 按钮3 "空文件夹清理": writes the sweep script beside the program and runs it
// in a console window of its own.
extern const Command kEmptyFolderSweepCommand;

void RunEmptyFolderSweep();

}  // namespace lumeno
