#!/bin/sh
# What Wine cannot make from the Windows side is made here, in the test's own
# prefix: inside the temporary folder the hostile tests hand the program,
#  - outside-link, a symbolic link to the folder "outside" beside it;
#  - deep\level1-0…0\…\level6-0…0\deep-file.txt, a path of about 400 bytes,
#    far deeper than MAX_PATH;
#  - smile-😀.tmp and 한국어.tmp, names no ANSI code page can spell (Wine
#    keeps names as UTF-8 on this side).
# hostile_test.cpp builds the same names (kDeepLevels, kDeepLevelDigits).
#   hostile_test.setup.sh PREFIX
set -eu
root="$1/drive_c/lumeno-test/hostile"
mkdir -p "$root/temp" "$root/outside"
ln -s ../outside "$root/temp/outside-link"

deep="$root/temp/deep"
for level in 1 2 3 4 5 6; do
  deep="$deep/level$level-$(printf '%050d' 0)"
done
mkdir -p "$deep"
printf 'deep file bytes\r\n' >"$deep/deep-file.txt"
printf 'emoji\r\n' >"$root/temp/smile-😀.tmp"
printf 'hangul\r\n' >"$root/temp/한국어.tmp"
