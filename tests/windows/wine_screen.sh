# shellcheck shell=bash
# Sourced by the tests of the real Windows programs under wine (tests/windows and the
# package's tests): a wine prefix and a virtual screen of the test's own, and what the main
# panel's display shows on that screen. The caller sets `work`, its own folder.

# shellcheck disable=SC2154 # `work` is the caller's
# A command that fails ends the test (set -e): say which.
set -E
trap 'echo "$(basename "$0"): a command failed at line $LINENO" >&2' ERR

fail() {
    echo "$(basename "$0"): $*" >&2
    if [ -n "${DISPLAY:-}" ]; then
        import -display "$DISPLAY" -window root "$work/failure.png" 2>/dev/null || true
        echo "$(basename "$0"): the screen is in $work/failure.png" >&2
    fi
    exit 1
}

# A fresh wine prefix in $work with one persistent wineserver, and an Xvfb screen, both ended
# when the test ends (with whatever it adds to `test_pids`).
start_wine_and_screen() {
    rm -rf "$work"
    mkdir -p "$work"
    export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    test_pids=()
    trap 'wineserver -k >/dev/null 2>&1 || true; kill "${test_pids[@]}" 2>/dev/null || true' EXIT
    wineboot -i >"$work/wineboot.log" 2>&1 || fail "wine could not make its prefix"
    wineserver -w
    wineserver -p >/dev/null 2>&1
    Xvfb -displayfd 6 -screen 0 1280x1024x24 -nolisten tcp 6>"$work/display" 2>/dev/null &
    test_pids+=($!)
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || fail "Xvfb did not start"
    DISPLAY=":$(cat "$work/display")"
    export DISPLAY
    # Windows has Arial; a wine prefix draws it in a serif face. Liberation Sans has its
    # metrics.
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ \
        /d 'Liberation Sans' /f >/dev/null
    # wine's own visual style gives buttons a pure white face, which the panel's colour key
    # cuts away (as it would on Windows with such a theme; Windows' own themes have none):
    # the classic look, whose buttons are grey.
    wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' \
        /v ThemeActive /t REG_SZ /d 0 /f >/dev/null
}

# The id of the first window titled exactly `name`, waiting up to 30 s for it.
find_window() {
    local name=$1 id=
    for _ in $(seq 60); do
        id=$(xdotool search --name "^$name\$" 2>/dev/null | head -n 1) && [ -n "$id" ] && break
        sleep 0.5
    done
    [ -n "$id" ] || fail "no window '$name'"
    echo "$id"
}

# Clicks at a point of a window, in pixels from its top-left corner.
click() {
    local id=$1 dx=$2 dy=$3
    eval "$(xdotool getwindowgeometry --shell "$id")"
    xdotool mousemove --sync $((X + dx)) $((Y + dy)) click 1
}

# What the display area of the panel with window id `$1` shows: "readings" (dark digits on
# grey, nothing red), "nodata" (the red "NO DATA") or "empty".
display_state() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    # The display panel: 1230, 7230 twips, 1860 by 1605, so 82, 482 and 124 by 107 pixels.
    import -display "$DISPLAY" -window root -crop "124x107+$((X + 82))+$((Y + 482))" \
        -depth 8 rgb:- 2>/dev/null | python3 -c '
import sys
data = sys.stdin.buffer.read()
red = dark = 0
for i in range(0, len(data) - 2, 3):
    r, g, b = data[i], data[i + 1], data[i + 2]
    red += r > 180 and g < 80 and b < 80
    dark += r < 70 and g < 70 and b < 70
print("nodata" if red > 40 else "readings" if dark > 40 else "empty")'
}

# Waits up to `$3` seconds for the panel `$1` to show `$2`.
wait_for_display() {
    local id=$1 want=$2 seconds=$3 state=
    for _ in $(seq $((seconds * 2))); do
        state=$(display_state "$id")
        [ "$state" = "$want" ] && return 0
        sleep 0.5
    done
    fail "the display shows '$state', not '$want', after $seconds s"
}

# Starts a demo, waits for its panel to show readings, then closes it.
expect_demo_readings() {
    local demo=$1 id
    wine "$demo" >"$work/demo.log" 2>&1 &
    local pid=$!
    id=$(find_window KR-610)
    wait_for_display "$id" readings 60
    xdotool windowclose "$id" 2>/dev/null || true
    for _ in $(seq 20); do kill -0 "$pid" 2>/dev/null || break; sleep 0.5; done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}
