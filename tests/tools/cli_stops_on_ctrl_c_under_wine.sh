#!/bin/sh
# clampmeter-cli simulate under wine stops cleanly on SIGINT, which is what Ctrl+C in a
# terminal sends wine: exit code 0 and a capture of whole 17-byte frames, every time. The
# console control handler does this on Windows; wine ends a program that has none in the same
# way, so here this shows what a user sees, not that the handler is installed.
# Usage: cli_stops_on_ctrl_c_under_wine.sh EMULATOR CLAMPMETER-CLI.EXE
set -eu
emulator=$1
cli=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for run in 1 2 3; do
    rm -f "$work/capture.bin"
    "$emulator" "$cli" simulate --count 100000000 --interval 100 \
        >"$work/capture.bin" 2>"$work/errors.txt" &
    pid=$!
    tries=0
    while [ ! -s "$work/capture.bin" ] && [ "$tries" -lt 100 ]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    kill -INT "$pid"
    code=0
    wait "$pid" || code=$?
    size=$(stat -c %s "$work/capture.bin")
    if [ "$code" -ne 0 ]; then
        echo "run $run: exit code $code after SIGINT" >&2
        cat "$work/errors.txt" >&2
        exit 1
    fi
    if [ "$size" -eq 0 ] || [ $((size % 17)) -ne 0 ]; then
        echo "run $run: $size bytes written, not a whole number of 17-byte frames" >&2
        exit 1
    fi
    echo "run $run: stopped after $((size / 17)) frames"
done
