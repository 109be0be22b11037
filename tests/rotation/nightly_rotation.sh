#!/usr/bin/env bash
# A binkd node's month, night by night, as a Debian node runs it: binkd writes
# its log "binkd", logrotate rotates it weekly (rotate 4, compress,
# delaycompress, missingok, notifempty, create) and Zentrak runs at 00:15 over
# yesterday (TIME 1.00:00-0.00:00) into a trends store. Three stations get the
# same log: logrotate at midnight, before the run; logrotate at 06:25, after
# it, with .gz files of two gzip members each; and dateext names, rotated at
# 00:14:30, so that the run finds a live file with nothing in it yet. A fourth
# station cuts its log every night (CUT_LOG YES) and logrotate comes before the
# run. Every midnight has a session that began 23:59:40 and ended 00:00:14.
#
# The nights must add up to one run over the whole span on the log as one
# plain file: the same store, byte for byte in `sqlite3 .dump`, and each
# night's sessions report exactly that run's sessions that began that day.
# Every night ends with status 0 and no "!" line.
# usage: nightly_rotation.sh BUILD_DIR (ZENTRAK_E2E_KEEP=<dir> keeps what it made)
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
export LC_ALL=C
faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n 1)
logrotate=$(command -v logrotate || echo /usr/sbin/logrotate)
if [ -z "$faketime_lib" ] || [ ! -x "$logrotate" ] || ! command -v sqlite3 >/dev/null; then
  echo "libfaketime, logrotate or sqlite3 is missing (make test installs them)" >&2
  exit 1
fi

work=$(mktemp -d)
# ZENTRAK_E2E_KEEP=<dir> keeps the stations as the nights left them.
keep() {
  if [ -n "${ZENTRAK_E2E_KEEP:-}" ]; then
    mkdir -p "$ZENTRAK_E2E_KEEP" && cp -a "$work/." "$ZENTRAK_E2E_KEEP/"
  fi
  rm -rf "$work"
}
trap keep EXIT
failed=0
fail() {
  echo "FAIL: $*"
  failed=1
}

# Day k of the log (1..26) and the morning after the last one (27); the span
# crosses a month's end.
days=26
first=2026-11-10
declare -a iso dm key
for k in $(seq 1 $((days + 1))); do
  iso[k]=$(date -u -d "$first + $((k - 1)) days" +%F)
  dm[k]=$(date -u -d "$first + $((k - 1)) days" '+%d %b')
  key[k]=$(date -u -d "$first + $((k - 1)) days" +%m%d)
done
# The nights after which logrotate's weekly turn comes: four turns fill
# binkd.1 to binkd.4.gz and lose nothing.
rotation_nights="4 11 18 25"

# The log: the generator's binkd log, and a session across every midnight.
"$build/zentrak-genlog" --binkd --days $days --end "${iso[days]}" --sessions 120 --seed 29 \
  --out "$work/generated.log" >/dev/null
for k in $(seq 1 $days); do
  pid=$((4000000 + k)) bytes=$((685700 + k)) today=${dm[k]} next=${dm[k + 1]}
  address="2:5020/2999@fidonet"
  printf '%s235940\t+ %s 23:59:40 [%d] session with cross.example.org (192.0.2.250)\n' \
    "${key[k]}" "$today" $pid
  printf '%s235941\t+ %s 23:59:41 [%d] addr: %s\n' "${key[k]}" "$today" $pid $address
  printf '%s235941\t- %s 23:59:41 [%d] receiving 0000CAFE.PKT (%d byte(s), off 0)\n' \
    "${key[k]}" "$today" $pid $bytes
  printf '%s000013\t+ %s 00:00:13 [%d] rcvd: 0000CAFE.PKT (%d, 21428.00 CPS, %s)\n' \
    "${key[k + 1]}" "$next" $pid $bytes $address
  printf '%s000014\t+ %s 00:00:14 [%d] done (from %s, OK, S/R: 0/1 (0/%d bytes))\n' \
    "${key[k + 1]}" "$next" $pid $address $bytes
