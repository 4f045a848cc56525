# Start-up and working set of the 32-bit program, the one Windows XP users
# run, against minimal_window.exe built for i686 by the program's own tree.
# The i686 probe times it: a program is measured by a tool of its own width.
build_win32_tests lumeno_test_programs >&2
mkdir -p "$BENCH_PREFIX/drive_c/lumeno-test/win32" "$BENCH_PREFIX/drive_c/Lumeno/win32"
cp "$LUMENO_BUILD/win32-tests/tests/programs/bench_probe.exe" "$LUMENO_BUILD/win32/tests/programs/minimal_window.exe" \
  "$BENCH_PREFIX/drive_c/lumeno-test/win32/"
cp "$LUMENO_BUILD/win32/lumeno.exe" "$BENCH_PREFIX/drive_c/Lumeno/win32/"
STARTUP_TOOLS='C:\lumeno-test\win32' STARTUP_PROGRAM='C:\Lumeno\win32\lumeno.exe' STARTUP_ARCH=win32
source "$LUMENO_ROOT/scripts/bench.d/20-startup.sh"
