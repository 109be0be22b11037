#!/usr/bin/env bash
# Runs every fuzz target for a while, two at a time, each over a scratch copy of
# its checked-in seed corpus. Fails when any target reports a crash, a leak, a
# timeout, running out of memory or a sanitizer finding; reproducers are kept in
# <build>/fuzz/findings.
#
# usage: run_fuzz.sh <build-dir> [seconds-per-target] [parallel-jobs] [target...]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
seconds=${2:-60}
jobs=${3:-2}
shift $(( $# < 3 ? $# : 3 ))
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(main_config mailer_config binkd_config language_file log_parser template history
  gzip_source trends_store code_page)

out=${ZENTRAK_FUZZ_OUT:-$build/fuzz}
findings="$out/findings"
logs="$out/logs"
mkdir -p "$findings" "$logs"

run_one() {
  local target=$1 work
  work=$(mktemp -d)
  cp "$here/corpus/$target/." "$work/" -r
  local max_len=16384
  [ "$target" = language_file ] && max_len=70000
  # Each input runs in a fresh scratch directory so that nothing it might
  # write lands in the source tree.
  (cd "$work" && "$build/fuzz/fuzz_$target" "$work" -max_total_time="$seconds" -timeout=10 \
     -rss_limit_mb=2048 -max_len="$max_len" -print_final_stats=1 \
     -artifact_prefix="$findings/$target-" >"$logs/$target.log" 2>&1)
  local status=$?
  rm -rf "$work"
  local stats
  stats=$(grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$logs/$target.log" | tr '\n' ' ')
  local cov
  cov=$(grep -E '#[0-9]+.*(DONE|pulse|NEW|REDUCE)' "$logs/$target.log" | tail -n 1 |
        grep -oE 'cov: [0-9]+ ft: [0-9]+')
  if [ $status -eq 0 ]; then
    echo "fuzz $target: ok ($cov; $stats)"
  else
    echo "fuzz $target: FAILED with status $status — see $logs/$target.log"
    grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$logs/$target.log" | head -n 8
  fi
  return $status
}
export -f run_one
export here build seconds findings logs

printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one {}'
