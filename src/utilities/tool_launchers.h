// System tool launchers and the CD tray buttons.
#pragma once

#include <cstdint>

namespace lumeno {

// Click handler of a launcher button of the page "小工具" (按钮11 to 按钮25).
void LaunchTool(uint32_t button);
void EjectCdTray();
void CloseCdTray();

}  // namespace lumeno
