#!/bin/sh
# The pictures in docs/ are taken by this test: the mode label should read
# what a monitor reports. Xvfb's one RandR mode carries no timings, so Wine
# reports 1 Hz for it; without RandR (and XVidMode) Wine's X11 driver takes
# the screen as it is and reports 60 Hz. Only this test runs so: the display
# tests change modes, which needs RandR.
#   settings_window_test.setup.sh PREFIX
set -eu
# Wine merges a key written twice in its registry file.
printf '\n[Software\\\\Wine\\\\X11 Driver]\n"UseXRandR"="N"\n"UseXVidMode"="N"\n' >>"$1/user.reg"
