#!/bin/sh
# Wine cannot make links itself: the links the cleaning tests must not follow
# are made here, from the Linux side, inside the test's own prefix.
#   cleaning_test.setup.sh PREFIX
set -eu
links="$1/drive_c/lumeno-test/links"
mkdir -p "$links/temp" "$links/cache" "$links/outside" "$links/outside-cache"
ln -s ../outside "$links/temp/outside-link"
ln -s ../outside-cache "$links/cache/outside-link"
