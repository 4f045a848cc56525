// Resolution of the functions the program binds by name at run time.
// Internal to the platform layer; the Win32 tests use it to reach the paths
// the DeclaredFunction table itself never takes (a missing export).
#pragma once

#include <string_view>

namespace lumeno {

struct ResolvedFunction {
  void* address = nullptr;
  void* module = nullptr;  // HMODULE the address came from
};

// Loads a library from the system folder (SystemLibraryPath), never from
// the program's folder nor by the search order; the libraries it needs
// itself are looked for in the system folder first too. nullptr (the
// HMODULE) when it cannot be loaded or the name is no plain file name.
void* LoadSystemLibrary(std::string_view library);

// Looks function up by the library rules: an empty library searches the
// default list ("Kernel32.dll", "Gdi32.dll", "User32.dll", "Advapi32.dll",
// "Mpr.dll", "Shell32.dll"); a named library is loaded from the system
// folder alone (LoadSystemLibrary), so a path is not loaded at all.
// "#n" names the export with ordinal n.
// A function that cannot be found is a fatal error; this never returns an
// empty address.
ResolvedFunction ResolveFunction(std::string_view library, std::string_view function);

// The cached resolution of a DeclaredFunction entry (index 0 to 5),
// resolving it on first use.
ResolvedFunction DeclaredFunctionAt(int index);

}  // namespace lumeno
