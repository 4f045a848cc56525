// Junk and privacy cleaning (the six cleaning items of MainWindow).
#pragma once

namespace lumeno {

// Kinds: 0 temporary folder, 1 browser cache, 2 recycle bins.
bool CleanSystemJunk(int kind);
// Kinds: 0 typed addresses, 1 stored form passwords, 3 favorites, 9 history.
bool CleanPrivacyTraces(int kind);

}  // namespace lumeno
