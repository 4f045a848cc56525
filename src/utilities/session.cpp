#include "utilities/session.h"

namespace lumeno {

void LogOff() {}
void Restart() {}
void ShutDown() {}
void ShowAbout() {}
void OpenAuthorPage() {}

}  // namespace lumeno
