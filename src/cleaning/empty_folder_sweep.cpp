#include "cleaning/empty_folder_sweep.h"

namespace lumeno {

void RunEmptyFolderSweep() {}

}  // namespace lumeno
