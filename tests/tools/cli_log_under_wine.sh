#!/usr/bin/env bash
# clampmeter-cli log and ports under wine, on a real line: the bridge's COM port is one end of
# a pair of pseudo-terminals joined by socat, registered in HKLM\HARDWARE\DEVICEMAP\SERIALCOMM
# as the bridge; clampmeter-cli simulate writes to the other end.
# - ports without the bridge registered: exit code 1 and the program's message; with it: exit
#   code 0 and the bridge's port marked;
# - log --device COM21 to standard output: the header once, also when appending (>>);
# - log through the device map into a daily file: lines arrive; the line pulled out is said and
#   the log carries on once it is back; SIGINT (Ctrl+C in a terminal) ends it with exit code 0,
#   the summary and whole lines.
#
# usage: cli_log_under_wine.sh WINE-RUN CLAMPMETER-CLI.EXE WORK-FOLDER
# The wine prefix is the test's own, so the registry the other tests share stays as it is.
set -euo pipefail
wine_run=$1 cli=$2 work=$3

fail() {
    echo "cli_log_under_wine: $*" >&2
    for log in "$work"/*.err; do
        [ -e "$log" ] && { echo "--- $log" >&2; cat "$log" >&2; }
    done
    exit 1
}

rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wineserver -k >/dev/null 2>&1 || true' EXIT
wineboot -i >"$work/wineboot.log" 2>&1 || fail "wine could not make its prefix"
wineserver -w
# HKLM\HARDWARE is volatile: it lives as long as this one server.
wineserver -p >/dev/null 2>&1
serialcomm='HKLM\HARDWARE\DEVICEMAP\SERIALCOMM'

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
    local tries=$(($1 * 10))
    shift
    for _ in $(seq "$tries"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
line_is_up() { [ -e "$work/com21" ] && [ -e "$work/com22" ]; }
said() { grep -q "$1" "$work/log.err"; }

line_pids=()
plug_in() {
    rm -f "$work/com21" "$work/com22"
    socat "pty,link=$work/com21,raw,echo=0" "pty,link=$work/com22,raw,echo=0" &
    line_pids=($!)
    pids+=($!)
    wait_for 5 line_is_up || fail "socat made no line"
    ln -sfn "$work/com21" "$WINEPREFIX/dosdevices/com21"
    ln -sfn "$work/com22" "$WINEPREFIX/dosdevices/com22"
    "$wine_run" "$cli" simulate --device COM22 --interval 200 --scenario vac \
        >>"$work/meter.err" 2>&1 &
    line_pids+=($!)
    pids+=($!)
}
pull_out() {
    kill "${line_pids[@]}" 2>/dev/null || true
    wait "${line_pids[@]}" 2>/dev/null || true
}

echo "cli_log_under_wine: ports without a bridge in the serial device map"
code=0
"$wine_run" "$cli" ports >"$work/ports.out" 2>"$work/ports.err" || code=$?
[ "$code" -eq 1 ] || fail "ports without a bridge: exit code $code"
grep -q 'No com-port! Please check out the line-connection and the device-driver-installation!' \
    "$work/ports.err" || fail "ports without a bridge: not the program's message"
grep -q '<-' "$work/ports.out" && fail "ports without a bridge marks one"

echo "cli_log_under_wine: ports with the bridge registered as COM21"
wine reg add "$serialcomm" /v '\Device\silabser0' /t REG_SZ /d COM21 /f >/dev/null
plug_in
"$wine_run" "$cli" ports >"$work/ports.out" 2>"$work/ports.err" || fail "ports: exit code $?"
grep -qx 'COM21 *\\Device\\silabser0  <- the meter'"'"'s bridge' "$work/ports.out" \
    || fail "ports does not mark COM21: $(cat "$work/ports.out")"
grep -q 'clampmeter would use COM21, and this user can open it.' "$work/ports.out" \
    || fail "ports does not say that COM21 opens: $(cat "$work/ports.out")"

echo "cli_log_under_wine: log --device COM21 to standard output, appended to"
csv_header='time,function,main,unit,secondary,secondary_unit,main_value,secondary_value,bat,mr,phase,wiring,number'
for run in 1 2; do
    "$wine_run" "$cli" log --device COM21 --count 3 >>"$work/stdout.csv" 2>"$work/stdout.err" \
        || fail "log --device COM21, run $run: exit code $?"
done
[ "$(grep -c '^time,' "$work/stdout.csv")" -eq 1 ] || fail "standard output got a second header"
[ "$(grep -c ',FUN_VAC,' "$work/stdout.csv")" -eq 6 ] || fail "standard output: not 6 readings"
[ "$(head -n 1 "$work/stdout.csv")" = "$csv_header" ] || fail "standard output: no header first"

echo "cli_log_under_wine: log through the device map into a daily file"
mkdir -p "$WINEPREFIX/drive_c/meter"
"$wine_run" "$cli" log --output 'C:\meter\energy-%F.csv' >"$work/log.out" 2>"$work/log.err" &
logger=$!
pids+=($!)
file="$WINEPREFIX/drive_c/meter/energy-$(date +%F).csv"
readings() { grep -c ',FUN_VAC,' "$file" 2>/dev/null || true; }
has_readings() { [ "$(readings)" -ge "$1" ]; }
wait_for 30 has_readings 5 || fail "no readings in $file"
grep -q 'reading the meter on COM21' "$work/log.err" || fail "log does not say it reads COM21"

echo "cli_log_under_wine: the line goes away and comes back"
pull_out
wait_for 20 said "COM21 went away; looking for the bridge every second" \
    || fail "log does not say that the line went away"
before=$(readings)
plug_in
wait_for 20 said "reading COM21 again" || fail "log does not read COM21 again"
wait_for 30 has_readings $((before + 5)) || fail "no readings after the line came back"

echo "cli_log_under_wine: SIGINT ends it cleanly"
kill -INT "$logger"
code=0
wait "$logger" || code=$?
[ "$code" -eq 0 ] || fail "log ended with exit code $code after SIGINT"
grep -q 'readings logged, 0 candidates rejected, 1 disconnection, ' "$work/log.err" \
    || fail "log gave no summary with the disconnection"
[ "$(head -n 1 "$file")" = "$csv_header" ] || fail "the file does not start with the header"
[ "$(grep -c '^time,' "$file")" -eq 1 ] || fail "the file has a second header"
[ "$(tail -c 1 "$file" | od -An -c | tr -d ' ')" = '\n' ] || fail "the file ends in a cut line"
fields=$(awk -F, 'NR > 1 && NF != 13' "$file" | wc -l)
[ "$fields" -eq 0 ] || fail "$fields lines of the file are not whole"
[ ! -s "$work/log.out" ] || fail "log with --output wrote to standard output"
echo "cli_log_under_wine: passed ($(readings) readings)"