done >"$work/crossing.txt"
# Sort keys of a line: MMDDhhmmss from its date columns; a line without a
# date (binkd's empty line at a start) sorts with the line before it.
line_key='
function linekey(line, last,   m) {
  m = index("JanFebMarAprMayJunJulAugSepOctNovDec", substr(line, 6, 3))
  if (m == 0 || substr(line, 3, 2) !~ /^[0-9][0-9]$/) return last
  return ((m + 2) / 3 * 100 + substr(line, 3, 2)) * 1000000 + \
    substr(line, 10, 2) * 10000 + substr(line, 13, 2) * 100 + substr(line, 16, 2)
}'
# A session that began before midnight and still runs at 00:15 is one the
# night cannot see whole: its end is not written yet. The nights could only
# count it unfinished where one run over the span counts it whole, so such
# sessions (the generator's slowest links take hours) are taken out.
awk -v days="${key[*]}" "$line_key"'
  function judge(p,   j, n, nr) {
    if (last[p] >= after[int(start[p] / 1000000)] * 1000000 + 1500) {
      n = split(lines[p], nr, " ")
      for (j = 1; j <= n; ++j) gone[nr[j]] = 1
    }
    delete start[p]; delete called[p]; delete session[p]; delete lines[p]
  }
  function begin(p, call) {
    if (p in start) judge(p)
    start[p] = k; called[p] = call; session[p] = !call; lines[p] = ""
  }
  BEGIN { n = split(days, d, " "); for (j = 1; j < n; ++j) after[d[j]] = d[j + 1] }
  NR == FNR {
    k = linekey($0, k)
    if (substr($0, 19, 1) != "[" || (close_at = index($0, "]")) == 0) next
    p = substr($0, 20, close_at - 20); m = substr($0, close_at + 2)
    if (m ~ /^BEGIN /) { for (q in start) judge(q); next }
    if (m ~ /^call to /) begin(p, 1)
    else if (m ~ /^((incoming|outgoing) )?session with /) {
      if (p in start && called[p] && !session[p]) session[p] = 1; else begin(p, 0)
    }
    if (!(p in start)) next
    lines[p] = lines[p] " " FNR; last[p] = k
    if (m ~ /^done \(/) judge(p)
    next
  }
  FNR == 1 { for (q in start) judge(q) }
  !(FNR in gone)' "$work/generated.log" "$work/generated.log" \
  >"$work/kept.log"
awk -F'\t' "$line_key"'
  NR == FNR { at[++n] = $1 + 0; text[n] = $2; next }
  { k = linekey($0, k); while (i < n && at[i + 1] < k) print text[++i]; print }
  END { while (i < n) print text[++i] }' "$work/crossing.txt" "$work/kept.log" \
  >"$work/binkd.log"

# A station: the configuration, the template and, for the nights, the
# logrotate configuration.
make_station() { # dir time-window store output
  mkdir -p "$1/log" "$1/$4"
  cp "$here/sessions.tpl" "$1/"
  cat >"$1/zentrak.cfg" <<EOF
SYSOP Test Sysop
STATION Rotation Test Node
ADDRESS 2:5020/1
LOG_FORMAT binkd
LOG log/binkd
TIME $2
TRENDS_DB $3
OUTPUT $4/
SESSIONS_TEMPLATE sessions.tpl
MAKESTAT_SESSIONS YES
MAKESTAT_LINKS NO
MAKESTAT_SYSOPS NO
MAKESTAT_CPS NO
MAKESTAT_TRAFFIC NO
MAKESTAT_TIME NO
MAKESTAT_MAILERS NO
MAKESTAT_FILES NO
MAKESTAT_HISTOGRAM NO
MAKESTAT_GRAPHIC NO
MAKESTAT_SUMMARY NO
MAKESTAT_DISK NO
MAKESTAT_LASTCALL NO
EOF
}
zentrak() { # station when(YYYY-MM-DD hh:mm:ss) console [more arguments]; sets status
  (cd "$1" && LD_PRELOAD="$faketime_lib" FAKETIME="$2" FAKETIME_DONT_FAKE_MONOTONIC=1 \
    "$build/zentrak" zentrak.cfg "${@:4}" >"$3" 2>&1) && status=0 || status=$?
}
dump() { sqlite3 "$1" .dump; }
figures() {
  sqlite3 "$1" "SELECT day, covered_till, calling_seconds, bbs_seconds, unfinished_seconds,
    failed_calls, sessions FROM days ORDER BY day; SELECT * FROM day_links ORDER BY day, address"
}

# Two gzip members in each compressed file, as an appended gzip file has.
cat >"$work/gzip-twice" <<'EOF'
#!/bin/sh
tmp=$(mktemp) && cat >"$tmp" && half=$(($(wc -l <"$tmp") / 2)) &&
  head -n "$half" "$tmp" | gzip -c && tail -n +"$((half + 1))" "$tmp" | gzip -c
status=$?
rm -f "$tmp"
exit $status
EOF
chmod 755 "$work/gzip-twice"

# The reference: one run over the whole span on the log as one plain file, at
# the last night's instant.
ref=$work/reference
make_station "$ref" "$days.00:00-0.00:00" trends.db out
cp "$work/binkd.log" "$ref/log/binkd"
zentrak "$ref" "${iso[days + 1]} 00:15:00" "$work/reference.console"
[ "$status" = 0 ] || fail "the reference run: status $status"
dump "$ref/trends.db" >"$work/reference.dump"
# Each session of the reference with the day it began: the list stands in the
# order the sessions ended, so the end time falls back at each midnight; a
# session whose end is before its start began the day before.
awk '{ if ($2 < last) ++day; last = $2; print (day + 1 - ($1 > $2)) "\t" $0 }' \
  "$ref/out/sessions.out" >"$work/reference.days"
crossing=$(grep -c ' 2:5020/2999 685' "$ref/out/sessions.out" || true)
[ "$crossing" = $days ] || fail "the reference lists $crossing of the $days midnight sessions"
[ "$(cut -f1 "$work/reference.days" | sort -un | tr '\n' ' ')" = "$(seq -s ' ' 1 $days) " ] ||
  fail "the reference's sessions do not fall on days 1 to $days"

# station NAME ROTATE-AT(hhmmss) CUT [logrotate lines...]: the nights; CUT is
# a CUT_LOG line or empty.
night_station() {
  local name=$1 rotate_at=$2 cut=$3 st=$work/$1
  shift 3
  make_station "$st" 1.00:00-0.00:00 trends.db out
  [ -z "$cut" ] || echo "$cut" >>"$st/zentrak.cfg"
  mkdir -p "$st/nights"
  {
    echo "$st/log/binkd {"
    printf '  %s\n' weekly "rotate 4" compress delaycompress missingok notifempty create "$@"
    echo "}"
  } >"$st/logrotate.conf"
  chmod 644 "$st/logrotate.conf"
  # The events in time order, and the log cut into the pieces binkd writes
  # between them.
  for n in $(seq 1 $days); do
    echo "${key[n + 1]}001500 run $n"
    case " $rotation_nights " in *" $n "*) echo "${key[n + 1]}$rotate_at rotate $n" ;; esac
  done | sort -n >"$st/events"
  awk "$line_key"'
    NR == FNR { at[++n] = $1 + 0; next }
    { k = linekey($0, k); while (i < n && k >= at[i + 1]) ++i; print >(dir "/piece." (i + 0)) }' \
    dir="$st" "$st/events" "$work/binkd.log"
  local piece=0 when what night
  : >"$st/log/binkd"
  while read -r when what night; do
    [ -e "$st/piece.$piece" ] && cat "$st/piece.$piece" >>"$st/log/binkd"
    piece=$((piece + 1))
    local day=${iso[night + 1]} clock=${when:4:2}:${when:6:2}:${when:8:2}
    if [ "$what" = rotate ]; then
      LD_PRELOAD="$faketime_lib" FAKETIME="$day $clock" FAKETIME_DONT_FAKE_MONOTONIC=1 \
        "$logrotate" -f -s "$st/logrotate.state" "$st/logrotate.conf" ||
        fail "$name: logrotate after night $night"
      continue
    fi
    zentrak "$st" "$day $clock" "$st/nights/$night.console"
    [ "$status" = 0 ] || fail "$name: night $night (${iso[night]}): status $status"
    grep '^! ' "$st/nights/$night.console" && fail "$name: night $night printed a \"!\" line"
    cp "$st/out/sessions.out" "$st/nights/$night.out" 2>/dev/null ||
      fail "$name: night $night wrote no sessions report"
  done <"$st/events"
  [ -e "$st/piece.$piece" ] && fail "$name: log lines after the last night"

  # The cut keeps a line before the window, so the cut station's nights too
  # know that the log went on before midnight.
  dump "$st/trends.db" | cmp -s - "$work/reference.dump" ||
    fail "$name: the nights' store differs from the whole span's"
  for n in $(seq 1 $days); do
    awk -F'\t' -v day="$n" '$1 == day { print $2 }' "$work/reference.days" |
      cmp -s - "$st/nights/$n.out" ||
      fail "$name: night $n's sessions are not the whole span's sessions of ${iso[n]}"
  done
  echo "$name: $(cd "$st/log" && ls | tr '\n' ' ')"
  # The cut took the older days out of the files for good.
  [ -z "$cut" ] || return 0
  # And one run over the whole span on the rotated files.
  sed -i -e "s/^TIME .*/TIME $days.00:00-0.00:00/" -e 's/^TRENDS_DB .*/TRENDS_DB whole.db/' \
    "$st/zentrak.cfg"
  zentrak "$st" "${iso[days + 1]} 00:15:00" "$st/whole.console"
  [ "$status" = 0 ] || fail "$name: the whole span over the rotated files: status $status"
  dump "$st/whole.db" | cmp -s - "$work/reference.dump" ||
    fail "$name: the whole span over the rotated files stores other figures"
  cmp -s "$st/out/sessions.out" "$ref/out/sessions.out" ||
    fail "$name: the whole span over the rotated files lists other sessions"
  # And --import of the rotated files, shuffled, one of them twice, and an
  # archive that overlaps two of them, into a fresh store; then again, which
  # must change nothing.
  sed -i 's/^TRENDS_DB .*/TRENDS_DB import.db/' "$st/zentrak.cfg"
  local files older=binkd.2.gz newer=binkd.1
  files=$(cd "$st/log" && ls | grep -v '^binkd$' | shuf --random-source=<(yes) | sed "s|^|log/|")
  if [ ! -e "$st/log/binkd.1" ]; then  # dateext: the older date first
    older=$(cd "$st/log" && ls binkd-* | sort | sed -n 1p)
    newer=$(cd "$st/log" && ls binkd-* | sort | sed -n 2p)
  fi
  { zcat -f "$st/log/$older" | tail -n 300; zcat -f "$st/log/$newer" | sed -n 1,300p; } \
    >"$st/overlap.log"
  # shellcheck disable=SC2086  # the files are words
  zentrak "$st" "${iso[days + 1]} 00:15:00" "$st/import.console" --import $files log/binkd \
    overlap.log $(echo "$files" | head -n 1)
  [ "$status" = 0 ] || fail "$name: --import: status $status"
  dump "$st/import.db" | cmp -s - "$work/reference.dump" ||
    fail "$name: --import of the rotated files stores other figures than the nights"
  # shellcheck disable=SC2086
  zentrak "$st" "${iso[days + 1]} 00:15:00" "$st/import2.console" --import $files log/binkd
  grep -q ' 0 days added, 0 replaced, ' "$st/import2.console" && dump "$st/import.db" |
    cmp -s - "$work/reference.dump" || fail "$name: importing the same files again changed the store"
}

night_station before 000000 ""
night_station after 062500 "" "compresscmd $work/gzip-twice" "compressext .gz"
night_station dateext 001430 "" dateext
night_station cut 000000 "CUT_LOG YES"

# binkd.1 holds what the nightly cuts left of its week.
[ "$(wc -c <"$work/cut/log/binkd.1")" -lt "$(wc -c <"$work/before/log/binkd.1")" ] ||
  fail "cut: the live log was never cut"
# The runs name the files they read: a night whose day logrotate moved away
# before the run, or whose morning it moved away after the run before, reads
# it from binkd.1.
grep -q 'Reading log file (.*binkd\.1)' "$work/before/nights/4.console" ||
  fail "before: night 4 did not read binkd.1"
grep -q 'Reading log file (.*binkd\.1)' "$work/after/nights/5.console" ||
  fail "after: night 5 did not read binkd.1"
grep -q "Reading log file (.*binkd-${iso[26]//-/})" "$work/dateext/nights/25.console" ||
  fail "dateext: night 25 did not read binkd-${iso[26]//-/}"
[ "$failed" = 0 ] && echo "nightly rotation: $days nights on 4 stations, $(wc -l <"$work/reference.days") sessions"
exit $failed
