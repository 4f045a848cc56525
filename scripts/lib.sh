# Shared by scripts/run, scripts/test and scripts/bench: installs what is
# missing, builds the three trees and makes sealed Wine prefixes.
# Source it; it defines functions and the paths below and changes nothing else.

LUMENO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
LUMENO_BUILD=${LUMENO_BUILD:-$LUMENO_ROOT/build}
LUMENO_JOBS=${LUMENO_JOBS:-2}

# Debian 12 packages the builds and the Wine bench need (fonts-wine, which
# holds Marlett for the prefixes, is only recommended by Wine: named here for
# machines that install no recommended packages). wine32:i386 runs the
# 32-bit program (the one XP users have) and makes prefixes WoW64 ones; a
# name with ":arch" needs that architecture added to dpkg first.
LUMENO_PACKAGES=(cmake g++ make mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
                 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
                 wine wine64 wine32:i386 fonts-wine xvfb xauth x11-utils locales fonts-wqy-microhei googletest
                 libgtest-dev imagemagick clang libclang-rt-14-dev python3)
LUMENO_LOCALE=zh_CN.UTF-8
# The font the prefixes draw 宋体 (SimSun) with: fonts-wqy-microhei's
# monospaced face, which has 宋体's character widths.
LUMENO_SIMSUN_STAND_IN='WenQuanYi Micro Hei Mono'

log() { printf '== %s\n' "$*" >&2; }
die() { printf 'error: %s\n' "$*" >&2; exit 1; }

# Prints the packages of LUMENO_PACKAGES that are not installed. One dpkg-query
# for all of them: a query per package costs seconds on a busy machine.
missing_packages() {
  local installed
  # dpkg-query exits 1 when it has never heard of one of the names (wine32:i386
  # on a machine without i386): the others are still listed, and under the
  # callers' set -e and pipefail that status must not end the listing.
  installed=$(dpkg-query -W -f='${Package} ${Package}:${Architecture} ${Status}\n' "${LUMENO_PACKAGES[@]}" 2>/dev/null |
              awk '/ install ok installed$/ {print $1; print $2}') || true
  local p
  for p in "${LUMENO_PACKAGES[@]}"; do
    grep -qxF -- "$p" <<<"$installed" || printf '%s\n' "$p"
  done
}

