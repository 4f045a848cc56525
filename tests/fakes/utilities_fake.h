// Recording fakes of the utilities' own Win32 calls (utilities_fake.cpp).
//   SendMultimediaCommand   {command}
//   EnableProcessPrivilege  {privilege name}
//   RequestExitWindows      {flags, decimal}
//   OpenUrl                 {url}
#pragma once

namespace lumeno::fake {

struct UtilitiesState {
  bool privilege_result = true;
  bool exit_result = true;
  bool multimedia_result = true;
};

UtilitiesState& Utilities();
void ResetUtilities();

}  // namespace lumeno::fake
