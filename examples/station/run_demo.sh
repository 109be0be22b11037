#!/usr/bin/env bash
# Runs Zentrak on the two example stations: fresh copies of the mailer
# station and the binkd station side by side in demo/ (or the folder given
# second), as the package installs them, since the binkd station takes most
# of its templates from the mailer station. The mailer station gets its
# language file compiled and a mailer log, the binkd station a binkd log,
# both of 70 days generated with dates ending yesterday (so the configured
# window always has data). The days before yesterday are moved into older/ as
# logrotate would have left them (NAME.2.gz and NAME.1), and --import writes
# them, with the live log, into the trends store, as the history a node has on
# disk when Zentrak is installed; then zentrak.cfg writes the reports into
# out/ and zentrak-html.cfg the web pages into html/, both over yesterday, so
# the trends pages show the imported weeks and the night.
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
# The lines before yesterday's into older/: the older half compressed.
rotate_old() {  # log
  local first
  first=$(LC_ALL=C awk -v day="$(LC_ALL=C date -d yesterday '+%d %b')" \
    'substr($0, 3, 6) == day { print NR; exit }' "$1")
  mkdir -p older
  head -n "$((first - 1))" "$1" >older/all
  split -n l/2 -d older/all older/part.
  gzip -c older/part.00 >"older/$1.2.gz"
  mv older/part.01 "older/$1.1"
  rm -f older/all older/part.00
  tail -n +"$first" "$1" >"$1.live" && mv "$1.live" "$1"
}
status=0
for station in station binkd; do
  cd "$demo/$station"
  mkdir -p out html
  log=mailer.log
  [ "$station" = binkd ] && log=binkd.log
  rotate_old "$log"
  echo "--- zentrak $station/zentrak-html.cfg --import older/$log.2.gz older/$log.1 $log"
  "$bin/zentrak" zentrak-html.cfg --import "older/$log.2.gz" "older/$log.1" "$log" || status=$?
  for cfg in zentrak.cfg zentrak-html.cfg; do
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
