#!/usr/bin/env bash
# The trends metrics file through the program, on the binkd station with one
# more session whose remote names are hostile (quotes, a backslash, braces, an
# invalid UTF-8 sequence): each sample one well-formed line, the names escaped
# or cut, and the whole file accepted by Prometheus's promtool. A run that
# changes nothing in the store leaves the file alone.
# Without promtool the rest is checked and the test is skipped (status 77),
# unless ZENTRAK_REQUIRE_PROMTOOL=1 (make test sets it: there a skip would hide
# a gap).
# usage: check_metrics.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n 1)
if [ -z "$faketime_lib" ]; then
  echo "libfaketime is missing (make test installs it)" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
st=$work/station
cp -a "$root/tests/e2e/binkd-station/station/." "$st/"
printf 'TRENDS_DB trends.db\nTRENDS_METRICS metrics/zentrak.prom\nMAKESTAT_FILES NO\nMAKESTAT_SUMMARY NO\nMAKESTAT_LASTCALL NO\n' >>"$st/zentrak.cfg"
mkdir -p "$st/metrics"
{
  printf '+ 06 Dec 07:00:00 [6001] incoming session with evil.example.net [192.0.2.66]\n'
  printf -- '- 06 Dec 07:00:01 [6001] SYS Evil" } zentrak_link_info{x="1\\\n'
  printf -- '- 06 Dec 07:00:01 [6001] ZYZ Sys\xc3op \xff\xfe"\n'
  printf '+ 06 Dec 07:00:01 [6001] addr: 2:5020/4242@fidonet\n'
  printf '+ 06 Dec 07:00:09 [6001] done (from 2:5020/4242@fidonet, OK, S/R: 0/0 (0/0 bytes))\n'
} >>"$st/binkd.log"
zentrak() {
  (cd "$st" && LD_PRELOAD="$faketime_lib" FAKETIME="2026-12-07 10:43:08" \
    FAKETIME_DONT_FAKE_MONOTONIC=1 TZ=UTC "$build/zentrak" "$@" >"$work/console" 2>&1) &&
    status=0 || status=$?
}
failed=0
fail() {
  echo "FAIL: $*"
  failed=1
}
prom=$st/metrics/zentrak.prom
zentrak zentrak.cfg
[ "$status" = 0 ] || fail "the run: status $status: $(grep '^!' "$work/console")"
[ -s "$prom" ] || fail "no metrics file"
ls "$st/metrics" | grep -qv '^zentrak.prom$' && fail "a copy was left beside the metrics file"
# Every line a comment or one sample: name, labels of escaped values, a number.
value='"([^"\\]|\\["\\n])*"'
sample="^[a-z_]+(\\{[a-z_]+=$value(,[a-z_]+=$value)*\\})? -?[0-9]+\$"
grep -Ev '^# (HELP|TYPE) ' "$prom" | grep -Evq "$sample" &&
  fail "a line that is no sample: $(grep -Ev '^# (HELP|TYPE) ' "$prom" | grep -Ev "$sample" | head -n 1)"
[ "$(grep -c '^zentrak_link_info{.*link="2:5020/4242"' "$prom")" = 1 ] ||
  fail "the hostile link is not one info sample"
grep -qF 'system="Evil\" } zentrak_link_info{x=\"1\\",sysop="Sys"' "$prom" ||
  fail "the hostile names are not escaped and cut: $(grep 4242 "$prom" | grep info)"
grep -q '^zentrak_link_bytes_total{station="2:5020/9999",link="2:5020/52",direction="received"} 56789$' "$prom" ||
  fail "no traffic counter of 2:5020/52: $(grep 'bytes_total.*5020/52"' "$prom")"
grep -q '^zentrak_last_run_timestamp_seconds{station=".*"} 1796640188$' "$prom" ||
  fail "the time of the run: $(grep last_run "$prom")"
# A run that changes nothing leaves the file as it was.
rm "$prom"
zentrak zentrak.cfg
[ -e "$prom" ] && fail "a run that changed nothing wrote the metrics"

if command -v promtool >/dev/null; then
  zentrak zentrak.cfg
  rm -f "$st/trends.db"
  zentrak zentrak.cfg
  promtool check metrics <"$prom" >"$work/promtool" 2>&1 ||
    fail "promtool check metrics: $(cat "$work/promtool")"
elif [ "$failed" = 0 ]; then
  echo "promtool is missing (make test installs it: Debian's prometheus)"
  [ "${ZENTRAK_REQUIRE_PROMTOOL:-}" = 1 ] && exit 1
  exit 77
fi
exit $failed
