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

# A persistent server saves each test its start-up (it answers 2 when one is
# already running for the prefix). The first start builds the prefix; doing it
# once here keeps parallel tests from racing to create it.
wineserver --persistent=60 || [ $? -eq 2 ]
wineboot --init >/dev/null 2>&1
# The POSIX build labels its drive C with its root, "/"; the end-to-end
# expectations show that label, so wine's drive C carries the same one.
printf '/' >"$WINEPREFIX/drive_c/.windows-label"
trap 'wineserver --kill >/dev/null 2>&1 || true' EXIT

ctest --test-dir "$build" --output-on-failure -j "$jobs"
