#!/usr/bin/env bash
# Runs the demo (both example stations, reports and web pages) and checks
# what a sysop who starts from them would see first: every run ends with
# status 0 and no "!" line, every report is written, the trends store holds
# the days of both windows the demo ran over, and the binkd station's
# own templates are expanded: each session a binkp one, hosts where the
# mailer station has phones, no macro left unknown.
set -uo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "demo: $*"
  exit 1
}
bash "$root/examples/station/run_demo.sh" "$build" "$work/demo" >"$work/console" 2>&1 ||
  { cat "$work/console"; fail "the demo ended with a status other than 0"; }
grep '^! ' "$work/console" && fail "a run printed a \"!\" line"
for station in station binkd; do
  for report in sessions link sysops cps traffic time mailers files hist graphic summary disk failures \
    lastcall trends all; do
    [ -s "$work/demo/$station/out/$report.out" ] || fail "no $station/out/$report.out"
  done
  [ "$(ls "$work/demo/$station/html/"*.html | wc -l)" -eq 15 ] || fail "not 15 $station pages"
  grep -q '^Stored: 70 days' "$work/demo/$station/out/trends.out" ||
    fail "$station's trends store lacks the earlier window's days"
done
binkd=$work/demo/binkd
grep -l '@' "$binkd"/out/{sessions,sysops}.out "$binkd"/html/{sessions,sysops}.html &&
  fail "a macro was left unexpanded"
# A session record begins with its start and end times.
sessions=$(grep -cE '^[0-9:]{8} [0-9:]{8} ' "$binkd/out/sessions.out")
[ "$sessions" -gt 50 ] || fail "only $sessions sessions listed"
[ "$(grep -cE '^[0-9:]{8} [0-9:]{8} .* binkp$' "$binkd/out/sessions.out")" -eq "$sessions" ] ||
  fail "a session is not marked binkp"
grep -q '\.binkp\.net ' "$binkd/out/sysops.out" || fail "the sysops report shows no host"
# What a binkd sysop reads first: the link summary, why calls failed, when
# the node is busy.
grep -qE '^ +In: +[0-9]+ +[0-9]+  Calls: ' "$binkd/out/link.out" || fail "the links report has no link summary"
grep -qE ' (connection refused|timed out|busy|broken off) ' "$binkd/out/failures.out" ||
  fail "the failures report names no reason"
grep -qE '^Sessions \|[1-9 ]{48}\|$' "$binkd/out/graphic.out" || fail "the activity report has no busy hours"
grep -q 'data-chart="sessions"' "$binkd/html/graphic.html" || fail "the activity page has no sessions chart"
grep -q 'href="failures.html"' "$binkd/html/index.html" || fail "the summary page links no failures page"
echo "demo: both stations ran; $sessions binkp sessions listed"
