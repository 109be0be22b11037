#!/usr/bin/env bash
# Runs the example station once with the Linux programs and once with the
# Windows programs under wine, on the same log at the same frozen time, and
# compares every report: they must be the same bytes apart from line ends.
# Usage: compare_station_windows.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
linux=$(cd "$1" && pwd)
windows=$(cd "$2" && pwd)
when="2026-12-07 10:43:08"
faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 | head -n 1)

export WINEPREFIX="$windows/wine"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$linux/zentrak-genlog" --seed 2026 --days 3 --end 2026-12-06 --out "$work/mailer.log"

# station DIR PROGRAM_DIR RUNNER...: a copy of the example station in DIR, run
# with the given program directory.
station() {
  local dir=$1 bin=$2 exe=$3 history=$4
  shift 4
  mkdir -p "$dir/out"
  cp -a "$root/examples/station/." "$dir/"
  cp "$work/mailer.log" "$dir/"
  # The history stays with the station, as in the demo, not beside the program.
  printf '\nHISTFILE %s\n' "$history" >>"$dir/zentrak.cfg"
  (cd "$dir" && "$@" "$bin/zentrak-lngc$exe" english.lngsrc english.lng >/dev/null 2>&1)
  (cd "$dir" && LD_PRELOAD="$faketime_lib" FAKETIME="$when" FAKETIME_DONT_FAKE_MONOTONIC=1 \
    "$@" "$bin/zentrak$exe" zentrak.cfg >console 2>/dev/null) || true
}
# Both see the same drive C: the root file system, labelled "/".
mkdir -p "$WINEPREFIX"
wineboot --init >/dev/null 2>&1
printf '/' >"$WINEPREFIX/drive_c/.windows-label"
wineserver --wait  # wine reads the label when its server starts
station "$work/linux" "$linux" "" "$work/linux/lastcall.bin" env
station "$work/windows" "$windows" .exe "Z:${work//\//\\}\\windows\\lastcall.bin" wine

# Line ends aside; the disk usage report's sizes are masked, since the free
# space of a shared disk moves between the two runs.
normal() { # report file
  if [ "$(basename "$1")" = disk.out ]; then
    sed -E -e 's/\r$//' -e 's/[0-9]+\.[0-9]{3}[bKMG]/SIZE/g' "$1"
  else
    sed 's/\r$//' "$1"
  fi
}

status=0
count=0
crlf=0
for report in "$work/linux/out"/*; do
  name=$(basename "$report")
  count=$((count + 1))
  other="$work/windows/out/$name"
  grep -q $'\r$' "$other" 2>/dev/null && crlf=$((crlf + 1))
  if ! cmp -s <(normal "$report") <(normal "$other" 2>/dev/null); then
    echo "report $name differs:"
    diff -u <(normal "$report") <(normal "$other" 2>/dev/null) | head -n 20
    status=1
  fi
done
extra=$(comm -13 <(ls "$work/linux/out") <(ls "$work/windows/out"))
[ -n "$extra" ] && { echo "only the Windows run wrote: $extra"; status=1; }
[ "$count" -gt 0 ] || { echo "the Linux run wrote no report"; status=1; }
echo "example station: $count reports compared, $crlf of the Windows ones with CR LF," \
  "$([ $status = 0 ] && echo all the same || echo some different)"
exit $status
