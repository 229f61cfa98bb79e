#!/usr/bin/env bash
# The scripts' mistakes and checks that cannot look: each case runs a script and compares its
# exit code and first line of standard error. None of these cases gets as far as installing or
# building: a script that would has failed the case by taking its time, and by the exit code.
set -uo pipefail
project=$1
failed=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# expect CODE WORDS -- COMMAND...: runs COMMAND, its error output into a file of the case's.
expect() {
  local code=$1 words=$2
  shift 3
  local err="$work/err"
  "$@" </dev/null >/dev/null 2>"$err"
  local got=$?
  if [ "$got" -ne "$code" ] || ! grep -qF -- "$words" "$err"; then
    echo "FAILED: $* exited $got (expected $code) saying:" >&2
    sed 's/^/  /' "$err" >&2
    echo "  expected words: $words" >&2
    failed=$((failed + 1))
  fi
}

# scripts/demo checks every option before it installs or builds, naming option and value.
demo=(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen "$project/scripts/demo")
expect 2 "demo: --scenario takes one of tour vac aac kw kva kvar pf energy faults, not 'bogus'" \
  -- "${demo[@]}" --scenario bogus
expect 2 "demo: --interval takes a number of milliseconds from 100 to 600000, not '99'" \
  -- "${demo[@]}" --interval=99
expect 2 "demo: --seed takes a whole number from 0 to 4294967295, not '4294967296'" \
  -- "${demo[@]}" --seed 4294967296
expect 2 "demo: --seed needs a value" -- "${demo[@]}" --seed
expect 2 "demo: unknown option '--frob'" -- "${demo[@]}" --frob
expect 1 "demo: no display" \
  -- env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$project/scripts/demo"

# scripts/check-format fails, saying why, when it cannot check.
mkdir -p "$work/bin" "$work/copy"
for tool in bash dirname env git; do ln -s "$(command -v "$tool")" "$work/bin/$tool"; done
expect 1 "check-format: clang-format is missing" \
  -- env PATH="$work/bin" bash "$project/scripts/check-format"
rm "$work/bin/git"
ln -s "$(command -v clang-format)" "$work/bin/clang-format"
expect 1 "check-format: git is missing" -- env PATH="$work/bin" bash "$project/scripts/check-format"
cp -r "$project/scripts" "$project/.clang-format" "$work/copy/"
expect 1 "is not a git checkout" -- bash "$work/copy/scripts/check-format"
git -C "$work/copy" init -q
expect 1 "check-format: git lists no C++ files" -- bash "$work/copy/scripts/check-format"

# Configuring names every missing library with the Debian package that brings it, all at once.
configure=(cmake -S "$project" -B "$work/configure" -G Ninja -DBUILD_TESTING=OFF
  -DCLAMPMETER_BUILD_BENCHMARKS=OFF)
for package in libsqlite3-dev libcups2-dev libssl-dev libpaho-mqtt-dev; do
  expect 1 "$package" -- "${configure[@]}" -DCMAKE_DISABLE_FIND_PACKAGE_SQLite3=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_Cups=ON -DCMAKE_DISABLE_FIND_PACKAGE_OpenSSL=ON
done
rm -rf "$work/configure"
expect 1 "-DCLAMPMETER_WITH_MQTT=OFF for a logger without --mqtt" \
  -- "${configure[@]}" -DCMAKE_DISABLE_FIND_PACKAGE_eclipse-paho-mqtt-c=ON
rm -rf "$work/configure"
expect 1 "install qt6-base-dev qt6-serialport-dev qt6-svg-dev" \
  -- "${configure[@]}" -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON
rm -rf "$work/configure"

# The scripts' usage errors: exit 2, naming the option.
for script in bootstrap check-format demo fresh-check fuzz package print-server test; do
  [ -x "$project/scripts/$script" ] || continue
  expect 2 "unknown option '--frob'" -- "$project/scripts/$script" --frob
done

[ "$failed" -eq 0 ] && echo "script checks passed" || echo "$failed script checks failed" >&2
exit $((failed > 0))
