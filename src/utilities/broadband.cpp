#include "utilities/broadband.h"

namespace lumeno {

void CreateBroadbandEntry() {}

}  // namespace lumeno
