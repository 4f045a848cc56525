#include "cleaning/cleanup_scripts.h"

namespace lumeno {

void RunSystemCleanup() {}
void SelectAllCleanupItems() {}

}  // namespace lumeno
