// The CD tray through the multimedia command interpreter.
#include <windows.h>
#include <mmsystem.h>

#include "utilities/tool_launchers.h"

namespace lumeno {

bool SendMultimediaCommand(const Text& command) {
  return mciSendStringA(command.c_str(), nullptr, 0, nullptr) == 0;
}

}  // namespace lumeno
