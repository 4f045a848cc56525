#include "relocation/relocation.h"

namespace lumeno {

void RelocateUserFolders() {}
void BrowseRelocationTarget() {}

}  // namespace lumeno
