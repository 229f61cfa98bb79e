#!/usr/bin/env bash
# The packaged udev rule, run by `udevadm test` against a fake sysfs in a private mount
# namespace, with only this rule in udev's rule folders: a tty of the cp210x driver gets
# the uaccess tag and ModemManager's ignore flag; a tty of another driver, the CP210x USB
# interface itself and the tty's removal get neither; udev finds nothing to complain about
# in the rule. Needs root and mount namespaces (unshare -m); skips elsewhere.
#   udev_rule_check.sh RULE_FILE
set -euo pipefail

usb=/devices/pci0000:00/0000:00:14.0/usb1

# Inside the namespace: sysfs, /run and /dev are fresh tmpfs (udevadm test writes its
# database and device links there), and the rule folders hold this rule alone.
if [ "${1:-}" = --inside ]; then
    rules=$2 fake=$3 action=$4 device=$5
    mount -t tmpfs none /sys
    cp -a "$fake/." /sys/
    mount -t tmpfs none /run
    mount -t tmpfs none /dev
    mkdir -p "$fake-empty"
    own=$(realpath /usr/lib/udev/rules.d)
    for folder in /etc/udev/rules.d /usr/local/lib/udev/rules.d /lib/udev/rules.d; do
        if [ -d "$folder" ] && [ "$(realpath "$folder")" != "$own" ]; then
            mount --bind "$fake-empty" "$folder"
        fi
    done
    mount --bind "$rules" "$own"
    # The fake tree is not sysfs: let udev take it for one.
    exec env SYSTEMD_DEVICE_VERIFY_SYSFS=0 udevadm test --action="$action" "$device" 2>&1
fi

rule=$1
if [ "$(id -u)" -ne 0 ] || ! unshare -m true 2>/dev/null; then
    echo "skipped: needs root and mount namespaces (unshare -m)"
    exit 77
fi
command -v udevadm >/dev/null || { echo "udevadm is missing (scripts/bootstrap --dev installs udev)"; exit 1; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir -p "$dir/rules"
cp "$rule" "$dir/rules/"

# A node of the fake sysfs: its uevent lines, subsystem and driver.
node() {
    local path=$1 subsystem=$2 driver=$3 uevent=$4
    mkdir -p "$dir/sys$path" "$dir/sys/class/$subsystem" "$dir/sys/bus/$subsystem/drivers"
    printf '%b' "$uevent" >"$dir/sys$path/uevent"
    ln -s "/sys/class/$subsystem" "$dir/sys$path/subsystem"
    if [ -n "$driver" ]; then
        mkdir -p "$dir/sys/bus/$subsystem/drivers/$driver"
        ln -s "/sys/bus/$subsystem/drivers/$driver" "$dir/sys$path/driver"
    fi
}
# One USB device each for a CP210x and an FTDI bridge, with their interface, port and tty.
bridge() {
    local port=$1 vendor=$2 product=$3 driver=$4 minor=$5
    local device=$usb/1-$port interface=$usb/1-$port/1-$port:1.0
    node "$device" usb usb 'DEVTYPE=usb_device\nDRIVER=usb\n'
    echo "$vendor" >"$dir/sys$device/idVendor"
    echo "$product" >"$dir/sys$device/idProduct"
    node "$interface" usb "$driver" "DEVTYPE=usb_interface\nDRIVER=$driver\n"
    node "$interface/ttyUSB$minor" usb-serial "$driver" "DRIVER=$driver\n"
    node "$interface/ttyUSB$minor/tty/ttyUSB$minor" tty "" \
        "MAJOR=188\nMINOR=$minor\nDEVNAME=ttyUSB$minor\n"
}
bridge 1 10c4 ea60 cp210x 0
bridge 2 0403 6001 ftdi_sio 1

failed=0
# action, device, whether the rule applies
while read -r action device applies; do
    out=$(unshare -m "$0" --inside "$dir/rules" "$dir/sys" "$action" "$device" || true)
    if grep -E "$(basename "$rule"):[0-9]+" <<<"$out"; then
        echo "udev complains about the rule (above)"
        failed=1
    fi
    tagged=no ignored=no
    grep -qx 'TAGS=.*:uaccess:.*' <<<"$out" && tagged=yes
    grep -qx 'ID_MM_DEVICE_IGNORE=1' <<<"$out" && ignored=yes
    if ! grep -qx "DEVPATH=$device" <<<"$out"; then
        echo "udevadm test did not run on $device:"
        echo "$out"
        failed=1
    elif [ "$tagged $ignored" != "$applies $applies" ]; then
        echo "$action $device: uaccess $tagged, ModemManager ignores it $ignored;" \
            "expected $applies for both"
        failed=1
    else
        echo "$action $device: uaccess $tagged, ModemManager ignores it $ignored"
    fi
done <<EOF_CASES
add $usb/1-1/1-1:1.0/ttyUSB0/tty/ttyUSB0 yes
change $usb/1-1/1-1:1.0/ttyUSB0/tty/ttyUSB0 yes
add $usb/1-2/1-2:1.0/ttyUSB1/tty/ttyUSB1 no
add $usb/1-1/1-1:1.0 no
remove $usb/1-1/1-1:1.0/ttyUSB0/tty/ttyUSB0 no
EOF_CASES
exit $failed
