# Start-up under Wine (warm wineserver): from CreateProcess to the main window
# shown, and the working set once the program is idle, against two floors:
# main_window_floor.exe, which makes the same main window (frame, menu, icons,
# group box, controls, fonts) with plain CreateWindowEx calls and nothing
# else, and the minimal window program. tests/programs/bench_probe.exe does
# the timing inside Wine; the three run alternately.
out=$BENCH_PREFIX/drive_c/lumeno-test/startup.txt
probe() {  # probe NAME TITLE PATH
  bench_wine bench_probe.exe "C:\\lumeno-test\\startup.txt.$1" "$2" "$3" >/dev/null 2>&1
}
# One start of each first, not counted: it brings up Wine's desktop process.
for name in warmup.lumeno warmup.floor warmup.minimal; do rm -f "$out.$name"; done
probe warmup.minimal MinimalWindow 'C:\lumeno-test\minimal_window.exe'
probe warmup.floor Lumeno1.1 'C:\lumeno-test\main_window_floor.exe'
probe warmup.lumeno Lumeno1.1 'C:\Lumeno\lumeno.exe'
for program in lumeno floor minimal; do rm -f "$out.$program"; done
for _ in $(seq "$BENCH_RUNS"); do
  probe lumeno Lumeno1.1 'C:\Lumeno\lumeno.exe'
  probe floor Lumeno1.1 'C:\lumeno-test\main_window_floor.exe'
  probe minimal MinimalWindow 'C:\lumeno-test\minimal_window.exe'
done
for program in lumeno floor minimal; do echo "bench: $program: $(tr -d "\r" <"$out.$program" 2>/dev/null | tr "\n" " ")" >&2; done
field() { tr -d '\r' <"$1" 2>/dev/null | awk -v f="$2" '$1 ~ /^[0-9.]+$/ {print $f}' | tr '\n' ' '; }
kilobytes() { field "$1" 2 | awk '{for (i = 1; i <= NF; i++) printf "%.0f ", $i / 1024}'; }
for program in lumeno floor; do
  grep -q timeout "$out.$program" 2>/dev/null && echo "bench: $program: no window titled Lumeno1.1 showed up" >&2
done
bench_row "Start-up to main window (Wine)" ms "main_window_floor.exe" "$(field "$out.lumeno" 1)" "$(field "$out.floor" 1)"
bench_row "Working set after start-up (Wine)" KB "main_window_floor.exe" "$(kilobytes "$out.lumeno")" \
  "$(kilobytes "$out.floor")"
bench_row "Start-up to main window (Wine)" ms "minimal_window.exe" "$(field "$out.lumeno" 1)" "$(field "$out.minimal" 1)"
bench_row "Working set after start-up (Wine)" KB "minimal_window.exe" "$(kilobytes "$out.lumeno")" \
  "$(kilobytes "$out.minimal")"
