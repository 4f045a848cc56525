// The two system queries behind QueryMemoryMB (Win32 only). QueryMemoryMB
// decides once which one to use; the Win32 tests compare them.
#pragma once

namespace lumeno {

// GlobalMemoryStatus, through the DeclaredFunction table.
int QueryBasicMemoryMB(int kind);
// GlobalMemoryStatusEx, looked up by name; -1 when the system lacks it.
int QueryExtendedMemoryMB(int kind);

}  // namespace lumeno
