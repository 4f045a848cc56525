#!/bin/sh
# The hand-written restore files the import test hands to regedit.
#   backup_test.setup.sh PREFIX
set -eu
mkdir -p "$1/drive_c/lumeno-test/reg"
cp "$(dirname "$0")/../data/reg/"*.reg "$1/drive_c/lumeno-test/reg/"
