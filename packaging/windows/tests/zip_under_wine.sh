#!/usr/bin/env bash
# The zip of the Windows installation: unpacked anywhere, its demo starts under wine and shows
# readings on a virtual screen.
#
# usage: zip_under_wine.sh CLAMPMETER.ZIP WORK-FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
zip=$1 work=$2
# shellcheck source=../../../tests/windows/wine_screen.sh
source "$here/../../../tests/windows/wine_screen.sh"
start_wine_and_screen

mkdir -p "$work/unpacked"
(cd "$work/unpacked" && cmake -E tar xf "$zip")
demo=$(find "$work/unpacked" -name clampmeter-demo.exe | head -n 1)
[ -n "$demo" ] || fail "the zip holds no clampmeter-demo.exe"
expect_demo_readings "$demo"
echo "zip_under_wine: passed"
