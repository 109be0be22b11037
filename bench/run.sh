#!/usr/bin/env bash
# Log ingestion benchmark. Generates a big mailer log (1 GiB by default) whose
# dates end yesterday into a cache folder outside the repository, warms the page
# cache, and times against the same file in the same run:
#   - `wc -l` and the program with every report switched off, for a one-day
#     window (TIME 1.00:00-0.00:00) and for a window covering the whole log;
#   - CutLogNew (through bench/cut_log_bench.cc, the cut alone) and `tail -c` of
#     the same number of bytes, each followed by a sync of the result;
#   - the program with the seven link reports on (sessions, links, sysops, cps,
#     traffic, time, mailers; the example templates) against the whole window,
#     and the same reports on a 64 MiB log whose address lines cycle through
#     10 000 links;
#   - the program with the files report alone (the example template and
#     aliases) against the whole window, with its peak RSS.
# Each figure is the median of RUNS runs; peak RSS comes from /usr/bin/time -v.
#
# Environment: BUILD (release build folder, default build-release), SIZE (log
# size for zentrak-genlog --bytes, default 1G), RUNS (default 5), KEEP_DAYS (days
# the cut keeps, default 30), ZENTRAK_BENCH_CACHE (default ~/.cache/zentrak-bench).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/${BUILD:-build-release}
size=${SIZE:-1G}
runs=${RUNS:-5}
keep_days=${KEEP_DAYS:-30}
cache=${ZENTRAK_BENCH_CACHE:-$HOME/.cache/zentrak-bench}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target zentrak zentrak-lngc zentrak-genlog cut-log-bench >/dev/null

mkdir -p "$cache"
yesterday=$(date -d yesterday +%Y-%m-%d)
# The generator's source is part of the name: a changed generator writes new logs.
generator=$(cat "$root/tools/log_generator.cc" | cksum | cut -d' ' -f1)
log=$cache/mailer-$size-$yesterday-$generator.log
if [ ! -f "$log" ]; then
  rm -f "$cache"/mailer-*.log
  "$build/zentrak-genlog" --seed 1 --bytes "$size" --end "$yesterday" --out "$log.part"
  mv "$log.part" "$log"
fi

station=$cache/station
rm -rf "$station"
mkdir -p "$station"/out-{day,whole,reports,many,files}
"$build/zentrak-lngc" "$root/examples/station/english.lngsrc" "$station/english.lng" >/dev/null
write_config() {  # name, TIME value, log, reports switched on
  {
    echo "SYSOP Bench Sysop"
    echo "STATION Bench Station"
    echo "ADDRESS 2:5020/1984"
    echo "LOG ${3:-$log}"
    echo "LNGFILE $station/english.lng"
    echo "OUTPUT $station/out-$1/"
    echo "HISTFILE $station/lastcall.bin"
    echo "TEMPLATE $root/examples/station/templates/"
    echo "TIME $2"
    [ -n "${5:-}" ] && cat "$5"
    for report in SESSIONS LINKS SYSOPS CPS TRAFFIC TIME MAILERS FILES HISTOGRAM GRAPHIC \
                  DISK LASTCALL SUMMARY; do
      case " ${4:-} " in
        *" $report "*) echo "MAKESTAT_$report YES" ;;
        *) echo "MAKESTAT_$report NO" ;;
      esac
    done
  } >"$station/$1.cfg"
}
write_config day "1.00:00-0.00:00"
write_config whole "300.00:00-0.24:00"
link_reports="SESSIONS LINKS SYSOPS CPS TRAFFIC TIME MAILERS"
write_config reports "300.00:00-0.24:00" "$log" "$link_reports"
# The files report alone, with the example station's aliases.
grep '^FILE_' "$root/examples/station/zentrak.cfg" >"$station/file-aliases.cfg"
write_config files "300.00:00-0.24:00" "$log" "FILES" "$station/file-aliases.cfg"

# Many links: a 64 MiB log whose address lines cycle through 10 000 addresses.
many=$cache/many-links-$yesterday-$generator.log
if [ ! -f "$many" ]; then
  rm -f "$cache"/many-links-*.log
  "$build/zentrak-genlog" --seed 2 --bytes 64M --end "$yesterday" --out "$many.part"
  awk '{
    at = index($0, "Address: ")
    if (at > 0) {
      n = count++ % 10000
      printf "%sAddress: 2:%d/%d@fidonet\r\n", substr($0, 1, at - 1), 5000 + int(n / 100), n % 100 + 1
    } else print
  }' ORS='\n' "$many.part" >"$many.tmp"
  rm -f "$many.part"
  mv "$many.tmp" "$many"
fi
write_config many "300.00:00-0.24:00" "$many" "$link_reports"

# Seconds one run of a command takes; its CPU seconds (user + system) are left
# in $cpu_file, as CPU time suffers less than wall time from a busy machine.
cpu_file=$(mktemp)
trap 'rm -f "$cpu_file"' EXIT
seconds() {
  local start end
  start=$(date +%s.%N)
  if [ "$(type -t "$1")" = function ]; then  # the cut and tail runs: wall time only
    echo "0" >"$cpu_file"
    "$@" >/dev/null 2>&1 || true
  else
    /usr/bin/time -f '%U + %S' -o "$cpu_file" "$@" >/dev/null 2>&1 || true
  fi
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}
cpu() { tail -n 1 "$cpu_file" | bc; }
median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }
ratio() { echo "scale=2; $1 / $2" | bc; }
peak_kib() {
  /usr/bin/time -v "$@" 2>&1 >/dev/null | sed -n 's/.*Maximum resident set size (kbytes): //p'
}

