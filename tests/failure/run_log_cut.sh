#!/usr/bin/env bash
# The log cut from the mailer's side. A cut keeps the log the mailer's: its
# mode always, and when the run is root its owner and group (a log of another
# user and group, mode 0660). Lines the mailer appends while the cut copies
# are carried into the cut log, each exactly once: the run is stopped half way
# through writing its copy, lines are appended, and the run goes on. And so are
# the lines of a writer that appends every millisecond, during the rename too,
# while both cores are busy elsewhere.
#
# usage: run_log_cut.sh <build-dir> <fail-shim.so>
set -uo pipefail
. "$(dirname "$0")/preamble.sh"

st=$(mktemp -d)
pid=
busy=
trap '[ -n "$pid" ] && kill -CONT $pid 2>/dev/null; [ -n "$busy" ] && kill $busy; rm -rf "$st"' EXIT
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

# A mailer that appends a line every millisecond, opening the log by name and
# holding it for one to eight lines, so that some of its lines go into the old
# file after the rename. On TERM it writes how many lines it wrote to "count".
writer() {
  exec perl -e '
    my ($log, $count) = @ARGV;
    my ($n, $stop) = (0, 0);
    $SIG{TERM} = sub { $stop = 1 };
    while (!$stop) {
      open(my $out, ">>", $log) or die "$log: $!";
      for (1 .. 1 + int(rand(8))) {
        $n++;
        syswrite($out, "* 07 Dec 10:43:08 Z003 Appended line $n\r\n");
        select(undef, undef, undef, 0.001);
        last if $stop;
      }
      close($out);
    }
    open(my $out, ">", $count) or die;
    print $out "$n\n";' "$st/mailer.log" "$st/count"
}
spin() { while :; do :; done; }
spin &
busy=$!
spin &
busy="$busy $!"
# A few MB of recent lines, so that the copy takes a while.
awk 'BEGIN { for (i = 0; i < 200000; i++) printf "* 07 Dec 10:%02d:00 Z002 Filler %d\r\n", i % 43, i }' \
  >"$st/filler"
giveups=0
for try in 1 2 3 4 5; do
  station YES
  cat "$st/filler" >>"$st/mailer.log"
  cp "$st/mailer.log" "$st/before"
  rm -f "$st/count"
  writer &
  wpid=$!
  until [ "$(stat -c %s "$st/mailer.log")" -gt "$(stat -c %s "$st/before")" ]; do sleep 0.01; done
  start
  finish
  sleep 0.05 # a few lines into the cut log too
  kill -TERM $wpid
  wait $wpid
  n=$(cat "$st/count")
  range='/^\* 06 Dec/,$p' # the cut log's lines that were there before
  if grep -q "The log kept growing while it was cut; it is left as it was" "$st/console"; then
    giveups=$((giveups + 1))
    range='1,$p'
  else
    [ "$status" -eq 0 ] || fail "try $try: exit status $status: $(cat "$st/console")"
  fi
  lines=$(grep -ac "Appended" "$st/mailer.log")
  whole=$(grep -acE $'^\\* 07 Dec 10:43:08 Z003 Appended line [0-9]+\r$' "$st/mailer.log")
  distinct=$(grep -aoE 'Appended line [0-9]+' "$st/mailer.log" | sort -u | wc -l)
  [ "$lines" = "$n" ] && [ "$whole" = "$n" ] && [ "$distinct" = "$n" ] ||
    fail "try $try: $n lines written, $lines in the log ($whole whole, $distinct distinct)"
  cmp -s <(grep -av "Appended" "$st/mailer.log" | sed -n "$range") <(sed -n "$range" "$st/before") ||
    fail "try $try: the other lines differ from the log's tail"
done
kill $busy
busy=
[ $giveups -le 1 ] || fail "$giveups of 5 cuts gave up"

[ $failures -eq 0 ] && echo "log cut: all checks passed"
exit $((failures > 0))
