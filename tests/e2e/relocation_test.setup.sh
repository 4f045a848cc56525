#!/bin/sh
# Drive D: for the relocation tests, a folder of the test's own prefix:
#   relocation_test.setup.sh PREFIX
set -eu
mkdir -p "$1/drive_d/Personal"
ln -s ../drive_d "$1/dosdevices/d:"
