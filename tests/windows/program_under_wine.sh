#!/usr/bin/env bash
# The real clampmeter.exe under wine on a virtual screen, with a meter on a COM port: the
# bridge's COM port is one end of a pair of pseudo-terminals joined by socat, registered in
# HKLM\HARDWARE\DEVICEMAP\SERIALCOMM as the bridge; clampmeter-cli.exe simulate writes to the
# other end. It finds the port and shows readings, writes the list through To Excel and the
# Windows save dialog, prints the list to the print server's default queue (not tried without
# one), shows "NO DATA" once the line goes away and readings again once it is back, and ends
# on Exit.
#
# usage: program_under_wine.sh WINE-RUN CLAMPMETER.EXE CLAMPMETER-CLI.EXE WORK-FOLDER
# The wine prefix and the screen are the test's own, so the registry the other tests share
# stays as it is.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
wine_run=$1 program=$2 cli=$3 work=$4
# shellcheck source=wine_screen.sh
source "$here/wine_screen.sh"
start_wine_and_screen

# As the bridge's driver registers it, with a number past COM16.
wine reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\silabser0' /t REG_SZ /d COM21 \
    /f >/dev/null

# The line: COM21 for the program, COM22 for the meter.
line_pids=()
plug_in() {
    rm -f "$work/com21" "$work/com22"
    socat "pty,link=$work/com21,raw,echo=0" "pty,link=$work/com22,raw,echo=0" &
    line_pids=($!)
    test_pids+=($!)
    for _ in $(seq 50); do [ -e "$work/com21" ] && [ -e "$work/com22" ] && break; sleep 0.1; done
    ln -sfn "$work/com21" "$WINEPREFIX/dosdevices/com21"
    ln -sfn "$work/com22" "$WINEPREFIX/dosdevices/com22"
    "$wine_run" "$cli" simulate --device COM22 --interval 300 --scenario vac \
        >>"$work/meter.log" 2>&1 &
    line_pids+=($!)
    test_pids+=($!)
}
pull_out() {
    kill "${line_pids[@]}" 2>/dev/null || true
    wait "${line_pids[@]}" 2>/dev/null || true
}

plug_in
"$wine_run" "$program" >"$work/program.log" 2>&1 &
program=$!
test_pids+=($!)
panel=$(find_window KR-610)

echo "program_under_wine: it finds the bridge on COM21 and shows readings"
wait_for_display "$panel" readings 60

echo "program_under_wine: To Excel writes the list through the Windows save dialog"
click "$panel" 256 476 # List: Command3 of Picture2 (3360, 6960 twips)
list=$(find_window 'Data list — clampmeter')
sleep 1
click "$list" 196 144 # To Excel: Command3 (2400, 1920 twips)
find_window Save >/dev/null
sleep 1
xdotool type --delay 50 'C:\export.csv'
xdotool key Return
export_file="$WINEPREFIX/drive_c/export.csv"
for _ in $(seq 40); do [ -s "$export_file" ] && break; sleep 0.5; done
[ -s "$export_file" ] || fail "To Excel wrote no C:\\export.csv"
rows=$(grep -c ';' "$export_file" || true)
[ "$rows" -ge 2 ] || fail "C:\\export.csv holds $rows lines with readings"
grep -q $'\r$' "$export_file" || fail "C:\\export.csv has no CR LF line ends"

if lpstat -r 2>/dev/null | grep -q 'is running' && lpstat -d 2>/dev/null | grep -q 'destination:'; then
    echo "program_under_wine: Print reaches the print server's default queue"
    # The print server is the machine's: the job is told from others by its name, which the
    # server keeps in the job's control file (readable by root) once it has it.
    before=$(lpstat -W completed -o 2>/dev/null | wc -l)
    touch "$work/before-print"
    click "$list" 272 144 # Print: Command4 (3480, 1920 twips)
    printed=false
    for _ in $(seq 60); do
        after=$(lpstat -W completed -o 2>/dev/null | wc -l)
        if [ "$after" -gt "$before" ]; then
            if [ ! -r /var/spool/cups ] || find /var/spool/cups -maxdepth 1 -name 'c*' \
                -newer "$work/before-print" -exec grep -aq 'KR-6080 Data Report' {} + ; then
                printed=true
                break
            fi
        fi
        sleep 0.5
    done
    $printed || fail "the print server completed no job 'KR-6080 Data Report'"
else
    echo "program_under_wine: no print server with a default queue: Print is not tried"
fi

echo "program_under_wine: the line goes away: NO DATA"
pull_out
wait_for_display "$panel" nodata 20

echo "program_under_wine: the line is back: readings again"
plug_in
wait_for_display "$panel" readings 60

echo "program_under_wine: Exit ends the program"
click "$panel" 256 524 # Exit: Command5, 720 twips down Picture2
for _ in $(seq 40); do kill -0 "$program" 2>/dev/null || break; sleep 0.5; done
kill -0 "$program" 2>/dev/null && fail "the program is still running after Exit"
wait "$program" || fail "the program ended with exit code $?"
echo "program_under_wine: passed"
