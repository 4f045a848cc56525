# One working-set trimming pass over the processes of the bench prefix: the
# CPU time of the pass's thread per process trimmed, against a pass that only
# opens and closes the same processes through the same bound functions (the
# least any pass must do), so the ratio is what trimming adds to that floor.
# tests/programs/trim_bench.exe runs 500 passes a sample on one thread and
# divides, so that the thread clock's 10 ms steps do not matter.
out=$BENCH_PREFIX/drive_c/lumeno-test/trim.txt
rm -f "$out.trim" "$out.open"
for _ in $(seq "$BENCH_RUNS"); do
  bench_wine trim_bench.exe 'C:\lumeno-test\trim.txt.trim' trim 500 >/dev/null 2>&1
  bench_wine trim_bench.exe 'C:\lumeno-test\trim.txt.open' open-close 500 >/dev/null 2>&1
done
microseconds() { tr -d '\r' <"$1" 2>/dev/null | awk '{printf "%.1f ", $1 * 1000}'; }
echo "bench: each pass opened $(tr -d '\r' <"$out.trim" 2>/dev/null | awk '{print $3}' | sort -u | tr '\n' ' ')processes" >&2
bench_row "Trimming pass: CPU µs per process trimmed (Wine)" count "open + close only" \
  "$(microseconds "$out.trim")" "$(microseconds "$out.open")"
