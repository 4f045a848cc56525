// Recording fake of the memory queries (memory_win32.cpp).
//   QueryMemoryMB {kind}
#pragma once

#include <map>

namespace lumeno::fake {

// The figure QueryMemoryMB answers for each kind; kinds not set answer 0.
std::map<int, int>& MemoryFigures();

}  // namespace lumeno::fake
