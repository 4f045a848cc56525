// The broadband dial-up entry.
#pragma once

namespace lumeno {

void CreateBroadbandEntry();

}  // namespace lumeno
