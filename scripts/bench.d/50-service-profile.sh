# One service profile under Wine: the click on "执行" with "办公模式" selected
# until "服务优化完毕！" shows (82 sc command lines, each hidden and waited for)
# against "cmd /c" running the same 82 lines from a batch file. Both run the
# system's sc; tests/programs/service_profile_bench.exe times both inside Wine,
# alternately.
dir=$BENCH_PREFIX/drive_c/lumeno-test
line() { tr -d '\r' <"$1" 2>/dev/null | sed -n "$2p"; }

rm -f "$dir/service_profile_bench.txt"
bench_wine service_profile_bench.exe "$BENCH_RUNS" 'C:\lumeno-test\service_profile_bench.txt' >/dev/null 2>&1 ||
  echo "bench: service_profile_bench.exe failed" >&2
bench_row "Service profile, 82 sc lines: click to message box (Wine)" ms "cmd running the same lines from a batch file" \
  "$(line "$dir/service_profile_bench.txt" 1)" "$(line "$dir/service_profile_bench.txt" 2)"
# What the program adds to the processes it must wait for: the same 82 lines
# started one by one with the program's own arguments and flags (hidden,
# CREATE_NO_WINDOW, so no console of their own), from a console-less process
# like the program.
bench_row "Service profile, 82 sc lines: click to message box (Wine)" ms "the same 82 lines started by a bare loop" \
  "$(line "$dir/service_profile_bench.txt" 1)" "$(line "$dir/service_profile_bench.txt" 3)"
