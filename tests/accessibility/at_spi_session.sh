#!/usr/bin/env bash
# Runs a checker against the demo on the real accessibility bus, as a screen reader meets
# it: a private D-Bus session with the AT-SPI bus, a virtual display with a window manager,
# the demo with Qt's accessibility bridge on, then the checker (python3 with pyatspi).
#   at_spi_session.sh DEMO CHECKER
# Exits 77 (skipped) with the reason when the bus or the display cannot start.
set -uo pipefail

demo=$1
checker=$2

skip() {
  echo "SKIP: $*"
  exit 77
}

if [ -z "${CLAMPMETER_ON_PRIVATE_BUS:-}" ]; then
  /usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
    skip "python3-pyatspi is missing (scripts/bootstrap installs it)"
  command -v dbus-run-session >/dev/null || skip "dbus-run-session is missing (dbus-daemon)"
  [ -x /usr/libexec/at-spi-bus-launcher ] || skip "at-spi2-core is missing"
  for tool in Xvfb openbox xdotool import; do
    command -v "$tool" >/dev/null || skip "$tool is missing (scripts/bootstrap installs it)"
  done
  exec env CLAMPMETER_ON_PRIVATE_BUS=1 dbus-run-session -- "$0" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 1 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || skip "Xvfb did not start: $(tail -1 "$work/xvfb.log")"
export DISPLAY=":$(head -1 "$work/display")"
openbox >/dev/null 2>&1 &
pids+=($!)

/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/bus.log" 2>&1 &
pids+=($!)
bus_up() {
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.a11y.Bus.GetAddress >/dev/null 2>&1
}
for _ in $(seq 1 100); do
  bus_up && break
  sleep 0.1
done
bus_up || skip "the accessibility bus does not start: $(tail -1 "$work/bus.log")"

mkdir -m 700 -p "$work/state" "$work/config" "$work/run"
QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
  XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" \
  "$demo" --scenario vac --seed 7 >"$work/demo.log" 2>&1 &
pids+=($!)

/usr/bin/python3 "$checker" "$work/demo.log"
status=$?
if [ $status -ne 0 ]; then
  echo "--- the demo's output:"
  tail -20 "$work/demo.log"
fi
exit $status
