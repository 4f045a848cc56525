# Start-up under Wine (warm wineserver): from CreateProcess to the main window
# shown, and the working set once the program is idle, against the minimal
# window program. tests/programs/bench_probe.exe does the timing inside Wine.
out=$BENCH_PREFIX/drive_c/lumeno-test/startup.txt
# One start of each first, not counted: it brings up Wine's desktop process.
bench_wine bench_probe.exe 'C:\lumeno-test\warmup.txt' 'MinimalWindow' 'C:\lumeno-test\minimal_window.exe' >/dev/null 2>&1
bench_wine bench_probe.exe 'C:\lumeno-test\warmup.txt' 'Lumeno1.1' 'C:\Lumeno\lumeno.exe' >/dev/null 2>&1
for program in lumeno minimal; do rm -f "$out.$program"; done
for _ in $(seq "$BENCH_RUNS"); do
  bench_wine bench_probe.exe 'C:\lumeno-test\startup.txt.lumeno' 'Lumeno1.1' 'C:\Lumeno\lumeno.exe' >/dev/null 2>&1
  bench_wine bench_probe.exe 'C:\lumeno-test\startup.txt.minimal' 'MinimalWindow' \
    'C:\lumeno-test\minimal_window.exe' >/dev/null 2>&1
done
field() { tr -d '\r' <"$1" 2>/dev/null | awk -v f="$2" '$1 ~ /^[0-9.]+$/ {print $f}' | tr '\n' ' '; }
grep -q timeout "$out.lumeno" 2>/dev/null && echo "bench: no window titled Lumeno1.1 showed up" >&2
bench_row "Start-up to main window (Wine)" ms "minimal_window.exe" "$(field "$out.lumeno" 1)" "$(field "$out.minimal" 1)"
bench_row "Working set after start-up (Wine)" KB "minimal_window.exe" \
  "$(field "$out.lumeno" 2 | awk '{for (i = 1; i <= NF; i++) printf "%.0f ", $i / 1024}')" \
  "$(field "$out.minimal" 2 | awk '{for (i = 1; i <= NF; i++) printf "%.0f ", $i / 1024}')"
