// The empty-folder sweep script of MainWindow.
#pragma once

namespace lumeno {

void RunEmptyFolderSweep();

}  // namespace lumeno
