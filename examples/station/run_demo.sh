#!/usr/bin/env bash
# Runs Zentrak on the two example stations: fresh copies of the mailer
# station and the binkd station side by side in demo/ (or the folder given
# second), as the package installs them, since the binkd station takes most
# of its templates from the mailer station. The mailer station gets its
# language file compiled and a mailer log, the binkd station a binkd log,
# both of 70 days generated with dates ending yesterday (so the configured
# window always has data). In each station a first run over an earlier window
# (the 70 days up to two days ago) fills the trends store as earlier nights
# would have; then zentrak.cfg writes the reports into out/ and
# zentrak-html.cfg the web pages into html/, both over yesterday, so the
# trends pages show both windows.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(cd "$root" && cd "$build" && pwd)
demo=${2:-$root/demo}

rm -rf "$demo"
mkdir -p "$demo"
demo=$(cd "$demo" && pwd)
cp -a "$root/examples/station" "$root/examples/binkd" "$demo/"
rm -f "$demo/station/run_demo.sh"
yesterday=$(date -d yesterday +%Y-%m-%d)
"$bin/zentrak-lngc" "$demo/station/english.lngsrc" "$demo/station/english.lng"
"$bin/zentrak-genlog" --seed 2026 --days 70 --end "$yesterday" --out "$demo/station/mailer.log"
"$bin/zentrak-genlog" --binkd --seed 2026 --days 70 --end "$yesterday" --out "$demo/binkd/binkd.log"
status=0
for station in station binkd; do
  cd "$demo/$station"
  mkdir -p out html
  sed 's/^TIME .*/TIME 70.00:00-1.00:00/' zentrak-html.cfg >earlier.cfg
  for cfg in earlier.cfg zentrak.cfg zentrak-html.cfg; do
    echo "--- zentrak $station/$cfg"
    "$bin/zentrak" "$cfg" || status=$?
  done
  # Zentrak writes the pages; their stylesheet is copied once, like a sysop would.
  cp "$demo/station/templates-html/zentrak.css" html/
done
echo "---"
echo "Exit status: $status"
for station in station binkd; do
  echo "Station folder: $demo/$station"
  echo "Reports:        $demo/$station/out"
  ls -1 "$demo/$station/out" | sed 's/^/  /'
  echo "Entry page:     $demo/$station/html/index.html"
done
exit $status