# The architectures the missing packages need that dpkg does not know yet.
missing_architectures() {
  local known p arch
  known=" $(dpkg --print-architecture) $(dpkg --print-foreign-architectures | tr '\n' ' ') all "
  for p in "$@"; do
    [[ $p == *:* ]] || continue
    arch=${p##*:}
    [[ $known == *" $arch "* ]] && continue
    printf '%s\n' "$arch"
    known+="$arch "
  done
}

locale_present() { locale -a 2>/dev/null | grep -qix 'zh_CN\.utf8'; }

# Installs missing packages and generates the zh_CN.UTF-8 locale. Does nothing
# (and asks no package server) when all is present already.
ensure_environment() {
  local missing architectures
  mapfile -t missing < <(missing_packages)
  if ((${#missing[@]} == 0)) && locale_present; then return 0; fi
  mapfile -t architectures < <(missing_architectures "${missing[@]}")

  local sudo=()
  if ((EUID != 0)); then
    if command -v sudo >/dev/null; then
      sudo=(sudo)
    else
      echo "Some packages or the zh_CN.UTF-8 locale are missing. As root, run:" >&2
      local arch
      for arch in "${architectures[@]}"; do echo "  dpkg --add-architecture $arch" >&2; done
      echo "  apt-get update && apt-get install -y ${missing[*]:-locales} && sed -i 's/^# *\\(zh_CN.UTF-8 UTF-8\\)/\\1/' /etc/locale.gen && locale-gen" >&2
      exit 1
    fi
  fi
  if ((${#missing[@]})); then
    log "installing: ${missing[*]}"
    local arch
    for arch in "${architectures[@]}"; do
      log "adding the $arch architecture to dpkg"
      "${sudo[@]}" dpkg --add-architecture "$arch"
    done
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
  fi
  if ! locale_present; then
    log "generating the $LUMENO_LOCALE locale"
    if grep -q '^# *zh_CN.UTF-8 UTF-8' /etc/locale.gen; then
      "${sudo[@]}" sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    elif ! grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen; then
      echo 'zh_CN.UTF-8 UTF-8' | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
    fi
    "${sudo[@]}" locale-gen >/dev/null
    locale_present || die "the $LUMENO_LOCALE locale could not be generated"
  fi
}

# configure_tree DIR [cmake args...]: configures once; later runs only build.
# A tree configured with other arguments (an older layout) is made anew.
configure_tree() {
  local dir=$1; shift
  local wanted="$*"
  if [[ -f $dir/CMakeCache.txt && $(cat "$dir/.lumeno-configure" 2>/dev/null) != "$wanted" ]]; then
    log "reconfiguring $dir"
    rm -rf "$dir"
  fi
  if [[ ! -f $dir/CMakeCache.txt ]]; then
    cmake -S "$LUMENO_ROOT" -B "$dir" "$@" >/dev/null || die "configuring $dir failed"
    printf '%s' "$wanted" >"$dir/.lumeno-configure"
  fi
}

build_tree() {  # build_tree DIR [targets...]
  local dir=$1; shift
  log "building ${dir#"$LUMENO_ROOT"/} ${*:-(all)}"
  cmake --build "$dir" -j "$LUMENO_JOBS" ${1:+--target "$@"}
}

# The program as it ships (win32 thread model), and the floor it is compared with.
build_win64() {
  configure_tree "$LUMENO_BUILD/win64" -DCMAKE_TOOLCHAIN_FILE="$LUMENO_ROOT/cmake/mingw-x86_64.cmake"
  if (($#)); then build_tree "$LUMENO_BUILD/win64" "$@"; else build_tree "$LUMENO_BUILD/win64" lumeno program_minimal_window; fi
}

# The 32-bit program: the one Windows XP users run.
build_win32() {
  configure_tree "$LUMENO_BUILD/win32" -DCMAKE_TOOLCHAIN_FILE="$LUMENO_ROOT/cmake/mingw-i686.cmake"
  if (($#)); then build_tree "$LUMENO_BUILD/win32" "$@"; else build_tree "$LUMENO_BUILD/win32" lumeno program_minimal_window; fi
}

# The Win32 and end-to-end test executables and the helper programs (posix
# thread model, which GoogleTest needs), one tree per architecture: a program
# is driven and read back by tools of its own width.
#   build_test_tree ARCH TOOLCHAIN [targets...]   (default target: lumeno_wine_tests)
build_test_tree() {
  local dir=$LUMENO_BUILD/$1-tests toolchain=$2; shift 2
  configure_tree "$dir" -DCMAKE_TOOLCHAIN_FILE="$LUMENO_ROOT/cmake/$toolchain.cmake" -DLUMENO_THREAD_MODEL=posix
  if (($#)); then build_tree "$dir" "$@"; else build_tree "$dir" lumeno_wine_tests; fi
}
build_win64_tests() { build_test_tree win64 mingw-x86_64 "$@"; }
build_win32_tests() { build_test_tree win32 mingw-i686 "$@"; }

build_native() {  # build_native [targets...]
  configure_tree "$LUMENO_BUILD/native" -DLUMENO_WIN64_DIR="$LUMENO_BUILD/win64" \
    -DLUMENO_WIN64_TESTS_DIR="$LUMENO_BUILD/win64-tests" -DLUMENO_WIN32_DIR="$LUMENO_BUILD/win32" \
    -DLUMENO_WIN32_TESTS_DIR="$LUMENO_BUILD/win32-tests"
  build_tree "$LUMENO_BUILD/native" "$@"
}

# Whether this machine runs 32-bit programs. Some kernels are built with
# the 32-bit emulation switched off (dmesg: "32-bit emulation disabled");
# there Wine's 32-bit loader, which plain "wine" is once wine32 is
# installed, cannot start at all.
runs_32bit_programs() {
  if [[ -z ${LUMENO_RUNS_32BIT:-} ]]; then
    LUMENO_RUNS_32BIT=no
    [[ -x /usr/lib/wine/wine ]] && /usr/lib/wine/wine --version >/dev/null 2>&1 && LUMENO_RUNS_32BIT=yes
    export LUMENO_RUNS_32BIT
  fi
  [[ $LUMENO_RUNS_32BIT == yes ]]
}

# Wine, always with a sealed prefix: callers set WINEPREFIX through
# wine_env PREFIX, which also points HOME into the project.
wine_env() {
  export WINEPREFIX=$1 HOME=$1.home WINEDEBUG=-all LC_ALL=$LUMENO_LOCALE LANG=$LUMENO_LOCALE
  # winedbg off: a crash ends the process at once instead of waiting in a debugger.
  export WINEDLLOVERRIDES='winemenubuilder.exe=d;mscoree=d;mshtml=d;winebrowser.exe=d;winedbg.exe=d'
  export WINEARCH=win64
  unset DISPLAY_LOCK 2>/dev/null || true
  # Without 32-bit programs, "wine" and "wineboot" (and every script that
  # calls them) use the 64-bit loader; the prefix is the same WoW64 one.
  if ! runs_32bit_programs && [[ -x /usr/lib/wine/wine64 ]]; then
    local shim=$LUMENO_BUILD/wine/loader64
    if [[ ! -x $shim/wineboot ]]; then
      mkdir -p "$shim"
      printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/wine"
      printf '#!/bin/sh\nexec /usr/lib/wine/wine64 wineboot "$@"\n' >"$shim/wineboot"
      chmod +x "$shim/wine" "$shim/wineboot"
    fi
    [[ :$PATH: == *":$shim:"* ]] || export PATH=$shim:$PATH
  fi
}

# wine_font FILE: the path of one of Wine's own fonts (marlett.ttf...), from
# the fonts folder of whichever Wine build is installed; fails when none has it.
wine_font() {
  local folder
  for folder in /usr/share/wine/fonts /usr/lib/wine/fonts /usr/local/share/wine/fonts /opt/wine*/share/wine/fonts; do
    [[ -f $folder/$1 ]] && { printf '%s\n' "$folder/$1"; return 0; }
  done
  return 1
}

# copy_template TEMPLATE DEST: a throwaway prefix. The system folders
# (system32, winsxs and, in a WoW64 prefix, syswow64: 1.2 GB of Wine's DLLs,
# which nothing writes) are hard-linked, the rest (30 MB) copied, so a copy
# costs a few tenths of a second instead of seconds of disk writes.
# template_damaged PREFIX afterwards names any shared file written meanwhile.
LUMENO_SHARED_FOLDERS=(drive_c/windows/system32 drive_c/windows/syswow64 drive_c/windows/winsxs)
copy_template() {
  local from=$1 to=$2 folder
  mkdir -p "$to" || return 1
  tar -C "$from" "${LUMENO_SHARED_FOLDERS[@]/#/--exclude=./}" -cf - . | tar -C "$to" -xf - || return 1
  for folder in "${LUMENO_SHARED_FOLDERS[@]}"; do
    [[ -d $from/$folder ]] || continue
    cp -al "$from/$folder" "$to/${folder%/*}/" || return 1
  done
}

template_damaged() {
  local folder
  for folder in "${LUMENO_SHARED_FOLDERS[@]}"; do
    [[ -d $1/$folder ]] && find "$1/$folder" -type f -links +1 -newer "$1/.lumeno-sealed" 2>/dev/null
  done | head -n 5
}

# The pictures in docs/ and the end-to-end screenshots they are taken from
# (build/screenshots/<shot>.png; the settings pages in tab order).
declare -A LUMENO_PICTURES=(
  [main_window]=main-window
  [settings_page_0]=settings-display
  [settings_page_1]=settings-services
  [settings_page_2]=settings-relocation
  [settings_page_3]=settings-cleanup
  [settings_page_4]=settings-tools
)

# warn_stale_pictures: names the pictures in docs/ that this run's screenshots
# no longer match (only those the run took).
warn_stale_pictures() {
  local shot fresh
  for shot in "${!LUMENO_PICTURES[@]}"; do
    fresh=$LUMENO_BUILD/screenshots/$shot.png
    [[ -f $fresh && $fresh -nt $LUMENO_BUILD/.test-started ]] || continue
    pictures_differ "$LUMENO_ROOT/docs/${LUMENO_PICTURES[$shot]}.png" "$fresh" &&
      log "warning: docs/${LUMENO_PICTURES[$shot]}.png no longer shows the program; run scripts/screenshots"
  done
  return 0
}

# pictures_differ COMMITTED FRESH: true when the two pictures differ by more
# than font rendering would: another size, or more than 0.5 % of the pixels
# changed beyond a 10 % colour fuzz (anti-aliased glyph edges stay within it).
pictures_differ() {
  [[ -f $1 && -f $2 ]] || return 0
  local size_a size_b changed
  size_a=$(identify -format '%w %h' "$1") size_b=$(identify -format '%w %h' "$2")
  [[ $size_a == "$size_b" ]] || return 0
  changed=$(compare -metric AE -fuzz 10% "$1" "$2" null: 2>&1 >/dev/null) || true
  changed=${changed%%.*}
  [[ $changed =~ ^[0-9]+$ ]] || return 0
  local width=${size_a% *} height=${size_a#* }
  ((changed * 200 > width * height))
}
