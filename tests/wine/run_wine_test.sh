#!/bin/bash
# Runs one Windows test executable under Wine in a throwaway copy of the
# sealed template prefix, then removes the copy.
#
#   run_wine_test.sh --kind win32|e2e --template DIR --work DIR --program-tree DIR
#                    --programs DIR --screens DIR [--sources DIR] TEST.exe [arguments...]
# (--program-tree: the tree holding lumeno.exe, build/win64 or build/win32, and
#  --programs: the helper programs' folder, from the test tree of the same
#  architecture; --win64 is the older name of --program-tree)
#
# Inside the copy:  C:\lumeno-test\  the test exe, every tests/programs/*.exe,
#                                    data\ (tests/data, the expected data),
#                                    screens\ (where tests save .bmp files)
#                                    and planted\ (tests/programs/planted/*.dll,
#                                    kept apart from every program)
#                   C:\lumeno-test\shipped\  the programs built in the program's own
#                                    tree like it (floors, runtime probe)
#                   C:\Lumeno\lumeno.exe   the program under test
# The test runs as C:\lumeno-test\<name>_test.exe with that folder as current
# directory, on its own Xvfb display (both kinds: message boxes and windows
# behave as on a desktop). Its screenshots become <screens>/<file>.png.
# When the sources folder holds <name>_test.setup.sh, it runs first as
# "sh <it> PREFIX" to prepare what only the Linux side can make (symbolic
# links inside drive_c, for example).
# When it holds <name>_test.env, each of its lines "WINEDLLOVERRIDES=<list>"
# adds that list to the runner's own overrides for the test and every
# program it starts: Wine takes the load order from the Unix environment a
# process starts with, which nothing on the Windows side can change. Blank
# lines and lines starting with # are skipped; any other line is an error.
# LUMENO_WINEDEBUG=<channels> (e.g. +tooltips) shows Wine's own traces of
# those channels, for finding out what Wine makes of a test.
# The exit code is the test's (124 when it ran past LUMENO_TEST_TIMEOUT, 77
# when a 32-bit test cannot run on this machine).
# LUMENO_KEEP_PREFIX=1 keeps the prefix of a failed test for a look inside.
#
# Beyond the bench contract: win32 tests get a display too; the test
# executables come from the posix trees build/win64-tests and build/win32-tests
# while lumeno.exe is the shipped one from build/win64 or build/win32; the
# 32-bit ones run in the same WoW64 prefix, where they see the 32-bit registry
# view and syswow64 as XP's only ones; a stand-in's log line starts with
# "none/<n>" instead of <n> when STARTF_USESHOWWINDOW was not set.
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib.sh"

kind= template= work= program_tree= programs= screens= sources=
while [[ $# -gt 0 && $1 == --* ]]; do
  case $1 in
    --kind) kind=$2 ;; --template) template=$2 ;; --work) work=$2 ;;
    --program-tree|--win64) program_tree=$2 ;; --programs) programs=$2 ;; --screens) screens=$2 ;; --sources) sources=$2 ;;
    *) die "unknown option $1" ;;
  esac
  shift 2
done
exe=${1:?usage: run_wine_test.sh [options] TEST.exe [args...]}; shift
[[ -f $exe ]] || die "$exe is not built (build its test tree first)"
# A program is driven and read back by tools of its own width: a 64-bit test
# would see the other registry view and System32 than a 32-bit program writes.
pe_machine() { od -An -tx2 -j $(($(od -An -tu4 -j60 -N4 "$1") + 4)) -N2 "$1" | tr -d ' '; }
for other in "$program_tree/lumeno.exe" "$programs/recorder.exe"; do
  if [[ -f $other && $(pe_machine "$exe") != $(pe_machine "$other") ]]; then
    die "$exe and $other are built for different machines"
  fi
