#!/usr/bin/env bash
# Runs that meet: a run is stopped half way through writing its reports while
# other runs start on the same configuration, on another configuration with
# the same output folder, and on one with the same log. Each of them must stop
# at once with status 1 and name what is busy, the published reports must stay
# whole all the while, and the first run must finish them. Then a run killed
# while it holds its locks must leave nothing that keeps the next run away.
#
# usage: run_together.sh <build-dir> <fail-shim.so>
set -uo pipefail
. "$(dirname "$0")/preamble.sh"

st=$(mktemp -d)
trap 'kill -CONT $first 2>/dev/null; rm -rf "$st"' EXIT
first=
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

mkdir -p "$st/templates" "$st/out" "$st/other-out" "$st/other-log"
cp "$root/examples/station/templates/sessions.tpl" "$root/examples/station/templates/links.tpl" \
  "$st/templates/"
"$build/zentrak-lngc" "$root/examples/station/english.lngsrc" "$st/english.lng" >/dev/null
config() { # output log
  printf '%s\n' "SYSOP Test Sysop" "STATION Test Station" "ADDRESS 2:5020/1" "LOG $2" \
    "LNGFILE english.lng" "TEMPLATE templates/" "OUTPUT $1" "HISTFILE $st/lastcall.bin" \
    "TIME 1.00:00-0.23:59"
  for r in SYSOPS CPS TRAFFIC TIME MAILERS FILES HISTOGRAM GRAPHIC SUMMARY DISK LASTCALL; do
    echo "MAKESTAT_$r NO"
  done
}
config out/ mailer.log >"$st/zentrak.cfg"
config out/ other-log/mailer.log >"$st/same-output.cfg"
config other-out/ mailer.log >"$st/same-log.cfg"
for n in $(seq 100 400); do
  printf '* 07 Dec %02d:%02d:00 Z001 Incoming call\n' $((n / 60 % 24)) $((n % 60))
  printf '@ 07 Dec %02d:%02d:01 Z001 Address: 2:5020/%d@fidonet\n' $((n / 60 % 24)) $((n % 60)) "$n"
  printf '%% 07 Dec %02d:%02d:40 Z001 End of session, in/out: %d/7 bytes\n' \
    $((n / 60 % 24)) $((n % 60)) $((n * 1000))
done >"$st/mailer.log"
cp "$st/mailer.log" "$st/other-log/mailer.log"

# run <config> [VAR=value...]: one run under the frozen clock, in the background.
start() {
  local cfg=$1
  shift
  (cd "$st" && exec env "$@" LD_PRELOAD="$shim:$faketime_lib" FAKETIME="2026-12-07 10:43:08" \
     FAKETIME_DONT_FAKE_MONOTONIC=1 "$build/zentrak" "$cfg" >"$st/$cfg.console" 2>&1) &
}
run() {
  start "$@"
  { wait $!; } 2>/dev/null
}

run zentrak.cfg
[ $? -eq 0 ] || { echo "clean run failed:"; cat "$st/zentrak.cfg.console"; exit 1; }
mkdir "$st/good" && cp "$st/out/sessions.out" "$st/out/link.out" "$st/good/"
whole() { cmp -s "$st/out/sessions.out" "$st/good/sessions.out" && cmp -s "$st/out/link.out" "$st/good/link.out"; }

# The first run stops before its first write into the output folder.
start zentrak.cfg ZT_FAIL_MODE=stop ZT_FAIL_PATH="out/" ZT_FAIL_STEP=1
first=$!
for _ in $(seq 100); do
  [ "$(awk '{print $3}' "/proc/$first/stat" 2>/dev/null)" = T ] && break
  sleep 0.1
done
[ "$(awk '{print $3}' "/proc/$first/stat" 2>/dev/null)" = T ] || fail "the first run never stopped"

for pair in "zentrak.cfg:config file (zentrak.cfg)" "same-output.cfg:output folder (out/)" \
  "same-log.cfg:log file (mailer.log)"; do
  cfg=${pair%%:*} busy=${pair#*:}
  run "$cfg"
  status=$?
  [ $status -eq 1 ] || fail "$cfg: exit status $status, expected 1"
  grep -qF "Another run is using the $busy" "$st/$cfg.console" ||
    fail "$cfg: no line names the busy $busy: $(cat "$st/$cfg.console")"
  grep -q "Processing" "$st/$cfg.console" && fail "$cfg: wrote reports beside the first run"
  whole || fail "$cfg: the published reports changed while the first run was stopped"
done

kill -CONT $first
wait $first
status=$?
[ $status -eq 0 ] || fail "the first run ended with $status: $(cat "$st/zentrak.cfg.console")"
whole || fail "the first run's reports are not complete"

# A run killed while it holds every lock: the next one runs as if alone.
run zentrak.cfg ZT_FAIL_MODE=kill ZT_FAIL_PATH="out/" ZT_FAIL_STEP=1
status=$?
[ $status -eq 137 ] || fail "the killed run ended with $status"
run zentrak.cfg
status=$?
[ $status -eq 0 ] || fail "the run after a kill ended with $status: $(cat "$st/zentrak.cfg.console")"
whole || fail "the run after a kill left incomplete reports"

[ $failures -eq 0 ] && echo "runs together: all checks passed"
exit $((failures > 0))
