#!/usr/bin/env bash
# Runs one end-to-end station: copies tests/e2e/<case>/station and the shared
# files that <case>/shared names to a temporary directory, compiles every *.lngsrc there into *.lng, runs the built binary with
# the arguments in <case>/cmd under a frozen clock, and compares the console
# (clock masked), the exit status and every file in <case>/expected/files.
#
# ZENTRAK_E2E_UPDATE=1 writes the actual results into <case>/expected instead;
# review the diff before committing it. ZENTRAK_E2E_KEEP=<dir> copies the
# station as the run left it into <dir>, for checks that look further.
#
# <case>/env, when present, holds NAME=value lines exported for the run; "@PWD@"
# in a value stands for the station's directory.
#
# For the Windows programs, ZENTRAK_E2E_EXE is their suffix (".exe") and
# ZENTRAK_E2E_RUNNER the emulator that runs them. The expectations stay the
# Linux ones: the platform's words in them are switched here, setup scripts get
# the station's Windows path in ZENTRAK_E2E_PWD, and line ends are ignored.
set -uo pipefail
case_dir=$(cd "$1" && pwd)
build_dir=$(cd "$2" && pwd)
when=$(cat "$case_dir/date" 2>/dev/null || echo "2026-12-07 10:43:08")

exe=${ZENTRAK_E2E_EXE:-}
runner=()
[ -n "${ZENTRAK_E2E_RUNNER:-}" ] && runner=("$ZENTRAK_E2E_RUNNER")
windows=false
[ "$exe" = .exe ] && windows=true

work=$(mktemp -d)
keep_station() {
  if [ -n "${ZENTRAK_E2E_KEEP:-}" ]; then
    mkdir -p "$ZENTRAK_E2E_KEEP" && cp -a "$work/." "$ZENTRAK_E2E_KEEP/"
  fi
  rm -rf "$work"
}
trap keep_station EXIT
[ -d "$case_dir/station" ] && cp -a "$case_dir/station/." "$work/"
# Files that several stations use live once, in tests/e2e/fixtures or the
# example station. <case>/shared names them, one "source [destination]" a
# line: the source from the repository's root, the destination in the station
# (the source's own name when none is given).
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
if [ -f "$case_dir/shared" ]; then
  while read -r source destination; do
    [ -n "$source" ] || continue
    destination=${destination:-$(basename "$source")}
    mkdir -p "$work/$(dirname "$destination")"
    cp "$root/$source" "$work/$destination"
  done <"$case_dir/shared"
fi
cd "$work"
for source in *.lngsrc; do
  [ -e "$source" ] || continue
  if ! "${runner[@]}" "$build_dir/zentrak-lngc$exe" "$source" "${source%.lngsrc}.lng" \
    >/dev/null 2>"$work/.lngc-stderr"; then
    $windows || cat "$work/.lngc-stderr" >&2
    exit 1
  fi
done
rm -f "$work/.lngc-stderr"
export ZENTRAK_E2E_PWD=$PWD
$windows && ZENTRAK_E2E_PWD="Z:${PWD//\//\\}"
[ -x "$case_dir/setup" ] && "$case_dir/setup" "$build_dir"
if [ -f "$case_dir/env" ]; then
  while IFS= read -r assignment; do
    [ -n "$assignment" ] && export "${assignment//@PWD@/$PWD}"
  done <"$case_dir/env"
fi

faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n 1)
if [ -z "$faketime_lib" ]; then
  echo "libfaketime is missing (make test installs it)" >&2
  exit 1
fi
read -r -a args < <(cat "$case_dir/cmd")
if $windows; then
  # The emulator's own messages go to standard error; the program writes
  # nothing there.
  LD_PRELOAD="$faketime_lib" FAKETIME="$when" FAKETIME_DONT_FAKE_MONOTONIC=1 \
    "${runner[@]}" "$build_dir/zentrak$exe" "${args[@]}" >"$work/.console" 2>"$work/.stderr"
  status=$?
  rm -f "$work/.stderr"
else
  LD_PRELOAD="$faketime_lib" FAKETIME="$when" FAKETIME_DONT_FAKE_MONOTONIC=1 \
    "$build_dir/zentrak" "${args[@]}" >"$work/.console" 2>&1
  status=$?
fi
# The clock, and the station's own folder where a message names it (a setup
# that writes a full path into the configuration), are masked.
literal() { printf '%s' "$1" | sed 's/[][\.*^$#/]/\\&/g'; }
sed -E -e 's/^(. [0-9]{2} [A-Z][a-z]{2} )[0-9]{2}:[0-9]{2}:[0-9]{2}/\1HH:MM:SS/' \
  -e "s#$(literal "$ZENTRAK_E2E_PWD")#STATION#g" "$work/.console" >"$work/.console.masked"

expected="$case_dir/expected"
if [ "${ZENTRAK_E2E_UPDATE:-}" = 1 ]; then
  mkdir -p "$expected"
  cp "$work/.console.masked" "$expected/console"
  echo "$status" >"$expected/status"
  if [ -d "$expected/files" ]; then
    for f in "$expected/files"/*; do
      [ -e "$f" ] || continue
      name=$(basename "$f")
      if [ -e "$work/$name" ]; then cp "$work/$name" "$f"; else rm "$f"; fi
    done
  fi
  echo "updated $expected"
  exit 0
fi

# What a Linux expectation reads on Windows: the banner's platform word and
# the program's file name in the syntax line; line ends are not compared.
platform_words() {
  sed -E -e 's#^(% [0-9]{2} [A-Z][a-z]{2} HH:MM:SS Zentrak [^ ]+ /)LNX #\1W32 #' \
    -e 's#^\* Syntax: zentrak #* Syntax: zentrak.exe #' \
    -e 's#^(\* Without config_file: zentrak\.cfg beside the program), else .*#\1#' "$1"
}
same_file() { # expected actual
  cmp -s "$1" "$2" && return 0
  $windows && cmp -s <(platform_words "$1" | sed 's/\r$//') <(sed 's/\r$//' "$2")
}
show_diff() { # expected actual
  if $windows; then
    diff -u <(platform_words "$1" | sed 's/\r$//') <(sed 's/\r$//' "$2")
  else
    diff -u "$1" "$2"
  fi
}

failed=0
if ! same_file "$expected/console" "$work/.console.masked"; then
  show_diff "$expected/console" "$work/.console.masked"
  echo "console differs"; failed=1
fi
want_status=$(cat "$expected/status")
if [ "$status" != "$want_status" ]; then
  echo "exit status $status, expected $want_status"; failed=1
fi
if [ -d "$expected/files" ]; then
  for f in "$expected/files"/*; do
    [ -e "$f" ] || continue
    name=$(basename "$f")
    if ! same_file "$f" "$work/$name"; then
      echo "file $name differs:"; show_diff "$f" "$work/$name" | head -n 40; failed=1
    fi
  done
fi
if [ -f "$expected/absent" ]; then
  while read -r name; do
    [ -z "$name" ] && continue
    if [ -e "$work/$name" ]; then echo "file $name should not exist"; failed=1; fi
  done <"$expected/absent"
fi
exit $failed
