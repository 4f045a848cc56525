#!/bin/bash
# dist_test.sh BUILD_ROOT: packs the release from the programs this run tested
# (scripts/dist --no-build) into BUILD_ROOT/dist-test and checks the zip.
# dist_test.sh --rebuild BUILD_ROOT: what someone checking a release against
# its source does. Copies the sources to another folder (under
# BUILD_ROOT/repro), builds both programs there from scratch without ccache,
# packs that zip, and requires the programs and the zip to be byte for byte
# the tested ones.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
rebuild=0
if [[ ${1:-} == --rebuild ]]; then rebuild=1; shift; fi
build=$(realpath "${1:?usage: dist_test.sh [--rebuild] BUILD_ROOT}")

if ((!rebuild)); then
  out=$build/dist-test
  rm -rf "$out"
  zip=$(LUMENO_BUILD=$build "$root/scripts/dist" --no-build "$out")
  exec python3 "$root/tests/release/check_dist.py" "$zip" "$build/win32/lumeno.exe" "$build/win64/lumeno.exe" \
    "$root/docs/使用说明.txt" "$root/examples"
fi

# Another name and depth for both the sources and the trees, so that a path
# that reaches the bytes shows up as a difference.
repro=$build/repro
elsewhere=$repro/checked-out-elsewhere
other=$elsewhere/out
rm -rf "$repro"
mkdir -p "$elsewhere"
# The files a checkout has: tracked and not ignored, as they are now.
git -C "$root" ls-files -z --cached --others --exclude-standard |
  tar -C "$root" --null -T - --ignore-failed-read -cf - 2>/dev/null | tar -C "$elsewhere" -xf -
start=$SECONDS
if ! (
  unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
  export LUMENO_BUILD=$other
  source "$elsewhere/scripts/lib.sh"
  for tree in win64:mingw-x86_64 win32:mingw-i686; do
    configure_tree "$LUMENO_BUILD/${tree%%:*}" -DCMAKE_TOOLCHAIN_FILE="$LUMENO_ROOT/cmake/${tree#*:}.cmake" \
      -DLUMENO_PROGRAM_ONLY=ON
    build_tree "$LUMENO_BUILD/${tree%%:*}" lumeno
  done
) >"$repro/build.log" 2>&1; then
  tail -n 30 "$repro/build.log"
  exit 1
fi
echo "both programs rebuilt in $((SECONDS - start)) s"
tested_zip=$(LUMENO_BUILD=$build "$root/scripts/dist" --no-build "$repro/dist-tested")
rebuilt_zip=$(LUMENO_BUILD=$other "$elsewhere/scripts/dist" --no-build "$repro/dist-rebuilt")

# same TESTED REBUILT: byte for byte; otherwise how many bytes differ, the
# first offsets, and where a PE header's time stamp and checksum lie.
status=0
same() {
  if cmp -s "$1" "$2"; then echo "same: ${2#"$repro"/} ($(stat -c %s "$2") bytes)"; return; fi
  status=1
  local diff pe
  diff=$(cmp -l "$1" "$2" | awk '{print $1 - 1}') || true
  echo "FAIL: ${2#"$repro"/} differs from $1 in $(wc -l <<<"$diff") bytes, at offsets $(head -n 8 <<<"$diff" | tr '\n' ' ')"
  if [[ $(head -c 2 "$1") == MZ ]]; then
    pe=$(od -An -tu4 -j 60 -N 4 "$1" | tr -d ' ')
    echo "      (its PE header: time stamp at $((pe + 8)), checksum at $((pe + 88)))"
  fi
}
same "$build/win64/lumeno.exe" "$other/win64/lumeno.exe"
same "$build/win32/lumeno.exe" "$other/win32/lumeno.exe"
same "$tested_zip" "$rebuilt_zip"
exit "$status"