done
[[ -f $template/.lumeno-sealed ]] || die "no sealed template at $template (ctest runs wine.template first)"
# A kernel without the 32-bit emulation starts no 32-bit program: the test is
# reported as skipped (ctest's SKIP_RETURN_CODE), never as passed.
if [[ $(pe_machine "$exe") == 014c ]] && ! runs_32bit_programs; then
  echo "skipped: this machine's kernel does not run 32-bit programs (32-bit emulation is off)"
  exit 77
fi

mkdir -p "$work" "$screens"
work=$(realpath "$work") template=$(realpath "$template") program_tree=$(realpath -m "$program_tree") screens=$(realpath "$screens")
prefix=$(mktemp -d "$work/$(basename "$exe" .exe).XXXXXX")
xvfb_pid=
cleanup() {
  local rc=$?
  WINEPREFIX=$prefix wineserver -k 2>/dev/null
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  if [[ ${LUMENO_KEEP_PREFIX:-} == 1 && $rc != 0 ]]; then
    echo "kept prefix: $prefix" >&2
  else
    rm -rf "$prefix" "$prefix.home"
  fi
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

rmdir "$prefix" && copy_template "$template" "$prefix" && mkdir -p "$prefix.home" || die "cannot copy the template"
test_dir=$prefix/drive_c/lumeno-test
mkdir -p "$test_dir/screens" "$prefix/drive_c/Lumeno"
cp "$exe" "$test_dir/"
cp "$programs"/*.exe "$test_dir/" 2>/dev/null
[[ -d $programs/planted ]] && cp -r "$programs/planted" "$test_dir/planted"
cp -r "$LUMENO_ROOT/tests/data" "$test_dir/data"
[[ -f $program_tree/lumeno.exe ]] && cp "$program_tree/lumeno.exe" "$prefix/drive_c/Lumeno/"
mkdir -p "$test_dir/shipped" && cp "$program_tree"/tests/programs/*.exe "$test_dir/shipped/" 2>/dev/null
setup=$sources/$(basename "$exe" .exe).setup.sh
if [[ -n $sources && -f $setup ]]; then
  sh "$setup" "$prefix" || die "$setup failed"
fi

# Xvfb picks a free display number itself (-displayfd) and writes it once it
# accepts connections, so parallel tests never share or race for a display.
display_file=$prefix.home/display
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$display_file" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 200); do [[ -s $display_file ]] && break; sleep 0.05; done
[[ -s $display_file ]] || die "Xvfb did not start"
export DISPLAY=:$(head -n1 "$display_file")

wine_env "$prefix"
export WINEDEBUG=${LUMENO_WINEDEBUG:-$WINEDEBUG}
env_file=$sources/$(basename "$exe" .exe).env
if [[ -n $sources && -f $env_file ]]; then
  while IFS= read -r line || [[ -n $line ]]; do
    line=${line%$'\r'}
    [[ -z $line || $line == \#* ]] && continue
    [[ $line == WINEDLLOVERRIDES=?* ]] || die "$env_file: only WINEDLLOVERRIDES lines are understood: $line"
    WINEDLLOVERRIDES+=";${line#WINEDLLOVERRIDES=}"
  done <"$env_file"
fi
cd "$test_dir"
timeout --kill-after=5 "${LUMENO_TEST_TIMEOUT:-300}" wine "./$(basename "$exe")" "$@"
rc=$?

WINEPREFIX=$prefix wineserver -k 2>/dev/null
damaged=$(template_damaged "$prefix")
if [[ -n $damaged ]]; then
  # The copy shares these files with the template: it is no longer pristine.
  echo "error: the test wrote into shared system files; the template is unsealed for a rebuild:" >&2
  echo "$damaged" >&2
  rm -f "$template/.lumeno-sealed"
  rc=1
fi

shopt -s nullglob
for bmp in "$test_dir"/screens/*.bmp; do
  png=$screens/$(basename "$bmp" .bmp).png
  convert "$bmp" "$png" && echo "screenshot: $png"
done
exit "$rc"
