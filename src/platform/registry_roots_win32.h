// The registry root a root number names, for the platform layer's Win32
// files (the program's writes and the restore files read the same keys).
#pragma once

#include <windows.h>

#include "platform/platform_rules.h"

namespace lumeno {

inline HKEY RootKeyFor(int root) {
  switch (NormalizeRootNumber(root)) {
    case kRootClassesRoot: return HKEY_CLASSES_ROOT;
    case kRootCurrentConfig: return HKEY_CURRENT_CONFIG;
    case kRootLocalMachine: return HKEY_LOCAL_MACHINE;
    case kRootUsers: return HKEY_USERS;
    default: return HKEY_CURRENT_USER;
  }
}

}  // namespace lumeno
