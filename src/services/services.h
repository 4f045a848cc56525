// Service start-type profiles and starting selected services.
#pragma once

namespace lumeno {

void ApplyServiceProfile();
void StartSelectedServices();

}  // namespace lumeno
