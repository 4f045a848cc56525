#include "utilities/tool_launchers.h"

namespace lumeno {

void LaunchTool(uint32_t) {}
void EjectCdTray() {}
void CloseCdTray() {}

}  // namespace lumeno
