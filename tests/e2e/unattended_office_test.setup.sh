#!/bin/sh
# The shipped office preset beside the test, and the drive D: it moves the
# user's folders to:
#   unattended_office_test.setup.sh PREFIX
set -eu
cp "$(dirname "$0")/../../examples/办公.ini" "$1/drive_c/lumeno-test/"
mkdir -p "$1/drive_d/Personal"
ln -s ../drive_d "$1/dosdevices/d:"
