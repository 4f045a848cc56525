// Relocation of the user's folders.
#pragma once

namespace lumeno {

void RelocateUserFolders();
void BrowseRelocationTarget();

}  // namespace lumeno
