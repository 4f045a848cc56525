# Unattended mode under Wine: "lumeno.exe /apply" with the shipped internet-café
# preset against clicking the same selection through the windows (main window,
# then the settings pages, each box by its caption, each message box answered),
# both from process start to process end. The tools the preset starts are
# recording stand-ins in both cases. tests/programs/unattended_bench.exe times
# both inside Wine, alternately.
dir=$BENCH_PREFIX/drive_c/lumeno-test
line() { tr -d '\r' <"$1" 2>/dev/null | sed -n "$2p"; }

cp "$LUMENO_ROOT/examples/网吧.ini" "$dir/cafe.ini"
rm -f "$dir/unattended_bench.txt"
bench_wine unattended_bench.exe "$BENCH_RUNS" 'C:\lumeno-test\unattended_bench.txt' 'C:\lumeno-test\cafe.ini' \
  >/dev/null 2>&1 || echo "bench: unattended_bench.exe failed" >&2
bench_row "Café preset: /apply vs clicking it, start to exit (Wine)" ms "the same selection clicked" \
  "$(line "$dir/unattended_bench.txt" 1)" "$(line "$dir/unattended_bench.txt" 2)"

# /preview of the same preset, start to exit as the host sees it (Wine's
# process start included), against /preview of a preset whose one section
# ticks nothing: the difference is planning every section, reading each value
# and counting what the cleaning items would delete. Goal: under 1 s.
printf '[%s]\r\n' "$(printf '优化' | iconv -f UTF-8 -t GBK)" >"$dir/nothing.ini"
ours=() theirs=()
for ((run = 0; run < BENCH_RUNS; run++)); do
  ours+=("$(bench_ms bench_wine 'C:\Lumeno\lumeno.exe' /apply 'C:\lumeno-test\cafe.ini' /preview \
            /log 'C:\lumeno-test\preview.log')")
  theirs+=("$(bench_ms bench_wine 'C:\Lumeno\lumeno.exe' /apply 'C:\lumeno-test\nothing.ini' /preview \
              /log 'C:\lumeno-test\preview.log')")
done
grep -q "$(printf '将执行' | iconv -f UTF-8 -t GBK)" "$dir/preview.log" 2>/dev/null ||
  echo "bench: /preview wrote no plan into preview.log" >&2
bench_row "Café preset: /preview, start to exit (Wine)" ms "/preview of a preset that ticks nothing" \
  "${ours[*]}" "${theirs[*]}"
