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
