#!/bin/sh
# Wine keeps its recycle bin in the XDG trash of HOME, which for a test prefix
# is PREFIX.home; without the trash folders it cannot empty (or even count)
# the bin and says so, as Windows would for a bin it cannot reach:
#   optimize_test.setup.sh PREFIX
set -eu
mkdir -p "$1.home/.local/share/Trash/files" "$1.home/.local/share/Trash/info"
