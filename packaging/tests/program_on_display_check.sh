#!/usr/bin/env bash
# The packaged clampmeter without a bridge on an X display (Xvfb): its start message box
# appears, and Return (its OK button) ends the program with the start failure's exit code 1.
#   program_on_display_check.sh UNPACKED
set -euo pipefail
source "$(dirname "$0")/no_bridge.sh"
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "skipped: needs $tool"; exit 77; }
done
root=$1
dir=$(mktemp -d)
xvfb= program=
cleanup() {
    [ -z "$program" ] || kill "$program" 2>/dev/null || true
    [ -z "$xvfb" ] || { kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null || true; }
    rm -rf "$dir"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number to the descriptor given.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.err" &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$dir/display" ] && break
    sleep 0.2
done
[ -s "$dir/display" ] || { echo "Xvfb did not start"; cat "$dir/xvfb.err"; exit 1; }
export DISPLAY=":$(head -n 1 "$dir/display")"
unset WAYLAND_DISPLAY QT_QPA_PLATFORMTHEME

QT_QPA_PLATFORM=xcb "$root/usr/bin/clampmeter" >"$dir/out" 2>"$dir/err" &
program=$!
box=$(timeout 30 xdotool search --sync --onlyvisible --class '^clampmeter$' | head -n 1) || true
if [ -z "$box" ]; then
    echo "no window of clampmeter appeared; it said:"
    cat "$dir/out" "$dir/err"
    exit 1
fi
echo "start message box: window $box, \"$(xdotool getwindowname "$box")\""
xdotool windowfocus --sync "$box"
xdotool key Return

for _ in $(seq 100); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$program" 2>/dev/null; then
    echo "clampmeter still runs after its message box was answered"
    exit 1
fi
status=0
wait "$program" || status=$?
program=
if [ "$status" -ne 1 ]; then
    echo "clampmeter ended with $status, not 1; it said:"
    cat "$dir/out" "$dir/err"
    exit 1
fi
