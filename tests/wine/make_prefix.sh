#!/bin/bash
# make_prefix.sh DIR: makes DIR a sealed WoW64 Wine prefix, which runs the
# 64-bit and the 32-bit program (once; a finished prefix carries the stamp
# file .lumeno-sealed and is left alone, unless it predates wine32 and has no
# syswow64, or predates the fonts below: then it is made anew).
#
# Sealed means nothing the program does can reach a file outside DIR: no drive
# letter maps the host, no folder links out, HOME lies beside the prefix, and
# the hooks that write into the desktop or start host programs are off.
# Windows reports itself as XP and the ANSI code page is 936.
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib.sh"

dir=${1:?usage: make_prefix.sh DIR}
dir=$(realpath -m "$dir")
# A finished template older than one of the steps below is made anew.
template_current() {
  [[ -f $dir/.lumeno-sealed && -d $dir/drive_c/windows/syswow64 && -f $dir/drive_c/windows/Fonts/marlett.ttf ]] &&
    grep -q "\"SimSun\"=\"$LUMENO_SIMSUN_STAND_IN\"" "$dir/user.reg"
}
template_current && exit 0

marlett=$(wine_font marlett.ttf) || die "Wine's Marlett font is missing (the fonts-wine package)"
locale_present || die "the $LUMENO_LOCALE locale is missing (scripts/test installs it)"

# Built under a temporary name, so that an interrupted run leaves no prefix
# that looks finished.
work=$dir.making.$$
rm -rf "$work" "$work.home"
trap 'WINEPREFIX=$work wineserver -k 2>/dev/null; rm -rf "$work" "$work.home"' EXIT
mkdir -p "$(dirname "$dir")" "$work.home"
wine_env "$work"
unset DISPLAY

wineboot -i >/dev/null 2>&1
wineserver -w
[[ -d $WINEPREFIX/drive_c/windows/syswow64 ]] ||
  die "Wine made no syswow64, so 32-bit programs cannot run: wine32:i386 is missing (scripts/test installs it)"

seal() {
  rm -f "$WINEPREFIX"/dosdevices/z: "$WINEPREFIX"/dosdevices/*::
  # Serial port links lead to /dev (Wine makes them again at each start; they
  # are character devices, not files); the template holds none.
  find "$WINEPREFIX/dosdevices" -maxdepth 1 -type l ! -name 'c:' -delete
  find "$WINEPREFIX/drive_c" -type l -print0 | while IFS= read -r -d '' link; do
    rm "$link"; mkdir "$link"
  done
}
seal
cd "$WINEPREFIX/drive_c"

reg() { wine reg add "$@" /f >/dev/null; }
reg 'HKCU\Software\Wine' /v Version /d winxp
reg 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /d ''
reg 'HKCU\Software\Wine\DllOverrides' /v winebrowser.exe /d ''
# Xvfb has no window manager: Wine draws the frames itself and does not wait
# (2 s per hidden window) for a manager to acknowledge. scripts/run turns this
# back on for a desktop that has one.
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
mkdir -p "$WINEPREFIX/drive_c/windows/temp"
# Frames draw their caption buttons as Marlett glyphs; without the font the
# close box shows a plain "r". Wine does not load it from its own folder here,
# but any font in the prefix's Fonts folder is picked up at start.
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf"
# XP draws its Chinese text in 宋体 (SimSun), which the prefix lacks. The font
# Wine falls back to by itself, WenQuanYi Micro Hei, sets Latin letters wider
# than 宋体's 6 pixels at 12 pixels, and captions sized for 宋体 wrap; its
# monospaced face keeps 宋体's widths (6 pixels a Latin letter, 12 a Chinese
# character). The stock GUI font then breaks its lines where XP's does; a font
# made by the name 宋体 (charset 134, variable pitch) still gets the
# proportional face under Wine 8.
reg 'HKCU\Software\Wine\Fonts\Replacements' /v SimSun /d "$LUMENO_SIMSUN_STAND_IN"
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 宋体 /d "$LUMENO_SIMSUN_STAND_IN"
wineserver -w
seal

rm -rf "$dir" "$dir.home"
mv "$work" "$dir"
mv "$work.home" "$dir.home"
trap - EXIT
touch "$dir/.lumeno-sealed"
