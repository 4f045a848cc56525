#!/bin/bash
# dist_test.sh BUILD_ROOT: packs the release from the programs this run tested
# (scripts/dist --no-build) into BUILD_ROOT/dist-test and checks the zip.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "${1:?usage: dist_test.sh BUILD_ROOT}")
out=$build/dist-test
rm -rf "$out"
zip=$(LUMENO_BUILD=$build "$root/scripts/dist" --no-build "$out")
python3 "$root/tests/release/check_dist.py" "$zip" "$build/win32/lumeno.exe" "$build/win64/lumeno.exe" \
  "$root/docs/使用说明.txt" "$root/examples"
