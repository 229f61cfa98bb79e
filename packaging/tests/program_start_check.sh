#!/usr/bin/env bash
# The packaged clampmeter without a bridge, on the offscreen platform: it shows its start
# message in a modal box and waits there, where `timeout` ends it. Ending any other way means
# it could not start: a missing library (127), no platform plugin (an abort) or a crash.
#   program_start_check.sh UNPACKED
set -euo pipefail
source "$(dirname "$0")/no_bridge.sh"
root=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

status=0
QT_QPA_PLATFORM=offscreen timeout 10 "$root/usr/bin/clampmeter" >"$dir/out" 2>"$dir/err" ||
    status=$?
if [ "$status" -ne 124 ]; then
    echo "clampmeter ended with $status before it was stopped; it said:"
    cat "$dir/out" "$dir/err"
    exit 1
fi
# Qt notes what the offscreen platform cannot do; a missing file or failure is news.
if grep -Ei 'cannot|could not|failed|error' "$dir/err"; then
    echo "clampmeter complained while it started"
    exit 1
fi
