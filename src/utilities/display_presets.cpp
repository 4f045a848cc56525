#include "utilities/display_presets.h"

namespace lumeno {

void ApplyResolutionPreset() {}
void ShowCurrentDisplayMode() {}

}  // namespace lumeno
