// Delay loading for the program's own trees: the libraries that showing the
// main window does not need are loaded, from the system folder, on the first
// call into one of their functions. The delay-import libraries the build makes with dlltool give
// each library a descriptor (winnt.h's ImgDelayDescr, RVA form) and each of
// its functions a thunk that calls this helper with the descriptor and the
// import address slot to fill.
#include <windows.h>
#include <delayimp.h>

#include <cstddef>
#include <cstdint>

#include "platform/declared_functions.h"
#include "platform/platform.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

// A library or function that cannot be bound ends the program with its own
// fatal error, as for the functions it looks up by name.
[[noreturn]] void CannotBind(const char* dll, ULONG_PTR entry, const char* name) {
  const lumeno::Text function =
      IMAGE_SNAP_BY_ORDINAL(entry) ? "#" + lumeno::ToText(static_cast<int32_t>(IMAGE_ORDINAL(entry))) : name;
  lumeno::FatalError(0, lumeno::ConcatTexts("无法找到指定DLL库文件“", dll, "”中的输出命令“", function, "”"));
}

// The common controls come in the version the program's manifest names,
// from the side-by-side store: a load by name is redirected there by the
// activation context, before any folder is searched. By full path the
// loader would give the system folder's older copy instead.
bool BoundByManifest(const char* dll) { return lstrcmpiA(dll, "comctl32.dll") == 0; }

}  // namespace

// Two threads may bind the same slot at once: both store the same values,
// as with the program's other functions bound by name.
extern "C" FARPROC WINAPI __delayLoadHelper2(PCImgDelayDescr descriptor, FARPROC* slot) {
  char* base = reinterpret_cast<char*>(&__ImageBase);
  const char* dll = base + descriptor->rvaDLLName;
  const size_t index = static_cast<size_t>(slot - reinterpret_cast<FARPROC*>(base + descriptor->rvaIAT));
  const ULONG_PTR entry = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->rvaINT)[index].u1.AddressOfData;
  const char* name = IMAGE_SNAP_BY_ORDINAL(entry) ? MAKEINTRESOURCEA(IMAGE_ORDINAL(entry))
                                                  : reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + entry)->Name;
  auto* module_slot = reinterpret_cast<HMODULE*>(base + descriptor->rvaHmod);
  HMODULE module = __atomic_load_n(module_slot, __ATOMIC_ACQUIRE);
  if (!module) {
    module = static_cast<HMODULE>(BoundByManifest(dll) ? LoadLibraryA(dll) : lumeno::LoadSystemLibrary(dll));
    if (!module) CannotBind(dll, entry, name);
    __atomic_store_n(module_slot, module, __ATOMIC_RELEASE);
  }
  FARPROC function = GetProcAddress(module, name);
  if (!function) CannotBind(dll, entry, name);
  __atomic_store_n(slot, function, __ATOMIC_RELEASE);
  return function;
}

// The descriptors of the delay-import libraries lie side by side (section
// .text$2); this empty one follows them (.text$3 sorts next) and ends the
// table, as the delay-import directory requires. The build keeps it
// (-u LumenoDelayImportEnd) and points the directory at the table.
extern "C" __attribute__((section(".text$3"), aligned(4))) const ImgDelayDescr LumenoDelayImportEnd = {};
