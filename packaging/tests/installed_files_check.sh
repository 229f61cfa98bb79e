#!/usr/bin/env bash
# Everything the package is meant to hold is there: a build without help2man, for example,
# would make a package without manual pages that still installs.
#   installed_files_check.sh UNPACKED APP_ID DEMO_APP_ID
set -euo pipefail
root=$1 app=$2 demo=$3

expected=(
    usr/bin/clampmeter usr/bin/clampmeter-demo usr/bin/clampmeter-cli
    usr/share/man/man1/clampmeter.1.gz usr/share/man/man1/clampmeter-demo.1.gz
    usr/share/man/man1/clampmeter-cli.1.gz
    "usr/share/applications/$app.desktop" "usr/share/applications/$demo.desktop"
    "usr/share/metainfo/$app.metainfo.xml"
    "usr/share/icons/hicolor/scalable/apps/$app.svg"
    lib/udev/rules.d/60-clampmeter.rules
    usr/lib/systemd/user/clampmeter-log.service usr/share/doc/clampmeter/examples/log.env
    usr/share/doc/clampmeter/copyright usr/share/doc/clampmeter/changelog.gz
)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$app.png")
done

missing=0
for path in "${expected[@]}"; do
    if [ ! -s "$root/$path" ]; then
        echo "missing or empty: /$path"
        missing=1
    fi
done
# Each PNG is as large as the folder it sits in says.
for png in "$root"/usr/share/icons/hicolor/*x*/apps/*.png; do
    folder=$(basename "$(dirname "$(dirname "$png")")")
    # The PNG header gives the width and height as big-endian 32-bit numbers at 16 and 20.
    read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
        awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
    if [ "${width}x${height}" != "$folder" ]; then
        echo "${png#"$root"} is ${width}x${height}"
        missing=1
    fi
done
exit $missing
