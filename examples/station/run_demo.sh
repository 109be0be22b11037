#!/usr/bin/env bash
# Runs Zentrak on the example station: a fresh copy in demo/, its language file
# compiled, a log generated whose dates end yesterday (so the configured window
# always has data), then one run that writes every report into demo/out/.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=$root/$build
demo=$root/demo

rm -rf "$demo"
mkdir -p "$demo"
cp -a "$root/examples/station/." "$demo/"
rm -f "$demo/run_demo.sh"
cd "$demo"
mkdir -p out
"$bin/zentrak-lngc" english.lngsrc english.lng
yesterday=$(date -d yesterday +%Y-%m-%d)
"$bin/zentrak-genlog" --seed 2026 --days 3 --end "$yesterday" --out mailer.log
echo "--- zentrak zentrak.cfg"
status=0
"$bin/zentrak" zentrak.cfg || status=$?
echo "---"
echo "Exit status: $status"
echo "Station folder: $demo"
echo "Reports:        $demo/out"
ls -1 "$demo/out" | sed 's/^/  /'
