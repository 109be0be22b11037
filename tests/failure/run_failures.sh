#!/usr/bin/env bash
# Failure injection for every file a run rewrites: the mailer log (cut), a
# CUTFILE, the history, two reports and a joined single file. Each run below
# fails in one way (a read-only or missing directory, a full disk at any byte
# count, on fsync or on rename, or a kill before any single write step), and
# afterwards every file must be either what it was before the run or exactly
# what a clean run writes, never something in between: a failed report or
# joined file leaves the old one. After a kill, the next clean run must still
# produce the clean result and remove the killed run's temporary files.
#
# usage: run_failures.sh <build-dir> <fail-shim.so>
set -uo pipefail
. "$(dirname "$0")/preamble.sh"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
checks=0

# Files whose states are compared, relative to the station.
files=(mailer.log big.txt lastcall.bin out/sessions.out out/link.out out/joined.out)
# Files that may be missing after a failure: none, every file was there before.
may_vanish=" "

make_station() {
  local dir=$1
  mkdir -p "$dir/templates" "$dir/out"
  cp "$root/examples/station/templates/sessions.tpl" "$root/examples/station/templates/links.tpl" \
     "$root/examples/station/templates/lastcall.tpl" \
     "$dir/templates/"
  "$build/zentrak-lngc" "$root/examples/station/english.lngsrc" "$dir/english.lng" >/dev/null
  cat >"$dir/zentrak.cfg" <<CFG
SYSOP Test Sysop
STATION Test Station
ADDRESS 2:5020/1
LOG mailer.log
LNGFILE english.lng
TEMPLATE templates/
OUTPUT ${OUTPUT_DIR:-out/}
HISTFILE $dir/${HIST_DIR:-}lastcall.bin
TIME 2.00:00-0.23:59
CUT_LOG 3
CUTFILE big.txt 1000 300
MAKESTAT_SESSIONS YES
MAKESTAT_LINKS YES
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
MAKESTAT_LASTCALL YES
STAT joined.out SES+LIN
CFG
  {
    # Old lines that the log cut removes, then the period's sessions. Many
    # sessions, so that every file is written in more than one chunk.
    for day in 01 02; do
      for h in 10 11 12; do
        echo "* $day Dec $h:00:00 Z001 Incoming call"
        echo "% $day Dec $h:00:30 Z001 End of session, in/out: 1/1 bytes"
      done
    done
    for day in 06 07; do
      for n in $(seq 100 160); do
        local m=$(( n % 60 ))
        printf '* %s Dec %02d:%02d:00 Z001 Incoming call\n' "$day" $(( n / 60 )) "$m"
        printf '@ %s Dec %02d:%02d:01 Z001 Address: 2:5020/%d@fidonet\n' "$day" $(( n / 60 )) "$m" "$n"
        printf '%% %s Dec %02d:%02d:01 Z001 Sysop: Sysop number %d\n' "$day" $(( n / 60 )) "$m" "$n"
        printf '%% %s Dec %02d:%02d:02 Z001 ZModem transfer\n' "$day" $(( n / 60 )) "$m"
        printf '%% %s Dec %02d:%02d:40 Z001 End of session, in/out: %d/%d bytes\n' \
          "$day" $(( n / 60 )) "$m" $(( n * 1000 )) $(( n * 7 ))
      done
    done
  } >"$dir/mailer.log"
  head -c 5000 /dev/zero | tr '\0' 'x' >"$dir/big.txt"
  printf '\002\000\224\023\001\000\000\000\100\112\013\000\020\016\000\000' >"$dir/lastcall.bin"
  echo "old sessions report" >"$dir/out/sessions.out"
  echo "old links report" >"$dir/out/link.out"
  echo "old joined file" >"$dir/out/joined.out"
}

# run <station> [VAR=value...]: one run under the frozen clock; sets $status.
run() {
  local dir=$1
  shift
  (cd "$dir" && env "$@" LD_PRELOAD="$shim:$faketime_lib" FAKETIME="2026-12-07 10:43:08" \
     FAKETIME_DONT_FAKE_MONOTONIC=1 "$build/zentrak" zentrak.cfg >"$dir.console" 2>&1) 2>/dev/null
  status=$?
}

