// System cleanup items of the settings page "清系统".
#pragma once

namespace lumeno {

void RunSystemCleanup();
void SelectAllCleanupItems();

}  // namespace lumeno
