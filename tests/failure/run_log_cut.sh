#!/usr/bin/env bash
# The log cut from the mailer's side. A cut keeps the log the mailer's: its
# mode always, and when the run is root its owner and group (a log of another
# user and group, mode 0660). Lines the mailer appends while the cut copies
# are carried into the cut log, each exactly once: the run is stopped half way
# through writing its copy, lines are appended, and the run goes on.
#
# usage: run_log_cut.sh <build-dir> <fail-shim.so>
set -uo pipefail
. "$(dirname "$0")/preamble.sh"

st=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill -CONT $pid 2>/dev/null; rm -rf "$st"' EXIT
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

"$build/zentrak-lngc" "$root/examples/station/english.lngsrc" "$st/english.lng" >/dev/null
station() { # newalg
  rm -f "$st"/mailer.log "$st"/*.tmp
  printf '%s\n' "SYSOP Test Sysop" "STATION Test Station" "ADDRESS 2:5020/1" "LOG mailer.log" \
    "LNGFILE english.lng" "TIME 1.00:00-0.23:59" "CUT_LOG 2" "CUT_LOG_NEWALG $1" >"$st/zentrak.cfg"
  for r in SESSIONS LINKS SYSOPS CPS TRAFFIC TIME MAILERS FILES HISTOGRAM GRAPHIC SUMMARY DISK \
    LASTCALL; do
    echo "MAKESTAT_$r NO" >>"$st/zentrak.cfg"
  done
  for day in 01 02 06 07; do
    for n in $(seq 10 59); do
      printf '* %s Dec 10:%02d:00 Z001 Incoming call\r\n' "$day" "$n"
      printf '%% %s Dec 10:%02d:30 Z001 End of session, in/out: %d/7 bytes\r\n' "$day" "$n" "$n"
    done
  done >"$st/mailer.log"
}
start() {
  (cd "$st" && exec env "$@" LD_PRELOAD="$shim:$faketime_lib" FAKETIME="2026-12-07 10:43:08" \
     FAKETIME_DONT_FAKE_MONOTONIC=1 "$build/zentrak" zentrak.cfg >"$st/console" 2>&1) &
  pid=$!
}
finish() {
  { wait "$pid"; } 2>/dev/null
  status=$?
  pid=
}
# The lines from the first of 06 Dec on, as either algorithm keeps them.
tail_of() { sed -n '/^\* 06 Dec/,$p' "$1"; }

# Owner, group and mode.
for alg in YES NO; do
  station $alg
  if [ "$(id -u)" = 0 ]; then
    chown 65534:65534 "$st/mailer.log"
    chmod 0660 "$st/mailer.log"
    want="65534:65534 660"
  else
    chmod 0640 "$st/mailer.log"
    want="$(id -u):$(stat -c %g "$st/mailer.log") 640"
  fi
  start
  finish
  got=$(stat -c '%u:%g %a' "$st/mailer.log")
  [ "$got" = "$want" ] || fail "CUT_LOG_NEWALG $alg: the cut log is $got, expected $want"
  grep -q "^\* 01 Dec" "$st/mailer.log" && fail "CUT_LOG_NEWALG $alg: the log was not cut"
done
[ "$(id -u)" = 0 ] || echo "not root: owner and group were not tested, only the mode"

# Lines appended while the copy is half written.
for alg in YES NO; do
  station $alg
  cp "$st/mailer.log" "$st/before"
  start ZT_FAIL_MODE=stop ZT_FAIL_PATH='$cutlog$' ZT_FAIL_STEP=1
  for _ in $(seq 100); do
    [ "$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)" = T ] && break
    sleep 0.1
  done
  [ "$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)" = T ] || fail "$alg: the run never stopped"
  for n in $(seq 1000 1199); do
    printf '* 07 Dec 10:43:08 Z001 Appended line %d\r\n' "$n" >>"$st/mailer.log"
  done
  kill -CONT $pid
  finish
  [ "$status" -eq 0 ] || [ "$status" -eq 2 ] || fail "$alg: exit status $status: $(cat "$st/console")"
  appended=$(grep -c "Appended line" "$st/mailer.log")
  distinct=$(grep "Appended line" "$st/mailer.log" | sort -u | wc -l)
  [ "$appended" = 200 ] && [ "$distinct" = 200 ] ||
    fail "$alg: $appended appended lines in the cut log ($distinct distinct), expected 200"
  cmp -s <(tail_of "$st/mailer.log" | grep -v "Appended line") <(tail_of "$st/before") ||
    fail "$alg: the kept lines differ from the log's tail"
done

[ $failures -eq 0 ] && echo "log cut: all checks passed"
exit $((failures > 0))