snapshot() {
  local dir=$1 into=$2
  mkdir -p "$into"
  for f in "${files[@]}"; do
    local name=${f//\//_}
    if [ -e "$dir/$f" ]; then cp "$dir/$f" "$into/$name"; else rm -f "$into/$name"; fi
  done
}

# check <label> <station> [kill]: every file is in its old or its new state.
check() {
  local label=$1 dir=$2 killed=${3:-}
  local bad=0
  for f in "${files[@]}"; do
    local name=${f//\//_}
    checks=$((checks + 1))
    if [ -e "$dir/$f" ]; then
      cmp -s "$dir/$f" "$scratch/orig/$name" && continue
      cmp -s "$dir/$f" "$scratch/good/$name" && continue
      echo "FAIL $label: $f is neither the old nor the new file"; bad=1
    elif [[ "$may_vanish" != *" $f "* ]]; then
      echo "FAIL $label: $f is gone"; bad=1
    fi
  done
  if [ -z "$killed" ]; then
    local left
    left=$(cd "$dir" && find . -name '*.$$$' -o -name '$cutlog$*.tmp')
    if [ -n "$left" ]; then echo "FAIL $label: temporary files left: $left"; bad=1; fi
  fi
  if [ $bad -ne 0 ]; then
    failures=$((failures + 1))
    sed 's/^/    /' "$dir.console"
  fi
}

fresh() {
  rm -rf "$scratch/st" "$scratch/st.console"
  make_station "$scratch/st"
}

# The two reference states.
fresh
snapshot "$scratch/st" "$scratch/orig"
run "$scratch/st"
[ "$status" -eq 0 ] || { echo "clean run failed:"; cat "$scratch/st.console"; exit 1; }
snapshot "$scratch/st" "$scratch/good"
for f in "${files[@]}"; do
  name=${f//\//_}
  if cmp -s "$scratch/orig/$name" "$scratch/good/$name"; then
    echo "clean run left $f unchanged: nothing to test"; exit 1
  fi
done

# A read-only station directory.
fresh
run "$scratch/st" ZT_FAIL_MODE=open ZT_FAIL_PATH="$scratch/st"
check "read-only directory" "$scratch/st"

# A full disk, all files at once, after N bytes.
for bytes in 0 1 17 100 512 1000 4096 5000 8192 16384 30000 65536; do
  fresh
  run "$scratch/st" ZT_FAIL_MODE=enospc ZT_FAIL_BYTES=$bytes
  check "disk full after $bytes bytes" "$scratch/st"
done

# Each file alone: full from its first byte, a failing fsync, a failing rename.
for target in mailer.log big.txt lastcall.bin sessions.out link.out joined.out; do
  for op in write fsync rename; do
    fresh
    opvar=()
    [ "$op" != write ] && opvar=(ZT_FAIL_OP=$op)
    run "$scratch/st" ZT_FAIL_MODE=enospc ZT_FAIL_BYTES=0 ZT_FAIL_PATH="$target" "${opvar[@]}"
    check "$target: $op fails" "$scratch/st"
  done
done

# Missing directories for the outputs and the history.
fresh
rm -rf "$scratch/st"
OUTPUT_DIR=missing/ HIST_DIR=missing/ make_station "$scratch/st"
snapshot "$scratch/st" "$scratch/orig-missing"
run "$scratch/st"
checks=$((checks + 1))
if [ -e "$scratch/st/missing" ]; then
  echo "FAIL missing directory: it was created"; failures=$((failures + 1))
fi
for f in out/sessions.out out/link.out out/joined.out; do
  checks=$((checks + 1))
  if ! cmp -s "$scratch/st/$f" "$scratch/orig/${f//\//_}"; then
    echo "FAIL missing directory: $f changed"; failures=$((failures + 1))
  fi
done

# A kill before every write step, one run per step, then a clean run.
fresh
run "$scratch/st" ZT_FAIL_MODE=count ZT_FAIL_COUNT_FILE="$scratch/steps"
steps=$(cat "$scratch/steps" 2>/dev/null || echo 0)
if [ "$steps" -lt 10 ]; then
  echo "the shim saw only $steps write steps: is it loaded?"; exit 1
fi
for step in $(seq 1 "$steps"); do
  fresh
  run "$scratch/st" ZT_FAIL_MODE=kill ZT_FAIL_STEP=$step
  if [ "$status" -ne 137 ]; then
    echo "FAIL kill at step $step: the run was not killed (status $status)"
    failures=$((failures + 1))
  fi
  check "kill at step $step of $steps" "$scratch/st" killed
  run "$scratch/st"
  snapshot "$scratch/st" "$scratch/after"
  for f in "${files[@]}"; do
    name=${f//\//_}
    checks=$((checks + 1))
    # The log and the cut file were cut already when the kill came later.
    cmp -s "$scratch/after/$name" "$scratch/good/$name" && continue
    echo "FAIL clean run after a kill at step $step: $f differs from a clean run"
    failures=$((failures + 1))
  done
  checks=$((checks + 1))
  left=$(cd "$scratch/st" && find . -name '*.$$$' -o -name '$cutlog$*.tmp')
  if [ -n "$left" ]; then
    echo "FAIL clean run after a kill at step $step: the killed run's copies stayed: $left"
    failures=$((failures + 1))
  fi
done

echo "failure injection: $checks checks over $steps write steps, $failures failures"
[ $failures -eq 0 ]
