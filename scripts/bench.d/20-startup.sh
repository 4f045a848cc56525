# Start-up under Wine (warm wineserver): from CreateProcess to the main window
# shown, and the working set once the program is idle, against the minimal
# window program. tests/programs/bench_probe.exe does the timing inside Wine.
# Another row file may set these first to measure another build the same way:
#   STARTUP_TOOLS     Windows folder holding bench_probe.exe and minimal_window.exe
#   STARTUP_PROGRAM   the lumeno.exe to start
#   STARTUP_ARCH      the build's name (win32), shown in the measure and comparison names
tools=${STARTUP_TOOLS:-'C:\lumeno-test'}
program=${STARTUP_PROGRAM:-'C:\Lumeno\lumeno.exe'}
arch=${STARTUP_ARCH:-}
out=$BENCH_PREFIX/drive_c/lumeno-test/startup.txt
probe() { bench_wine "$tools\bench_probe.exe" "$@" >/dev/null 2>&1; }
# One start of each first, not counted: it brings up Wine's desktop process.
probe 'C:\lumeno-test\warmup.txt' 'MinimalWindow' "$tools\minimal_window.exe"
probe 'C:\lumeno-test\warmup.txt' 'Lumeno1.1' "$program"
for kind in lumeno minimal; do rm -f "$out.$kind"; done
for _ in $(seq "$BENCH_RUNS"); do
  probe 'C:\lumeno-test\startup.txt.lumeno' 'Lumeno1.1' "$program"
  probe 'C:\lumeno-test\startup.txt.minimal' 'MinimalWindow' "$tools\minimal_window.exe"
done
field() { tr -d '\r' <"$1" 2>/dev/null | awk -v f="$2" '$1 ~ /^[0-9.]+$/ {print $f}' | tr '\n' ' '; }
grep -q timeout "$out.lumeno" 2>/dev/null && echo "bench: no window titled Lumeno1.1 showed up" >&2
bench_row "Start-up to main window (${arch:+$arch, }Wine)" ms "minimal_window.exe${arch:+ ($arch)}" \
  "$(field "$out.lumeno" 1)" "$(field "$out.minimal" 1)"
bench_row "Working set after start-up (${arch:+$arch, }Wine)" KB "minimal_window.exe${arch:+ ($arch)}" \
  "$(field "$out.lumeno" 2 | awk '{for (i = 1; i <= NF; i++) printf "%.0f ", $i / 1024}')" \
  "$(field "$out.minimal" 2 | awk '{for (i = 1; i <= NF; i++) printf "%.0f ", $i / 1024}')"
