#!/bin/bash
# seal_test.sh TEMPLATE WORKDIR: proves that the sealed template cannot reach
# the host's file system, before and after Wine has run in a copy of it.
#  - every symbolic link under the prefix resolves inside the prefix;
#  - following links (find -L) never leaves it;
#  - no drive letter maps the host's root or anything outside the prefix;
#  - HOME lies inside the build tree, not in the user's home;
#  - Windows reports XP and code page 936, and C:\Windows\Temp exists;
#  - it is a WoW64 prefix: the Windows-side checks hold for a 64-bit process
#    (system32's tools) and a 32-bit one (syswow64's), which sees the
#    registry's 32-bit view and syswow64 as System32, as on 32-bit XP;
#  - the system folders a copy shares with the template by hard links
#    (system32, syswow64, winsxs) are not written by a run.
# After a run Wine re-creates serial port links (dosdevices/comN -> /dev/ttyS*):
# those are character devices, not folders, and are the one exception.
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib.sh"

template=$(realpath "${1:?usage: seal_test.sh TEMPLATE WORKDIR}")
work=$(realpath -m "${2:?usage: seal_test.sh TEMPLATE WORKDIR}")
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

check_prefix() {  # check_prefix DIR PHASE ALLOW_PORTS
  local dir=$1 phase=$2 allow_ports=$3 link target count=0
  while IFS= read -r -d '' link; do
    count=$((count + 1))
    target=$(readlink -f "$link")
    case $target in
      "$dir"|"$dir"/*) continue ;;
    esac
    if [[ $allow_ports == 1 && $link == "$dir"/dosdevices/com* && -c $target ]]; then
      echo "note ($phase): serial port link $link -> $target (character device)"
      continue
    fi
    fail "($phase) $link resolves outside the prefix: $target"
  done < <(find "$dir" -type l -print0)
  echo "($phase) $count symbolic links checked"

  # find -L follows every link; any path it reports through a link must stay inside.
  local outside
  outside=$(find -L "$dir" -type d -print0 2>/dev/null |
            xargs -0 -r realpath -- 2>/dev/null | grep -v -e "^$dir\$" -e "^$dir/" | head -5)
  [[ -z $outside ]] || fail "($phase) folders reached outside the prefix: $outside"

  local drive
  for drive in "$dir"/dosdevices/*; do
    target=$(readlink -f "$drive")
    [[ $target == / ]] && fail "($phase) $(basename "$drive") maps the host's root"
    [[ $drive == */com* && $allow_ports == 1 ]] && continue
    case $target in "$dir"/*) ;; *) fail "($phase) drive $(basename "$drive") maps $target" ;; esac
  done
  [[ -e $dir/dosdevices/z: || -L $dir/dosdevices/z: ]] && fail "($phase) Z: exists"
  [[ $(readlink -f "$dir/dosdevices/c:") == "$dir/drive_c" ]] || fail "($phase) C: is not drive_c"
  [[ -d $dir/drive_c/windows/temp ]] || fail "($phase) C:\\Windows\\Temp is missing"
  # Wine fills syswow64 only where it can run its 32-bit half.
  if runs_32bit_programs; then
    [[ -f $dir/drive_c/windows/syswow64/kernel32.dll ]] || fail "($phase) no syswow64: not a WoW64 prefix"
  fi
}

check_prefix "$template" template 0

# Run Wine in a copy, as every test does, and look again.
mkdir -p "$work"
copy=$(mktemp -d "$work/seal.XXXXXX")
trap 'WINEPREFIX=$copy wineserver -k 2>/dev/null; rm -rf "$copy" "$copy.home"' EXIT
rmdir "$copy"; copy_template "$template" "$copy"; mkdir -p "$copy.home"
wine_env "$copy"
unset DISPLAY
cd "$copy/drive_c"

[[ $HOME == "$copy.home" && $HOME != "$(getent passwd "$(id -u)" | cut -d: -f6)"* ]] ||
  fail "HOME is not inside the build tree: $HOME"
# Plain "wine" is the 32-bit loader once wine32 is installed; the 64-bit one
# is started by its own name. Each tool is named by its folder, so that the
# width is the one asked for.
widths=(64)
if runs_32bit_programs; then widths+=(32); else echo "seal: 32-bit part skipped, this machine's kernel runs no 32-bit programs"; fi
for width in "${widths[@]}"; do
  if ((width == 64)); then
    loader=/usr/lib/wine/wine64 system='C:\windows\system32' architecture=AMD64
  else
    loader=wine system='C:\windows\syswow64' architecture=x86
  fi
  seen=$("$loader" "$system\cmd.exe" /c 'echo %PROCESSOR_ARCHITECTURE%' 2>/dev/null | tr -d '\r')
  [[ $seen == "$architecture" ]] || fail "($width-bit) $system\cmd.exe does not run as $architecture: '$seen'"
  "$loader" "$system\cmd.exe" /c 'dir Z:\' >/dev/null 2>&1 && fail "($width-bit) Z: is reachable from Windows"
  query() { "$loader" "$system\reg.exe" query "$@" 2>/dev/null | tr -d '\r'; }
  version=$(query 'HKCU\Software\Wine' /v Version)
  [[ $version == *winxp* ]] || fail "($width-bit) Version is not winxp: $version"
  codepage=$(query 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v ACP)
  [[ $codepage == *936* ]] || fail "($width-bit) ANSI code page is not 936: $codepage"
  menubuilder=$(query 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe)
  [[ $menubuilder == *winemenubuilder.exe* ]] || fail "($width-bit) winemenubuilder is not disabled in the registry"
done
wineserver -w
check_prefix "$copy" "after a run" 1
damaged=$(template_damaged "$copy")
[[ -z $damaged ]] || fail "a run wrote into system files shared with the template: $damaged"
# The damage check sees every shared system folder: a file written there after the
# seal, with a second link as a shared one has, is named. (Made in the copy
# only, so the template's own files stay untouched.)
for folder in drive_c/windows/system32 drive_c/windows/syswow64 drive_c/windows/winsxs; do
  probe=$copy/$folder/lumeno-seal-probe
  echo written >"$probe" && ln "$probe" "$probe.link"
  [[ $(template_damaged "$copy") == *"$folder/lumeno-seal-probe"* ]] ||
    fail "a write into $folder would go unnoticed"
  rm -f "$probe" "$probe.link"
done

if ((failures)); then echo "seal: $failures failure(s)"; exit 1; fi
echo "seal: the prefix reaches nothing outside itself"
