#!/usr/bin/env bash
# The packaged clampmeter-demo on the offscreen platform: it names the pseudo-terminal of its
# simulated meter, is still running on it when `timeout` ends it 8 s later, and has kept a
# journal of the readings it took, in a state folder of this check's own.
#   demo_check.sh UNPACKED
set -euo pipefail
root=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

status=0
XDG_STATE_HOME="$dir/state" QT_QPA_PLATFORM=offscreen timeout 8 "$root/usr/bin/clampmeter-demo" --interval 100 \
    >"$dir/out" 2>"$dir/err" || status=$?
if [ "$status" -ne 124 ] || ! grep -q '^Simulated meter on /dev/pts/' "$dir/out"; then
    echo "clampmeter-demo ended with $status before it was stopped; it said:"
    cat "$dir/out" "$dir/err"
    exit 1
fi
journal=$(find "$dir/state/clampmeter/demo-sessions" -name '*.journal' 2>/dev/null | head -n 1)
if [ -z "$journal" ] || ! grep -q '"event":"reading"' "$journal"; then
    echo "clampmeter-demo kept no journal of its readings under $dir/state"
    exit 1
fi
