// Relocation of the user's folders.
#pragma once

#include <string_view>

#include "platform/text.h"

namespace lumeno {

void RelocateUserFolders();
void BrowseRelocationTarget();

// The folder every relocated path is built on: the text of the target edit
// box without one trailing backslash. The backslash counts only when it is a
// character of its own, not the second byte of a double-byte GBK character.
Text RelocationTarget(std::string_view edit_text);

}  // namespace lumeno
