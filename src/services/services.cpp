#include "services/services.h"

namespace lumeno {

void ApplyServiceProfile() {}
void StartSelectedServices() {}

}  // namespace lumeno
