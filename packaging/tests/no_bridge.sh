# Sourced by the checks of the program's start without a bridge: they skip (77) on a machine
# where a CP210x bridge is plugged in, since the program would then open it and run.
for driver in /sys/class/tty/*/device/driver; do
    if [ "$(basename "$(readlink -f "$driver")")" = cp210x ]; then
        echo "skipped: a CP210x bridge is plugged in here (${driver%/device/driver})"
        exit 77
    fi
done
