#!/bin/bash
# xp_compatibility.sh [--delay-loaded DLL,...] EXE...: lists every DLL and
# function each executable imports, ordinary imports and delay-loaded ones
# (data directory 13) alike, and fails when one would not load on Windows XP:
#  - a DLL that is not one of XP's own system DLLs, or any api-ms-win-* set;
#  - a function from the list below of well-known functions XP lacks (the
#    build hides newer declarations, but a library can still bring them in);
#  - a subsystem version newer than XP's: 5.01 for PE32, 5.02 for PE32+.
# With --delay-loaded, it also fails when a named DLL is an ordinary import
# or missing from the delay-import directory.
set -uo pipefail

delay_loaded=
if [[ ${1:-} == --delay-loaded ]]; then
  delay_loaded=" ${2//,/ } "
  delay_loaded=${delay_loaded,,}
  shift 2
fi

# Windows XP (and XP x64) system DLLs a Win32 program may import.
XP_DLLS=" advapi32.dll comctl32.dll comdlg32.dll crypt32.dll dbghelp.dll gdi32.dll gdiplus.dll imagehlp.dll
 imm32.dll iphlpapi.dll kernel32.dll mpr.dll msimg32.dll msvcrt.dll mswsock.dll netapi32.dll ntdll.dll
 ole32.dll oleacc.dll oleaut32.dll oledlg.dll olepro32.dll powrprof.dll psapi.dll rasapi32.dll rpcrt4.dll
 secur32.dll setupapi.dll shell32.dll shfolder.dll shlwapi.dll urlmon.dll user32.dll userenv.dll
 uxtheme.dll version.dll wininet.dll winmm.dll winspool.drv ws2_32.dll wsock32.dll wtsapi32.dll "

# Functions added after XP that toolchain libraries are known to import.
NEWER_FUNCTIONS=" GetTickCount64 InitializeSRWLock AcquireSRWLockExclusive AcquireSRWLockShared
 ReleaseSRWLockExclusive ReleaseSRWLockShared TryAcquireSRWLockExclusive TryAcquireSRWLockShared
 InitializeConditionVariable SleepConditionVariableCS SleepConditionVariableSRW WakeConditionVariable
 WakeAllConditionVariable InitOnceExecuteOnce InitOnceBeginInitialize InitOnceComplete
 CreateSymbolicLinkA CreateSymbolicLinkW GetFinalPathNameByHandleA GetFinalPathNameByHandleW
 CreateEventExA CreateEventExW CreateMutexExA CreateMutexExW CreateSemaphoreExA CreateSemaphoreExW
 GetFileInformationByHandleEx SetFileInformationByHandle QueryFullProcessImageNameA
 QueryFullProcessImageNameW GetErrorMode SetThreadErrorMode GetThreadErrorMode CancelIoEx
 GetLocaleInfoEx GetUserDefaultLocaleName LCMapStringEx CompareStringEx CompareStringOrdinal
 FlsAlloc FlsFree FlsGetValue FlsSetValue GetCurrentProcessorNumber GetSystemTimePreciseAsFileTime
 RegGetValueA RegGetValueW RegDeleteTreeA RegDeleteTreeW RegSetKeyValueA RegSetKeyValueW
 RegDeleteKeyExA RegDeleteKeyExW RegDeleteKeyValueA RegDeleteKeyValueW
 SHGetKnownFolderPath SHCreateItemFromParsingName SetProcessDPIAware ChangeWindowMessageFilter
 ChangeWindowMessageFilterEx GetDpiForWindow SetProcessDpiAwarenessContext
 WerRegisterRuntimeExceptionModule GetProductInfo Wow64DisableWow64FsRedirection
 Wow64RevertWow64FsRedirection "

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for exe in "$@"; do
  if [[ ! -f $exe ]]; then fail "$exe is not built"; continue; fi
  dump=$(x86_64-w64-mingw32-objdump -p "$exe" 2>/dev/null) || { fail "objdump cannot read $exe"; continue; }
  format=$(printf '%s\n' "$dump" | sed -n 's/.*file format \(pei-[a-z0-9-]*\).*/\1/p' | head -n1)
  major=$(printf '%s\n' "$dump" | awk '$1 == "MajorSubsystemVersion" {print $2}')
  minor=$(printf '%s\n' "$dump" | awk '$1 == "MinorSubsystemVersion" {print $2}')
  if [[ $format == pei-x86-64 ]]; then limit=502; else limit=501; fi
  echo "== $exe ($format, subsystem version $major.$(printf %02d "$minor"))"
  ((major * 100 + minor <= limit)) || fail "$exe: subsystem version $major.$minor is newer than XP's"

  # objdump lists each DLL ("DLL Name: X") followed by its functions (hint,
  # name); delay_imports.py prints the delay-import directory the same way.
  check_imports() {  # check_imports KIND < listing; sets the global "seen"
    local kind=$1 current= line name
    seen=" "
    while IFS= read -r line; do
      if [[ $line =~ DLL\ Name:\ (.*)$ ]]; then
        current=${BASH_REMATCH[1],,}
        seen+="$current "
        echo "  $current${kind:+ ($kind)}"
        [[ $current == api-ms-win-* ]] && fail "$exe imports the API set $current"
        [[ $XP_DLLS == *" $current "* ]] || fail "$exe imports $current, which is not an XP system DLL"
      elif [[ -n $current && $line =~ ^[[:space:]]+[0-9a-f]+[[:space:]]+([0-9]+)[[:space:]]+([A-Za-z_][A-Za-z0-9_@]*)$ ]]; then
        name=${BASH_REMATCH[2]}
        echo "    $name"
        [[ $NEWER_FUNCTIONS == *" $name "* ]] && fail "$exe imports $name from $current, which XP lacks"
      elif [[ -z $line ]]; then
        current=
      fi
    done
  }
  check_imports "" < <(printf '%s\n' "$dump" | sed -n '/^The Import Tables/,/^The Export Tables\|^The Function Table\|^PE File Base Relocations/p')
  ordinary=$seen
  delay_listing=$(python3 "$(dirname "$0")/delay_imports.py" "$exe") || { fail "$exe: unreadable delay-import directory"; continue; }
  check_imports "delay-loaded" <<<"$delay_listing"
  for dll in $delay_loaded; do
    [[ $dll == *.* ]] || dll+=.dll
    [[ $ordinary == *" $dll "* ]] && fail "$exe imports $dll at start-up instead of delay-loading it"
    [[ $seen == *" $dll "* ]] || fail "$exe does not delay-load $dll"
  done
done

if ((failures)); then echo "xp compatibility: $failures failure(s)"; exit 1; fi
echo "xp compatibility: every import and subsystem version is available on Windows XP"
