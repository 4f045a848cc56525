#!/bin/sh
# The shipped internet-café preset, beside the test:
#   unattended_cafe_test.setup.sh PREFIX
set -eu
cp "$(dirname "$0")/../../examples/网吧.ini" "$1/drive_c/lumeno-test/"
