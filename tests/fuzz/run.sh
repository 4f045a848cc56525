#!/bin/sh
# Builds the libFuzzer targets with clang, replays every stored regression
# input, then fuzzes each target for a while. A crash keeps its input under
# tests/fuzz/regressions/<target>/ and fails the run.
#
#   tests/fuzz/run.sh [target ...]      (default: every target)
#   FUZZ_SECONDS   fuzzing time per target (default 20)
#   FUZZ_BUILD_DIR where binaries and corpora go (default build-fuzz)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
seconds=${FUZZ_SECONDS:-20}
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
cxx=${FUZZ_CXX:-$(command -v clang++-14 || command -v clang++ || true)}
[ -n "$cxx" ] || { echo "fuzz: no clang++ found" >&2; exit 1; }

# The sources each target needs besides itself. The recording fake stands in
# for the platform, as in the unit tests; every portable source of the
# platform and of the plans goes in, so that a new one needs no entry here.
fake_platform="$(cd "$root" && ls src/platform/*.cpp src/plan/*.cpp src/undo/*.cpp | grep -v '_win32\.cpp$' | tr '\n' ' ')
  tests/fakes/platform_fake.cpp tests/fakes/exact_io_fake.cpp tests/fakes/cleaning_fake.cpp"
# The preset reader reaches every window's handlers through the layouts:
# the whole portable program against every fake.
whole_program="$(cd "$root" && find src -name '*.cpp' ! -name '*_win32.cpp' | sort | tr '\n' ' ')
  $(cd "$root" && ls tests/fakes/*.cpp | tr '\n' ' ')"
sources_of() {
  case $1 in
    text) echo "src/platform/text.cpp" ;;
    relocation_target) echo "src/relocation/relocation.cpp tests/support/expected_data.cpp $fake_platform" ;;
    phonebook) echo "src/utilities/phonebook.cpp src/utilities/broadband.cpp $fake_platform" ;;
    preset) echo "$whole_program" ;;
    *) echo "fuzz: unknown target $1" >&2; exit 2 ;;
  esac
}

build_target() {
  target=$1
  binary=$build/${target}_fuzz
  files="tests/fuzz/${target}_fuzz.cpp $(sources_of "$target")"
  stale=yes
  if [ -x "$binary" ]; then
    stale=no
    for f in $files; do
      [ "$root/$f" -nt "$binary" ] && stale=yes
    done
    # Headers the sources include.
    for h in "$root"/src/*/*.h "$root"/tests/fakes/*.h "$root"/tests/support/*.h; do
      [ "$h" -nt "$binary" ] && stale=yes
    done
  fi
  [ $stale = no ] && return 0
  echo "fuzz: building $target"
  (cd "$root" && "$cxx" -std=c++20 -g -O1 -finput-charset=UTF-8 -DLUMENO_TEST_DATA="\"$root/tests/data\"" \
     -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer \
     -Isrc -Itests $files -o "$binary")
}

run_target() {
  target=$1
  binary=$build/${target}_fuzz
  regressions=$here/regressions/$target
  corpus=$build/corpus/$target
  mkdir -p "$regressions" "$corpus"
  if [ -d "$here/seeds/$target" ]; then cp -n "$here/seeds/$target"/* "$corpus"/ 2>/dev/null || true; fi
  # The example presets as each editor saves them, made from the shipped ones.
  if [ "$target" = preset ]; then
    i=0
    for f in "$root"/examples/*.ini; do
      i=$((i + 1)) && s=$corpus/example$i
      cp "$f" "$s-gbk-crlf" && tr -d '\r' <"$f" >"$s-gbk-lf" && iconv -f GBK -t UTF-8 "$f" >"$s-utf8"
      { printf '\357\273\277'; iconv -f GBK -t UTF-8 "$f" | tr -d '\n'; } >"$s-utf8-bom-cr"
      { printf '\377\376'; iconv -f GBK -t UTF-16LE "$f"; } >"$s-utf16le-bom"
    done
  fi

  # Replay: every input that once crashed must pass now.
  set -- "$regressions"/*
  if [ -e "$1" ]; then
    echo "fuzz: $target: replaying $# regression input(s)"
    "$binary" -runs=1 "$@" >"$build/$target.replay.log" 2>&1 || {
      cat "$build/$target.replay.log" >&2
      echo "fuzz: $target: a regression input fails" >&2
      return 1
    }
  fi

  echo "fuzz: $target: fuzzing for ${seconds}s"
  if ! "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
       -artifact_prefix="$regressions/" "$corpus" >"$build/$target.log" 2>&1; then
    tail -n 40 "$build/$target.log" >&2
    echo "fuzz: $target: crash; its input is kept in $regressions/" >&2
    return 1
  fi
  grep -E '^stat::number_of_executed_units' "$build/$target.log" | sed "s/^/fuzz: $target: /"
  return 0
}

[ $# -gt 0 ] || set -- text relocation_target phonebook preset
mkdir -p "$build"
status=0
for target in "$@"; do
  build_target "$target"
  run_target "$target" || status=1
done
exit $status
