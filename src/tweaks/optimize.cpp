#include "tweaks/optimize.h"

namespace lumeno {

void OptimizeWorker() {}

}  // namespace lumeno
