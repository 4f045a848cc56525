# The Optimize command under Wine.
# WipeFolderTree (the temporary-folder cleaning walk) on 20,000 small files in
# 2,000 folders against "cmd /c rd /s /q" on an identical tree, and the click
# on "开始优化" with all twenty tweaks ticked until its message box shows,
# against a bare MessageBoxA shown and timed the same way, and against the
# same program built without its restore files (lumeno_without_backup.exe).
# Before every click each value the tweaks write is set to something else, so
# every click changes them all and writes a restore file, as a first run does.
# tests/programs/wipe_bench.exe and optimize_click_bench.exe time inside Wine.
# A wipe run builds 40,000 files and Wine's rd is slow: BENCH_WIPE_RUNS
# (default 2) keeps the row affordable.
dir=$BENCH_PREFIX/drive_c/lumeno-test
line() { tr -d '\r' <"$1" 2>/dev/null | sed -n "$2p"; }

rm -f "$dir/wipe_bench.txt"
bench_wine wipe_bench.exe "${BENCH_WIPE_RUNS:-2}" 'C:\lumeno-test\wipe_bench.txt' >/dev/null 2>&1 ||
  echo "bench: wipe_bench.exe failed" >&2
bench_row "WipeFolderTree, 20,000 files in 2,000 folders (Wine)" ms "cmd /c rd /s /q" \
  "$(line "$dir/wipe_bench.txt" 1)" "$(line "$dir/wipe_bench.txt" 2)"

rm -f "$dir/optimize_click_bench.txt"
bench_wine optimize_click_bench.exe "$BENCH_RUNS" 'C:\lumeno-test\optimize_click_bench.txt' >/dev/null 2>&1 ||
  echo "bench: optimize_click_bench.exe failed" >&2
bench_row "Optimize, 20 tweaks: click to message box (Wine)" ms "bare MessageBoxA" \
  "$(line "$dir/optimize_click_bench.txt" 1)" "$(line "$dir/optimize_click_bench.txt" 2)"

rm -f "$dir/backup_bench.txt"
cp "$LUMENO_BUILD/win64/lumeno_without_backup.exe" "$BENCH_PREFIX/drive_c/Lumeno/"
bench_wine optimize_click_bench.exe "$BENCH_RUNS" 'C:\lumeno-test\backup_bench.txt' \
  'C:\Lumeno\lumeno_without_backup.exe' >/dev/null 2>&1 || echo "bench: optimize_click_bench.exe failed" >&2
bench_row "Optimize, 20 tweaks, with its restore file (Wine)" ms "without the restore file" \
  "$(line "$dir/backup_bench.txt" 1)" "$(line "$dir/backup_bench.txt" 2)"
