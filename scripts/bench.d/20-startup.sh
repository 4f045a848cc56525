# Start-up under Wine (warm wineserver): from CreateProcess to the main window
# shown, and the working set once the program is idle, against two floors:
# main_window_floor.exe, which makes the same main window (frame, menu, icons,
# group box, controls, fonts) with plain CreateWindowEx calls and nothing
# else, and the minimal window program. tests/programs/bench_probe.exe does
# the timing inside Wine; the three run alternately.
# Another row file may set these first to measure another build the same way:
#   STARTUP_TOOLS     Windows folder holding bench_probe.exe and the two floors
#   STARTUP_PROGRAM   the lumeno.exe to start
#   STARTUP_ARCH      the build's name (win32), shown in the measure and comparison names
tools=${STARTUP_TOOLS:-'C:\lumeno-test'}
program=${STARTUP_PROGRAM:-'C:\Lumeno\lumeno.exe'}
arch=${STARTUP_ARCH:-}
out=$BENCH_PREFIX/drive_c/lumeno-test/startup.txt
probe() {  # probe NAME TITLE PATH
  bench_wine "$tools\bench_probe.exe" "C:\\lumeno-test\\startup.txt.$1" "$2" "$3" >/dev/null 2>&1
}
# One start of each first, not counted: it brings up Wine's desktop process.
for name in warmup.lumeno warmup.floor warmup.minimal; do rm -f "$out.$name"; done
probe warmup.minimal MinimalWindow "$tools\minimal_window.exe"
probe warmup.floor Lumeno1.1 "$tools\main_window_floor.exe"
probe warmup.lumeno Lumeno1.1 "$program"
for kind in lumeno floor minimal; do rm -f "$out.$kind"; done
for _ in $(seq "$BENCH_RUNS"); do
  probe lumeno Lumeno1.1 "$program"
  probe floor Lumeno1.1 "$tools\main_window_floor.exe"
  probe minimal MinimalWindow "$tools\minimal_window.exe"
done
for kind in lumeno floor minimal; do
  echo "bench: ${arch:+$arch }$kind: $(tr -d "\r" <"$out.$kind" 2>/dev/null | tr "\n" " ")" >&2
done
field() { tr -d '\r' <"$1" 2>/dev/null | awk -v f="$2" '$1 ~ /^[0-9.]+$/ {print $f}' | tr '\n' ' '; }
kilobytes() { field "$1" 2 | awk '{for (i = 1; i <= NF; i++) printf "%.0f ", $i / 1024}'; }
for kind in lumeno floor; do
  grep -q timeout "$out.$kind" 2>/dev/null && echo "bench: ${arch:+$arch }$kind: no window titled Lumeno1.1 showed up" >&2
done
for floor in main_window_floor minimal_window; do
  kind=$([[ $floor == main_window_floor ]] && echo floor || echo minimal)
  bench_row "Start-up to main window (${arch:+$arch, }Wine)" ms "$floor.exe${arch:+ ($arch)}" \
    "$(field "$out.lumeno" 1)" "$(field "$out.$kind" 1)"
  bench_row "Working set after start-up (${arch:+$arch, }Wine)" KB "$floor.exe${arch:+ ($arch)}" \
    "$(kilobytes "$out.lumeno")" "$(kilobytes "$out.$kind")"
done
