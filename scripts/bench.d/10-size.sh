# Executable sizes against two floors built by the same toolchain with the
# same flags and runtime: a minimal window program, and the same carrying the
# program's resources (its icons, manifest and version).
for arch in win64 win32; do
  for floor in minimal_window minimal_window_icons; do
    bench_row "Executable size ($arch)" bytes "$floor.exe ($arch)" \
      "$(stat -c %s "$LUMENO_BUILD/$arch/lumeno.exe")" \
      "$(stat -c %s "$LUMENO_BUILD/$arch/tests/programs/$floor.exe")"
  done
done
