#!/usr/bin/env bash
# Runs Zentrak on the example station: a fresh copy in demo/ (or the folder
# given second), its language file compiled, a log of 70 days generated whose
# dates end yesterday (so the configured window always has data). A first run
# over an earlier window (the 70 days up to two days ago) fills the trends
# store as earlier nights would have; then one run writes every report into
# out/ and a second one, from zentrak-html.cfg, writes the web pages into
# html/, both over yesterday, so the trends pages show both windows.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(cd "$root" && cd "$build" && pwd)
demo=${2:-$root/demo}

rm -rf "$demo"
mkdir -p "$demo"
demo=$(cd "$demo" && pwd)
cp -a "$root/examples/station/." "$demo/"
rm -f "$demo/run_demo.sh"
cd "$demo"
mkdir -p out html
"$bin/zentrak-lngc" english.lngsrc english.lng
yesterday=$(date -d yesterday +%Y-%m-%d)
"$bin/zentrak-genlog" --seed 2026 --days 70 --end "$yesterday" --out mailer.log
sed 's/^TIME .*/TIME 70.00:00-1.00:00/' zentrak-html.cfg >earlier.cfg
status=0
for cfg in earlier.cfg zentrak.cfg zentrak-html.cfg; do
  echo "--- zentrak $cfg"
  "$bin/zentrak" "$cfg" || status=$?
done
# Zentrak writes the pages; their stylesheet is copied once, like a sysop would.
cp templates-html/zentrak.css html/
echo "---"
echo "Exit status: $status"
echo "Station folder: $demo"
echo "Reports:        $demo/out"
ls -1 "$demo/out" | sed 's/^/  /'
echo "Web pages:      $demo/html"
echo "Entry page:     $demo/html/index.html"
exit $status
