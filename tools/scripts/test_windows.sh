#!/usr/bin/env bash
# Runs the Windows build's unit tests and end-to-end stations under wine, in a
# wine prefix of the build's own, so that nothing of the user's wine is used.
# Usage: test_windows.sh BUILD_DIR JOBS
set -euo pipefail
build=$(cd "$1" && pwd)
jobs=${2:-2}

export WINEPREFIX="$build/wine"
export WINEDEBUG=-all
# No window and no download prompt for the .NET and HTML runtimes.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY

# The first start builds the prefix; doing it once here keeps parallel tests
# from racing to create it.
mkdir -p "$WINEPREFIX"
wineboot --init >/dev/null 2>&1
# The POSIX build labels its drive C with its root, "/"; the end-to-end
# expectations show that label, so wine's drive C carries the same one. Wine
# reads it when its server starts, so the server of the first start must end.
printf '/' >"$WINEPREFIX/drive_c/.windows-label"
wineserver --wait
# A persistent server saves each test its start-up. Wine's own background
# processes are started here too: started by the first test, they would hold
# that test's output pipe open, and ctest would wait for them to end.
wineserver --persistent=60 || [ $? -eq 2 ]
trap 'wineserver --kill >/dev/null 2>&1 || true' EXIT
wineboot </dev/null >/dev/null 2>&1

# Now and then wine fails to start a program at all (the case ends at once,
# with nothing printed); a second try tells that from a fault of ours, which
# fails the same way twice.
ctest --test-dir "$build" --output-on-failure -j "$jobs" --repeat until-pass:2
