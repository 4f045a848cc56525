#!/bin/sh
# Both shipped presets beside the test, to be spoilt there:
#   unattended_test.setup.sh PREFIX
set -eu
cp "$(dirname "$0")/../../examples/"*.ini "$1/drive_c/lumeno-test/"