# The cut works on a copy in the cache folder, made (and not timed) before each run.
work=$cache/cut
mkdir -p "$work"
cut_run() {
  "$build/cut-log-bench" "$work/mailer.log" "$keep_days" >"$work/cut.out"
}
tail_run() { tail -c "$kept" "$log" >"$work/tail.out" && sync "$work/tail.out"; }

# Shared machines are noisy: every round times all commands back to back, and
# the ratios are taken per round before the median.
cat "$log" >/dev/null  # warm the page cache
lines=$(wc -l <"$log")
wc_times=() day_times=() whole_times=() cut_times=() tail_times=()
reports_times=() many_times=() files_ratios=() files_cpu_ratios=()
day_ratios=() whole_ratios=() cut_ratios=() reports_ratios=()
whole_cpu_ratios=() reports_cpu_ratios=() many_cpus=()
for _ in $(seq "$runs"); do
  wc_t=$(seconds wc -l "$log") wc_c=$(cpu)
  day_t=$(seconds "$build/zentrak" "$station/day.cfg")
  whole_t=$(seconds "$build/zentrak" "$station/whole.cfg") whole_c=$(cpu)
  reports_t=$(seconds "$build/zentrak" "$station/reports.cfg") reports_c=$(cpu)
  many_t=$(seconds "$build/zentrak" "$station/many.cfg") many_c=$(cpu)
  files_t=$(seconds "$build/zentrak" "$station/files.cfg") files_c=$(cpu)
  files_ratios+=("$(ratio "$files_t" "$whole_t")")
  files_cpu_ratios+=("$(ratio "$files_c" "$whole_c")")
  cp "$log" "$work/mailer.log" && sync "$work/mailer.log"
  cut_t=$(seconds cut_run)
  kept=$(stat -c %s "$work/mailer.log")
  tail_t=$(seconds tail_run)
  wc_times+=("$wc_t") day_times+=("$day_t") whole_times+=("$whole_t")
  cut_times+=("$cut_t") tail_times+=("$tail_t")
  reports_times+=("$reports_t") many_times+=("$many_t")
  reports_ratios+=("$(ratio "$reports_t" "$whole_t")")
  whole_cpu_ratios+=("$(ratio "$whole_c" "$wc_c")")
  reports_cpu_ratios+=("$(ratio "$reports_c" "$whole_c")")
  many_cpus+=("$many_c")
  day_ratios+=("$(ratio "$day_t" "$wc_t")") whole_ratios+=("$(ratio "$whole_t" "$wc_t")")
  cut_ratios+=("$(ratio "$cut_t" "$tail_t")")
done
cmp -s "$work/tail.out" "$work/mailer.log" && same=yes || same=NO
rm -f "$work/tail.out" "$work/mailer.log"
day_rss=$(peak_kib "$build/zentrak" "$station/day.cfg")
whole_rss=$(peak_kib "$build/zentrak" "$station/whole.cfg")
files_rss=$(peak_kib "$build/zentrak" "$station/files.cfg")
file_lines=$(grep -c -e 'Receiving file ' -e 'Sending file ' "$log" || true)
wc_time=$(median "${wc_times[@]}")
day_time=$(median "${day_times[@]}")
whole_time=$(median "${whole_times[@]}")
cut_time=$(median "${cut_times[@]}")
tail_time=$(median "${tail_times[@]}")
links=$(grep -c '^ *[0-9]*:[0-9]*/[0-9]' "$station/out-many/link.out" || true)

cat <<REPORT
date:          $(date -u +%Y-%m-%dT%H:%MZ)
machine:       $(nproc) CPUs, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n 1)
log:           ${log/#$HOME/\~} ($(stat -c %s "$log") bytes, $lines lines)
runs:          $runs rounds, warm page cache; ratios are medians of per-round ratios
medians (s):   wc -l $wc_time, one-day $day_time, whole $whole_time, CutLogNew $cut_time, tail -c $tail_time
one-day window / wc -l:    $(median "${day_ratios[@]}")  (target <= 2; rounds: ${day_ratios[*]})  peak RSS $day_rss KiB
whole window / wc -l:      $(median "${whole_ratios[@]}")  (target <= 8; rounds: ${whole_ratios[*]})  peak RSS $whole_rss KiB
seven reports / whole:     $(median "${reports_ratios[@]}")  (target <= 1.5; rounds: ${reports_ratios[*]}); median $(median "${reports_times[@]}") s
seven reports, $links links: $(median "${many_times[@]}") s  (target < 1 s; rounds: ${many_times[*]}); ${many/#$HOME/\~}
files report / whole:      $(median "${files_ratios[@]}")  (target <= 1.5; rounds: ${files_ratios[*]}); $file_lines files in the log
files report peak RSS:     $files_rss KiB = $(ratio "$files_rss" "$whole_rss") x the whole window's  (target <= 2)
CPU seconds (user + system), the same rounds:
  whole window / wc -l:    $(median "${whole_cpu_ratios[@]}")  (rounds: ${whole_cpu_ratios[*]})
  seven reports / whole:   $(median "${reports_cpu_ratios[@]}")  (rounds: ${reports_cpu_ratios[*]})
  files report / whole:    $(median "${files_cpu_ratios[@]}")  (rounds: ${files_cpu_ratios[*]})
  seven reports, $links links: $(median "${many_cpus[@]}") s  (rounds: ${many_cpus[*]})
CutLogNew / tail -c:       $(median "${cut_ratios[@]}")  (target <= 1.5; rounds: ${cut_ratios[*]}); $kept bytes kept ($keep_days days), same bytes: $same
REPORT
