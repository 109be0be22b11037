#!/usr/bin/env bash
# A rotated binkd log read whole: a log of SIZE bytes (the generator's binkd
# mix) cut into five files by lines, each compressed with gzip as logrotate
# does (binkd.1.gz newest ... binkd.5.gz oldest) beside an empty live file,
# then, in RUNS rounds: `zcat` of the five files to /dev/null, and the program
# over the whole window (every report off), which finds the five files beside
# the live one and reads them through zlib. With OLD (a build folder of an
# earlier version) the plain log is timed too, whole and over its last day,
# by both versions: the plain parse and the one-day window must not get slower.
# Medians of wall and CPU seconds, and of the per-round ratios.
#
# Environment: BUILD (default build-release), SIZE (default 1G), RUNS
# (default 5), OLD (optional), ZENTRAK_BENCH_CACHE (default
# ~/.cache/zentrak-bench).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/${BUILD:-build-release}
size=${SIZE:-1G}
runs=${RUNS:-5}
old=${OLD:+$(cd "$OLD" && pwd)}
cache=${ZENTRAK_BENCH_CACHE:-$HOME/.cache/zentrak-bench}/rotated-$size
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target zentrak zentrak-genlog >/dev/null

yesterday=$(date -d yesterday +%Y-%m-%d)
mkdir -p "$cache"
plain=$cache/binkd-plain-$yesterday.log
if [ ! -f "$plain" ]; then
  rm -f "$cache"/binkd-plain-*.log "$cache"/binkd.*
  "$build/zentrak-genlog" --seed 7 --binkd --bytes "$size" --end "$yesterday" --out "$plain.part"
  mv "$plain.part" "$plain"
  (cd "$cache" && split -n l/5 -d "$plain" part.)
  for k in 0 1 2 3 4; do gzip -6 -c "$cache/part.0$k" >"$cache/binkd.$((5 - k)).gz"; done
  rm -f "$cache"/part.0*
fi
: >"$cache/binkd"
files=("$cache"/binkd.{1,2,3,4,5}.gz)

config() {  # name, log, TIME value
  local reports
  reports=$(for r in SESSIONS LINKS SYSOPS CPS TRAFFIC TIME MAILERS FILES HISTOGRAM GRAPHIC \
    SUMMARY DISK LASTCALL; do echo "MAKESTAT_$r NO"; done)
  printf 'SYSOP Bench\nSTATION Bench\nADDRESS 2:5020/1984\nLOG_FORMAT binkd\nLOG %s\nTIME %s\nHISTFILE %s\n%s\n' \
    "$2" "$3" "$cache/lastcall-$1.bin" "$reports" >"$cache/$1.cfg"
}
config rotated "$cache/binkd" 300.00:00-0.24:00
config whole "$plain" 300.00:00-0.24:00
config day "$plain" 1.00:00-0.00:00

cpu_file=$(mktemp)
trap 'rm -f "$cpu_file"' EXIT
# Wall seconds on stdout; user + system seconds into $cpu_file.
timed() {
  local start end
  start=$(date +%s.%N)
  /usr/bin/time -f '%U + %S' -o "$cpu_file" "$@" >/dev/null 2>&1 || true
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}
cpu() { bc <"$cpu_file"; }
median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }
ratio() { echo "scale=2; $1 / $2" | bc; }

cat "${files[@]}" "$plain" >/dev/null  # the page cache
zcat_t=() run_t=() zcat_c=() run_c=() ratios=() cpu_ratios=()
whole_new=() whole_old=() day_new=() day_old=()
for ((round = 1; round <= runs; ++round)); do
  z=$(timed bash -c 'zcat "$@" >/dev/null' zcat "${files[@]}") zc=$(cpu)
  r=$(timed "$build/zentrak" --quiet "$cache/rotated.cfg") rc=$(cpu)
  zcat_t+=("$z") run_t+=("$r") zcat_c+=("$zc") run_c+=("$rc")
  ratios+=("$(ratio "$r" "$z")") cpu_ratios+=("$(ratio "$rc" "$zc")")
  if [ -n "$old" ]; then
    whole_new+=("$(timed "$build/zentrak" --quiet "$cache/whole.cfg")")
    whole_old+=("$(timed "$old/zentrak" --quiet "$cache/whole.cfg")")
    day_new+=("$(timed "$build/zentrak" --quiet "$cache/day.cfg")")
    day_old+=("$(timed "$old/zentrak" --quiet "$cache/day.cfg")")
  fi
done
cat <<REPORT
machine: $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n 1), $(date -u +%Y-%m-%d)
log: $(wc -c <"$plain") bytes plain, $(cat "${files[@]}" | wc -c) bytes in five .gz files
zcat, median s: $(median "${zcat_t[@]}") (CPU $(median "${zcat_c[@]}"))
rotated set, whole window, median s: $(median "${run_t[@]}") (CPU $(median "${run_c[@]}"))
rotated set / zcat: $(median "${ratios[@]}") (rounds: ${ratios[*]}); CPU $(median "${cpu_ratios[@]}")
REPORT
if [ -n "$old" ]; then
  echo "plain log, whole window, median s: new $(median "${whole_new[@]}"), old $(median "${whole_old[@]}")"
  echo "plain log, one-day window, median s: new $(median "${day_new[@]}"), old $(median "${day_old[@]}")"
fi
