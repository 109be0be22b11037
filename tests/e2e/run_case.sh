#!/usr/bin/env bash
# Runs one end-to-end station: copies tests/e2e/<case>/station to a temporary
# directory, compiles every *.lngsrc there into *.lng, runs the built binary with
# the arguments in <case>/cmd under a frozen clock, and compares the console
# (clock masked), the exit status and every file in <case>/expected/files.
#
# ZENTRAK_E2E_UPDATE=1 writes the actual results into <case>/expected instead;
# review the diff before committing it.
set -uo pipefail
case_dir=$(cd "$1" && pwd)
build_dir=$(cd "$2" && pwd)
when=$(cat "$case_dir/date" 2>/dev/null || echo "2026-12-07 10:43:08")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
[ -d "$case_dir/station" ] && cp -a "$case_dir/station/." "$work/"
cd "$work"
for source in *.lngsrc; do
  [ -e "$source" ] || continue
  "$build_dir/zentrak-lngc" "$source" "${source%.lngsrc}.lng" >/dev/null || exit 1
done
[ -x "$case_dir/setup" ] && "$case_dir/setup" "$build_dir"

faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n 1)
if [ -z "$faketime_lib" ]; then
  echo "libfaketime is missing (make test installs it)" >&2
  exit 1
fi
read -r -a args < <(cat "$case_dir/cmd")
LD_PRELOAD="$faketime_lib" FAKETIME="$when" FAKETIME_DONT_FAKE_MONOTONIC=1 \
  "$build_dir/zentrak" "${args[@]}" >"$work/.console" 2>&1
status=$?
sed -E 's/^(. [0-9]{2} [A-Z][a-z]{2} )[0-9]{2}:[0-9]{2}:[0-9]{2}/\1HH:MM:SS/' "$work/.console" \
  >"$work/.console.masked"

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

failed=0
if ! diff -u "$expected/console" "$work/.console.masked"; then
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
    if ! cmp -s "$f" "$work/$name"; then
      echo "file $name differs:"; diff -u "$f" "$work/$name" | head -n 40; failed=1
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
