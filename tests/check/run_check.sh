#!/usr/bin/env bash
# --check against a real run on two identical copies of the example station:
# the checked copy must keep every file and folder byte for byte and time stamp
# for time stamp, and both runs must print the same lines and end with the same
# status. The station is set up so that a real run changes everything it can:
# reports, a joined file that erases a report, the history, a CUTFILE that cuts
# and one that deletes, and the log cut. A second pair of runs points OUTPUT at
# a folder that does not exist, so that the failures must match as well.
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
when="2026-12-07 10:43:08"

faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n 1)
if [ -z "$faketime_lib" ]; then
  echo "libfaketime is missing (make test installs it)" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tmp"
export TMPDIR=$work/tmp

station=$work/a
cp -a "$root/examples/station/." "$station/"
rm -f "$station/run_demo.sh"
mkdir -p "$station/out"
"$build/zentrak-lngc" "$station/english.lngsrc" "$station/english.lng" >/dev/null
"$build/zentrak-genlog" --seed 7 --days 4 --end 2026-12-06 --out "$station/mailer.log" >/dev/null
cat >>"$station/zentrak.cfg" <<'CFG'
HISTFILE lastcall.bin
STAT night.out SES+!LIN+CPS+SUM
CUTFILE big.txt 100 40
CUTFILE old.txt 10
CUT_LOG 2
SUMMARY_TEMPLATE missing.tpl
CFG
sed 's#^OUTPUT .*#OUTPUT nowhere/#' "$station/zentrak.cfg" >"$station/broken.cfg"

zentrak() { # folder args...
  local dir=$1
  shift
  (cd "$dir" && LD_PRELOAD="$faketime_lib" FAKETIME="$when" FAKETIME_DONT_FAKE_MONOTONIC=1 \
    "$build/zentrak" "$@" >"$work/console" 2>&1) && status=0 || status=$?
  sed -E 's/^(. [0-9]{2} [A-Z][a-z]{2} )[0-9]{2}:[0-9]{2}:[0-9]{2}/\1HH:MM:SS/' "$work/console"
  echo "exit status $status"
}

# A first real run leaves a history and reports; then the files to cut come
# back and every time stamp is set into the past, so a touch would show.
zentrak "$station" zentrak.cfg >/dev/null
head -c 300 /dev/zero | tr '\0' 'x' >"$station/big.txt"
echo "old enough to go" >"$station/old.txt"
find "$station" -exec touch -h -d "2020-01-02 03:04:05" {} +
cp -a "$station" "$work/b"

snapshot() { # folder
  (cd "$1" && find . -printf '%p %y %s %T@ %m\n' | sort && find . -type f -exec sha256sum {} + | sort)
}

failed=0
for config in zentrak.cfg broken.cfg; do
  before=$(snapshot "$station")
  checked=$(zentrak "$station" --check "$config")
  real=$(zentrak "$work/b" "$config")
  if [ "$checked" != "$real" ]; then
    echo "$config: --check and the real run print differently:"
    diff <(echo "$real") <(echo "$checked") || true
    failed=1
  fi
  if [ "$(snapshot "$station")" != "$before" ]; then
    echo "$config: --check changed the station:"
    diff <(echo "$before") <(snapshot "$station") || true
    failed=1
  fi
  if [ "$(snapshot "$work/b")" = "$before" ]; then
    echo "$config: the real run changed nothing, so the comparison proves nothing"
    failed=1
  fi
  if [ -n "$(ls -A "$work/tmp")" ]; then
    echo "$config: --check left its scratch folder behind"
    failed=1
  fi
  cp -a "$station/." "$work/b.next" && rm -rf "$work/b" && mv "$work/b.next" "$work/b"
done
exit $failed
