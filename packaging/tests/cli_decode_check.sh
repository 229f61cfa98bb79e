#!/usr/bin/env bash
# The packaged clampmeter-cli decodes a capture that its own simulator wrote: every frame
# is accepted.
#   cli_decode_check.sh UNPACKED
set -euo pipefail
cli=$1/usr/bin/clampmeter-cli
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

frames=25
"$cli" simulate --count "$frames" --seed 7 >"$dir/capture.bin"
"$cli" decode "$dir/capture.bin" >"$dir/readings.jsonl"
size=$(stat -c %s "$dir/capture.bin")
lines=$(wc -l <"$dir/readings.jsonl")
accepted=$(grep -c '^{"accepted":true,' "$dir/readings.jsonl" || true)
if [ "$size" -ne $((frames * 17)) ] || [ "$lines" -ne "$frames" ] || [ "$accepted" -ne "$frames" ]; then
    echo "capture of $size bytes, $lines lines decoded, $accepted accepted; expected" \
        "$((frames * 17)) bytes and $frames frames accepted"
    head -n 3 "$dir/readings.jsonl"
    exit 1
fi
