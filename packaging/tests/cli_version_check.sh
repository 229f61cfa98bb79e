#!/usr/bin/env bash
# The packaged programs name the package's version, without a display.
#   cli_version_check.sh UNPACKED VERSION
set -euo pipefail
root=$1 version=$2

status=0
for program in clampmeter clampmeter-demo clampmeter-cli; do
    said=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/$program" --version)
    if [ "$said" != "$program $version" ]; then
        echo "$program --version said '$said', not '$program $version'"
        status=1
    fi
done
exit $status
