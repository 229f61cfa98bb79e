#!/usr/bin/env bash
# The Windows installer under wine, in a wine prefix of its own: it installs silently (/S),
# the Start-menu entries are there, the installed demo starts and shows readings on a virtual
# screen, the installed program starts and says there is no meter, and the uninstaller (/S)
# removes every file, entry and registry key it made.
#
# usage: installer_under_wine.sh INSTALLER.EXE WORK-FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
installer=$1 work=$2
# shellcheck source=../../../tests/windows/wine_screen.sh
source "$here/../../../tests/windows/wine_screen.sh"
start_wine_and_screen

echo "installer_under_wine: silent install"
wine "$installer" /S
folder="$WINEPREFIX/drive_c/Program Files/clampmeter"
for file in clampmeter.exe clampmeter-demo.exe clampmeter-cli.exe uninstall.exe Qt6Core.dll \
    platforms/qwindows.dll; do
    [ -f "$folder/$file" ] || fail "the installation has no $file"
done
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/clampmeter"
for entry in clampmeter.lnk "clampmeter demo.lnk" "Uninstall clampmeter.lnk"; do
    [ -f "$menu/$entry" ] || fail "the Start menu has no $entry"
done
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\clampmeter'
wine reg query "$key" /v UninstallString >/dev/null 2>&1 || fail "Apps and Features has no entry"

echo "installer_under_wine: the installed demo starts and shows readings"
expect_demo_readings "$folder/clampmeter-demo.exe"

echo "installer_under_wine: the installed program starts and, with no meter, says so"
wine "$folder/clampmeter.exe" >"$work/program.log" 2>&1 &
program=$!
box=$(find_window KR-610)
xdotool key --window "$box" Return
for _ in $(seq 40); do kill -0 "$program" 2>/dev/null || break; sleep 0.5; done
code=0
wait "$program" || code=$?
[ "$code" -eq 1 ] || fail "the program ended with exit code $code, not 1, after its message"

echo "installer_under_wine: silent uninstall"
# The uninstaller copies itself away and runs from there: wait until all it made is gone.
wine "$folder/uninstall.exe" /S
for _ in $(seq 60); do
    [ ! -e "$folder" ] && [ ! -e "$menu" ] && ! wine reg query "$key" >/dev/null 2>&1 && break
    sleep 1
done
[ ! -e "$folder" ] || fail "the uninstaller left $(cd "$folder" && find . | tr '\n' ' ')"
[ ! -e "$menu" ] || fail "the uninstaller left the Start-menu folder"
if wine reg query "$key" >/dev/null 2>&1; then
    fail "the uninstaller left the Apps and Features entry"
fi
echo "installer_under_wine: passed"
