// Service start-type profiles and starting selected services.
#pragma once

#include "plan/command.h"

namespace lumeno {

extern const Command kServiceProfileCommand;  // 按钮6 "执行" of 分组框4
extern const Command kStartServicesCommand;   // 按钮7 "执行" of 分组框5

void ApplyServiceProfile();
void StartSelectedServices();

}  // namespace lumeno
