# Executable sizes against a minimal window program built by the same
# toolchain with the same flags (tests/programs/minimal_window.cpp).
for arch in win64 win32; do
  bench_row "Executable size ($arch)" bytes "minimal_window.exe ($arch)" \
    "$(stat -c %s "$LUMENO_BUILD/$arch/lumeno.exe")" \
    "$(stat -c %s "$LUMENO_BUILD/$arch/tests/programs/minimal_window.exe")"
done
