#!/usr/bin/env bash
# The package's postinst and postrm reload the udev rules and re-trigger the tty devices
# where udev runs (/run/udev exists), do nothing where it does not, and never fail for
# udevadm's sake. Run with a udevadm that only logs its arguments and fails, in a private
# mount namespace whose /run is fresh. Needs root and unshare -m; skips elsewhere.
#   maintainer_scripts_check.sh DEB
set -euo pipefail

# Inside the namespace: one maintainer script run, with or without a running udev.
if [ "${1:-}" = --inside ]; then
    control=$2 udev=$3 script=$4 argument=$5
    mount -t tmpfs none /run
    [ "$udev" = running ] && mkdir /run/udev
    PATH="$control/fake-bin:$PATH" "$control/$script" "$argument"
    exit
fi

deb=$1
if [ "$(id -u)" -ne 0 ] || ! unshare -m true 2>/dev/null; then
    echo "skipped: needs root and mount namespaces (unshare -m)"
    exit 77
fi
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
dpkg-deb --control "$deb" "$dir"
mkdir "$dir/fake-bin"
cat >"$dir/fake-bin/udevadm" <<EOF_FAKE
#!/bin/sh
echo "\$*" >>"$dir/calls"
exit 1
EOF_FAKE
chmod +x "$dir/fake-bin/udevadm"

reload='control --reload-rules|trigger --subsystem-match=tty --action=change|'
failed=0
# script, its argument, whether udev runs, the udevadm calls expected (| after each)
while read -r script argument udev expected; do
    rm -f "$dir/calls"
    status=0
    unshare -m "$0" --inside "$dir" "$udev" "$script" "$argument" || status=$?
    calls=
    [ ! -f "$dir/calls" ] || calls=$(tr '\n' '|' <"$dir/calls")
    [ "$expected" = none ] && expected=
    if [ "$status" -ne 0 ] || [ "$calls" != "$expected" ]; then
        echo "$script $argument with udev $udev: exit $status, udevadm '$calls'," \
            "expected exit 0 and '$expected'"
        failed=1
    fi
done <<EOF_CASES
postinst configure running $reload
postinst configure absent none
postinst abort-upgrade running none
postrm remove running $reload
postrm purge running $reload
postrm remove absent none
postrm upgrade running none
EOF_CASES
exit $failed
