#!/usr/bin/env bash
# Log ingestion benchmark. Generates big mailer logs whose dates end yesterday
# into a cache folder outside the repository, warms the page cache, and times
# against the same file in the same round:
#   - `wc -l` and the program with every report switched off, for a one-day
#     window (TIME 1.00:00-0.00:00) and for a window covering the whole log;
#   - the program with the seven link reports on (sessions, links, sysops, cps,
#     traffic, time, mailers; the example templates) over the whole window;
#   - the program as a station with ALIAS, CHANGE and EXCLUDE rules, every
#     report on and a single statistics file, over the whole window;
#   - the seven link reports on a 64 MiB log of 10 000 links;
#   - the program with the files report alone (the example template and
#     aliases) over the whole window, with its peak RSS;
#   - the example station itself (its settings, rules and templates, every
#     report on) over the whole window;
#   - the one-day and the whole window again with the trends store on, into a
#     store that already holds every day of the log (a nightly run's case; the
#     whole window then replaces every day), against the same runs without it;
#   - CutLogNew (through bench/cut_log_bench.cc, the cut alone) and `tail -c` of
#     the same number of bytes, each followed by a sync of the result; then
#     that `tail` again, moved over a copy of the log as the cut's copy is.
# The whole-window and every-report runs are repeated on other line mixes (file
# transfers in every session, long lines, short lines only, many links); the
# worst mix is reported beside the usual one. Last, the whole window once on
# logs of growing size (time against `wc -l` and peak RSS). Then binkd's log of
# the same size beside the mailer's: the whole window's parse cost per byte and
# peak memory per session of each. The report ends with a table of every
# target: the figure, the target, and whether it is met.
# Each figure is the median of the per-round ratios of RUNS rounds; peak RSS
# comes from /usr/bin/time -v.
#
# Environment: BUILD (release build folder, default build-release), SIZE (log
# size for zentrak-genlog --bytes, default 1G), MIX_SIZE (size of the other
# mixes, default SIZE), MIXES (which other mixes, default "files long terse
# links"; empty for none), RUNS (default 5), KEEP_DAYS (days the cut keeps,
# default 30), GROWTH (log sizes of the growth table, default "256M 1G 4G";
# empty for none), SETTLE (seconds each round waits before it starts, default
# 10), ZENTRAK_THREADS (threads of the parse and the reports, default one per
# core), ZENTRAK_BENCH_CACHE (default ~/.cache/zentrak-bench), ONLY=binkd (the
# binkd comparison alone: the whole window of both logs, nothing else; ONLY=trends: the
# trends store's rounds alone, with the peak RSS with and without the store),
# FOREIGN (mixes of bench/foreign_binkd_log.py, a binkd log writer that shares
# nothing with the program's generator, "all" for every one; default none),
# FOREIGN_SIZE (their size and that of the mailer and binkd logs they are set
# beside, default 48M), INSTRUCTIONS=1 (count the instructions of those runs
# under callgrind too, one thread each), ONLY=foreign (that step alone).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/${BUILD:-build-release}
size=${SIZE:-1G}
mix_size=${MIX_SIZE:-$size}
mixes=${MIXES-files long terse links}
runs=${RUNS:-5}
keep_days=${KEEP_DAYS:-30}
growth=${GROWTH-256M 1G 4G}
settle=${SETTLE:-10}
cache=${ZENTRAK_BENCH_CACHE:-$HOME/.cache/zentrak-bench}
only=${ONLY:-}
foreign=${FOREIGN:-}
foreign_size=${FOREIGN_SIZE:-48M}
[ "$foreign" = all ] && foreign="plain probes refused debug crowd chatty terse worst"
# The foreign step compares logs of its own size; alone, it needs no bigger one.
[ "$only" = foreign ] && size=$foreign_size

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target zentrak zentrak-lngc zentrak-genlog cut-log-bench >/dev/null

mkdir -p "$cache"
yesterday=$(date -d yesterday +%Y-%m-%d)
# The generator options of each mix; the seed differs so no two share a text.
declare -A mix_options=(
  [usual]="--seed 1"
  [files]="--seed 3 --files 4-12"
  [long]="--seed 4 --pad 40-400"
  [terse]="--seed 5 --terse"
  [links]="--seed 6 --links 3000"
  [many]="--seed 2 --links 10000"
  [binkd]="--seed 7 --binkd"
)
# The generators' source is part of the name: a changed generator writes new logs.
generator=$(cat "$root"/tools/*log_generator*.cc "$root"/tools/log_generator_parts.h | cksum |
  cut -d' ' -f1)
# Generates a log once per day: mix name, size; prints its path.
log_of() {
  local path=$cache/$1-$2-$yesterday-$generator.log
  if [ ! -f "$path" ]; then
    rm -f "$cache/$1-$2-"*.log
    # shellcheck disable=SC2086  # the options are words
    "$build/zentrak-genlog" ${mix_options[$1]} --bytes "$2" --end "$yesterday" --out "$path.part"
    mv "$path.part" "$path"
  fi
  echo "$path"
}
log=$(log_of usual "$size")
if [ "$only" = binkd ] || [ "$only" = trends ] || [ "$only" = foreign ]; then
  mixes="" many=$log
else
  many=$(log_of many 64M)
fi

station=$cache/station
rm -rf "$station"
mkdir -p "$station"
"$build/zentrak-lngc" "$root/examples/station/english.lngsrc" "$station/english.lng" >/dev/null
all_reports="SESSIONS LINKS SYSOPS CPS TRAFFIC TIME MAILERS FILES HISTOGRAM GRAPHIC DISK LASTCALL
             SUMMARY"
link_reports="SESSIONS LINKS SYSOPS CPS TRAFFIC TIME MAILERS"
# The generator's links that log under a name.
station_aliases() {
  cat <<'ALIASES'
ALIAS 2:5020/1 Hub
ALIAS 2:5020/2 Net Coordinator
ALIAS 2:5020/77 Neighbour
ALIASES
}
# The example station's file aliases.
file_aliases() { grep '^FILE_' "$root/examples/station/zentrak.cfg"; }
# The rules of a station that renames, hides and shortens what the log says.
station_rules() {
  station_aliases
  file_aliases
  cat <<'RULES'
EXCLUDE_ADDRESS 2:461/*
EXCLUDE_ADDRESS 1:*
EXCLUDE_ADDRESS 2:5030/1?
EXCLUDE_FROM_PHONE 7-095-
EXCLUDE_FROM_PHONE ATDT
CHANGE U "FidoNet" "FN"
CHANGE U "/W32" " for Windows"
CHANGE A "/LNX" " for Linux"
CHANGE A "Zephyr" "Zph"
CHANGE U "Mr. Fixit" "Fixit"
CHANGE A "Ivan" "I."
CHANGE U "petrov" "Petrov (RU)"
CHANGE A "0/TCP" "IP"
CHANGE U "33600" "V.34"
CHANGE A "Kestrel" "Kestrel Mailer"
DISKS C
STAT all.out SES+LIN+CPS+SUM
RULES
}
write_config() {  # name, TIME value, log, reports on, "rules", "aliases", "files" or "binkd"
  mkdir -p "$station/out-$1"
  {
    echo "SYSOP Bench Sysop"
    echo "STATION Bench Station"
    echo "ADDRESS 2:5020/1984"
    echo "LOG $3"
    echo "LNGFILE $station/english.lng"
    echo "OUTPUT $station/out-$1/"
    echo "HISTFILE $station/lastcall-$1.bin"
    echo "TEMPLATE $root/examples/station/templates/"
    echo "TIME $2"
    for report in $all_reports; do
      case " $4 " in
        *" $report "*) echo "MAKESTAT_$report YES" ;;
        *) echo "MAKESTAT_$report NO" ;;
      esac
    done
    case "${5:-}" in
      rules) station_rules ;;
      aliases) station_aliases ;;
      files) file_aliases ;;
      binkd) echo "LOG_FORMAT binkd" ;;
    esac
  } >"$station/$1.cfg"
}
write_config day "1.00:00-0.00:00" "$log" ""
write_config whole "300.00:00-0.24:00" "$log" ""
write_config reports "300.00:00-0.24:00" "$log" "$link_reports"
write_config all "300.00:00-0.24:00" "$log" "$all_reports" rules
write_config many "300.00:00-0.24:00" "$many" "$link_reports" aliases
write_config files "300.00:00-0.24:00" "$log" "FILES" files
# The example station as it ships, but for where it reads and writes.
{
  grep -v -E '^(MAILER_CFG|LINE|LNGFILE|TEMPLATE|OUTPUT|TIME) ' "$root/examples/station/zentrak.cfg"
  station_aliases
} >"$station/example-settings"
write_config example "300.00:00-0.24:00" "$log" ""
grep -v '^MAKESTAT_' "$station/example.cfg" >"$station/example.tmp"
cat "$station/example.tmp" "$station/example-settings" >"$station/example.cfg"
rm "$station/example.tmp" "$station/example-settings"
# The trends store: filled once with the whole log before the rounds.
for window in day whole; do
  { cat "$station/$window.cfg"; echo "TRENDS_DB $station/trends.db"; } >"$station/$window-trends.cfg"
done
rm -f "$station/trends.db"
"$build/zentrak" "$station/whole-trends.cfg" >/dev/null
# A nightly store holds more than one log's days: the same days one and two
# years earlier make it about 380 days of every link.
for back in 1 2; do
  sqlite3 "$station/trends.db" "INSERT INTO days SELECT date(day, '-$back year'), covered_from,
    covered_till, calling_seconds, bbs_seconds, unfinished_seconds, failed_calls, sessions
    FROM days WHERE day > date('now', '-1 year');
    INSERT INTO day_links SELECT date(day, '-$back year'), address, sessions_in, sessions_out,
    aborted, bytes_received, bytes_sent, online_seconds, transfer_seconds, files_received,
    files_sent FROM day_links WHERE day > date('now', '-1 year');
    INSERT INTO day_hours SELECT date(day, '-$back year'), hour, sessions_in, sessions_out,
    aborted, bytes_received, bytes_sent, online_seconds, transfer_seconds, files_received,
    files_sent FROM day_hours WHERE day > date('now', '-1 year')"
done
for mix in $mixes; do
  mix_log=$(log_of "$mix" "$mix_size")
  write_config "whole-$mix" "300.00:00-0.24:00" "$mix_log" ""
  write_config "all-$mix" "300.00:00-0.24:00" "$mix_log" "$all_reports" rules
done

# Seconds one run of a command takes; its CPU seconds (user + system) are left
# in $cpu_file, as CPU time suffers less than wall time from a busy machine.
cpu_file=$(mktemp)
trap 'rm -f "$cpu_file"' EXIT
seconds() {
  local start end
  # Every run forces its reports to the disk; none should wait for the writes
  # of the runs before it (a files report alone leaves 325 MB behind).
  sync
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
largest() { printf '%s\n' "$@" | sort -n | tail -n 1; }
ratio() { if [ "$(echo "$2 == 0" | bc)" = 1 ]; then echo "-"; else echo "scale=2; $1 / $2" | bc; fi; }
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
# The cut also puts its copy in place of the log, and the file system then
# frees the old one: the same `tail` moved over a copy of the log pays that too.
replace_run() { tail_run && mv "$work/tail.out" "$work/replaced.log"; }

at_most() { if [ "$(echo "$1 <= $2" | bc)" = 1 ]; then echo met; else echo "NOT met"; fi; }
target() { printf '  %-52s %8s  <= %-5s %s\n' "$1" "$2" "$3" "$(at_most "$2" "$3")"; }

# binkd's log of the usual size beside the mailer's, both over the whole window
# with every report off: the parse's cost per byte, wall and CPU time, and the
# peak RSS per session (the sessions as the summary report counts them). The
# RSS a session adds is also given: what the whole window takes beyond the
# one-day window (buffers, threads and program alike), over the sessions it
# adds.
binkd_bench() {
  local blog bbytes mbytes b_t b_c m_t m_c
  blog=$(log_of binkd "$size")
  bbytes=$(stat -c %s "$blog") mbytes=$(stat -c %s "$log")
  write_config binkd-whole "300.00:00-0.24:00" "$blog" "" binkd
  write_config binkd-day "1.00:00-0.00:00" "$blog" "" binkd
  write_config binkd-day-count "1.00:00-0.00:00" "$blog" "SUMMARY" binkd
  write_config mailer-day-count "1.00:00-0.00:00" "$log" "SUMMARY"
  write_config binkd-count "300.00:00-0.24:00" "$blog" "SUMMARY" binkd
  write_config mailer-count "300.00:00-0.24:00" "$log" "SUMMARY"
  cat "$log" "$blog" >/dev/null
  local per_byte=() per_byte_cpu=() b_times=() m_times=()
  for _ in $(seq "$runs"); do
    sync
    sleep "$settle"
    m_t=$(seconds "$build/zentrak" "$station/whole.cfg") m_c=$(cpu)
    b_t=$(seconds "$build/zentrak" "$station/binkd-whole.cfg") b_c=$(cpu)
    m_times+=("$m_t") b_times+=("$b_t")
    per_byte+=("$(echo "scale=2; ($b_t * $mbytes) / ($m_t * $bbytes)" | bc)")
    per_byte_cpu+=("$(echo "scale=2; ($b_c * $mbytes) / ($m_c * $bbytes)" | bc)")
  done
  sessions_of() {  # the summary's count of a configuration's run
    "$build/zentrak" "$station/$1.cfg" >/dev/null || true
    sed -n 's/^ Mailer sessions *//p' "$station/out-$1/summary.out" | tr -d ,
  }
  local b_rss m_rss b_day_rss m_day_rss b_sessions m_sessions b_day m_day
  b_rss=$(peak_kib "$build/zentrak" "$station/binkd-whole.cfg")
  m_rss=$(peak_kib "$build/zentrak" "$station/whole.cfg")
  b_day_rss=$(peak_kib "$build/zentrak" "$station/binkd-day.cfg")
  m_day_rss=$(peak_kib "$build/zentrak" "$station/day.cfg")
  b_sessions=$(sessions_of binkd-count) m_sessions=$(sessions_of mailer-count)
  b_day=$(sessions_of binkd-day-count) m_day=$(sessions_of mailer-day-count)
  local b_per m_per b_adds m_adds
  b_per=$(echo "$b_rss * 1024 / $b_sessions" | bc) m_per=$(echo "$m_rss * 1024 / $m_sessions" | bc)
  b_adds=$(echo "($b_rss - $b_day_rss) * 1024 / ($b_sessions - $b_day)" | bc)
  m_adds=$(echo "($m_rss - $m_day_rss) * 1024 / ($m_sessions - $m_day)" | bc)
  cat <<REPORT
binkd log:     ${blog/#$HOME/\~} ($bbytes bytes, $(wc -l <"$blog") lines, $b_sessions sessions)
mailer log:    ${log/#$HOME/\~} ($mbytes bytes, $m_sessions sessions)
whole window, median s: binkd $(median "${b_times[@]}"), mailer $(median "${m_times[@]}")
binkd / mailer parse per byte:      $(median "${per_byte[@]}")  (rounds: ${per_byte[*]})
  the same on CPU seconds:          $(median "${per_byte_cpu[@]}")  (rounds: ${per_byte_cpu[*]})
peak RSS: binkd $b_rss KiB = $b_per bytes a session; mailer $m_rss KiB = $m_per bytes a session
  one-day window: binkd $b_day_rss KiB ($b_day sessions), mailer $m_day_rss KiB ($m_day sessions)
  a session adds: binkd $b_adds bytes, mailer $m_adds bytes
targets (binkd):
REPORT
  target "binkd / mailer parse per byte" "$(median "${per_byte[@]}")" 1.25
  target "binkd / mailer peak RSS per session" "$(echo "scale=2; $b_per / $m_per" | bc)" 1
  target "binkd / mailer RSS a session adds" "$(echo "scale=2; $b_adds / $m_adds" | bc)" 1
}
# The trends store's cost alone: each run beside the same run without the store,
# back to back in every round, on CPU time (user + system) as well as wall time;
# then the peak RSS of each.
trends_bench() {
  local day_w=() day_c=() whole_w=() whole_c=() off_t off_c on_t on_c
  cat "$log" >/dev/null
  for _ in $(seq "$runs"); do
    sync
    sleep "$settle"
    off_t=$(seconds "$build/zentrak" "$station/day.cfg") off_c=$(cpu)
    on_t=$(seconds "$build/zentrak" "$station/day-trends.cfg") on_c=$(cpu)
    day_w+=("$(ratio "$on_t" "$off_t")") day_c+=("$(ratio "$on_c" "$off_c")")
    off_t=$(seconds "$build/zentrak" "$station/whole.cfg") off_c=$(cpu)
    on_t=$(seconds "$build/zentrak" "$station/whole-trends.cfg") on_c=$(cpu)
    whole_w+=("$(echo "$on_t - $off_t" | bc)") whole_c+=("$(echo "$on_c - $off_c" | bc)")
  done
  local day_off day_on whole_off whole_on
  day_off=$(peak_kib "$build/zentrak" "$station/day.cfg")
  day_on=$(peak_kib "$build/zentrak" "$station/day-trends.cfg")
  whole_off=$(peak_kib "$build/zentrak" "$station/whole.cfg")
  whole_on=$(peak_kib "$build/zentrak" "$station/whole-trends.cfg")
  cat <<REPORT
store:         $(stat -c %s "$station/trends.db") bytes, $(sqlite3 "$station/trends.db" 'SELECT count(*) FROM days') days, $(sqlite3 "$station/trends.db" 'SELECT count(*) FROM day_links') link rows, $(sqlite3 "$station/trends.db" 'SELECT count(*) FROM day_hours') hour rows, $(sqlite3 "$station/trends.db" 'SELECT count(DISTINCT address) FROM day_links') links
one day, on / off, CPU:        $(median "${day_c[@]}")  (rounds: ${day_c[*]})
one day, on / off, wall:       $(median "${day_w[@]}")  (rounds: ${day_w[*]})
whole window, on - off, CPU s: $(median "${whole_c[@]}")  (rounds: ${whole_c[*]})
whole window, on - off, wall s: $(median "${whole_w[@]}")  (rounds: ${whole_w[*]})
peak RSS KiB: one day $day_off off, $day_on on; whole window $whole_off off, $whole_on on
targets (trends store):
REPORT
  target "one-day window, trends store on / off (CPU)" "$(median "${day_c[@]}")" 1.05
  target "whole window, trends store on - off (CPU s)" "$(median "${whole_c[@]}")" 0.3
  target "whole window, store's added peak RSS (MiB)" "$(echo "($whole_on - $whole_off) / 1024" | bc)" 16
}
if [ "$only" = trends ]; then
  echo "date:          $(date -u +%Y-%m-%dT%H:%MZ)"
  echo "machine:       $(nproc) CPUs, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n 1)"
  trends_bench
  exit 0
fi
# binkd logs from another writer beside the mailer's usual log and the program's
# own binkd log, all of FOREIGN_SIZE, the whole window with every report off:
# seconds per byte over the mailer log's (wall and CPU, medians of per-round
# ratios) and, with INSTRUCTIONS=1, instructions per byte under callgrind with
# one thread. Instructions do not vary with the load of a shared machine. They
# are split into the classifying (any thread) and the rest, which the rules'
# thread does alone: with T threads a run takes about the larger of all / T and
# the rules' part, so the last column is the ratio to expect on four cores.
foreign_log() {  # mix; prints its path
  local sum path
  sum=$(cksum <"$root/bench/foreign_binkd_log.py" | cut -d' ' -f1)
  path=$cache/foreign-$1-$foreign_size-$yesterday-$sum.log
  if [ ! -f "$path" ]; then
    rm -f "$cache/foreign-$1-$foreign_size-"*.log
    python3 "$root/bench/foreign_binkd_log.py" --mix "$1" --bytes "$foreign_size" --end "$yesterday" \
      --out "$path.part"
    mv "$path.part" "$path"
  fi
  echo "$path"
}
instructions() {  # configuration; prints "all classifying": instruction counts of one run
  local out=$station/callgrind.out
  ZENTRAK_THREADS=1 valgrind --tool=callgrind --callgrind-out-file="$out" "$build/zentrak" \
    "$station/$1.cfg" >/dev/null 2>&1 || true
  callgrind_annotate --inclusive=yes --threshold=100 "$out" 2>/dev/null | awk '
    { n = $1; gsub(",", "", n) }
    /PROGRAM TOTALS/ { all = n }
    # The classifying of a block, whatever the compiler inlined it into.
    /ForEachLine<|Classifier::Classify\(zentrak::LogBlock const|BlockPipeline<.*>::ClassifyNext\(/ {
      if (n + 0 > classify + 0) classify = n
    }
    /zentrak::Parse(Binkd)?LogBlocks\(/ && n + 0 > parse + 0 { parse = n }
    END { print all, classify, parse }'
  rm -f "$out"
}
foreign_bench() {
  local names=(mailer ours) logs=("$(log_of usual "$foreign_size")" "$(log_of binkd "$foreign_size")")
  for mix in $foreign; do names+=("$mix") logs+=("$(foreign_log "$mix")"); done
  local k
  for k in "${!names[@]}"; do
    write_config "foreign-${names[k]}" "300.00:00-0.24:00" "${logs[k]}" "" \
      "$([ "$k" = 0 ] || echo binkd)"
  done
  cat "${logs[@]}" >/dev/null
  declare -A wall cpu
  local m_t m_c t c m_bytes bytes
  m_bytes=$(stat -c %s "${logs[0]}")
  for _ in $(seq "$runs"); do
    sync
    sleep "$settle"
    m_t=$(seconds "$build/zentrak" "$station/foreign-mailer.cfg") m_c=$(cpu)
    for k in "${!names[@]}"; do
      [ "$k" = 0 ] && continue
      t=$(seconds "$build/zentrak" "$station/foreign-${names[k]}.cfg") c=$(cpu)
      bytes=$(stat -c %s "${logs[k]}")
      wall[${names[k]}]+=" $(echo "scale=2; ($t * $m_bytes) / ($m_t * $bytes)" | bc)"
      cpu[${names[k]}]+=" $(echo "scale=2; ($c * $m_bytes) / ($m_c * $bytes)" | bc)"
    done
  done
  echo "binkd logs of another writer ($foreign_size each; per byte, over the mailer log's):"
  local counted=""
  if [ "${INSTRUCTIONS:-}" = 1 ] && command -v valgrind >/dev/null; then counted=yes; fi
  local m_all m_classify m_parse m_rules m_bound
  if [ -n "$counted" ]; then
    read -r m_all m_classify m_parse < <(instructions foreign-mailer)
    m_rules=$(echo "scale=4; ($m_parse - $m_classify) / $m_bytes" | bc)
    m_bound=$(largest "$(echo "scale=4; $m_parse / 4 / $m_bytes" | bc)" "$m_rules")
    printf '  %-8s %12s lines  instructions/byte %5.2f (classifying %5.2f, the rest %5.2f)\n' \
      mailer "$(wc -l <"${logs[0]}")" "$(echo "scale=4; $m_all / $m_bytes" | bc)" \
      "$(echo "scale=4; $m_classify / $m_bytes" | bc)" "$m_rules"
  fi
  for k in "${!names[@]}"; do
    [ "$k" = 0 ] && continue
    local name=${names[k]} line
    bytes=$(stat -c %s "${logs[k]}")
    # shellcheck disable=SC2086  # the rounds are words
    line=$(printf '  %-8s %12s lines  wall %s (rounds:%s)  CPU %s' "$name" "$(wc -l <"${logs[k]}")" \
      "$(median ${wall[$name]})" "${wall[$name]}" "$(median ${cpu[$name]})")
    if [ -n "$counted" ]; then
      local all classify parse rules
      read -r all classify parse < <(instructions "foreign-$name")
      rules=$(echo "scale=4; ($parse - $classify) / $bytes" | bc)
      line+=$(printf '  instructions/byte %5.2f = %4.2f x (classifying %5.2f, the rest %5.2f; four cores %4.2f x)' \
        "$(echo "scale=4; $all / $bytes" | bc)" "$(echo "scale=4; $all * $m_bytes / ($m_all * $bytes)" | bc)" \
        "$(echo "scale=4; $classify / $bytes" | bc)" "$rules" \
        "$(echo "scale=4; $(largest "$(echo "scale=4; $parse / 4 / $bytes" | bc)" "$rules") / $m_bound" | bc)")
    fi
    echo "$line"
  done
}
if [ "$only" = foreign ]; then
  echo "date:          $(date -u +%Y-%m-%dT%H:%MZ)"
  echo "machine:       $(nproc) CPUs, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n 1)"
  echo "threads:       ${ZENTRAK_THREADS:-as many as the machine offers}"
  [ -n "$foreign" ] || foreign="plain probes refused debug crowd chatty terse worst"
  foreign_bench
  exit 0
fi
if [ "$only" = binkd ]; then
  echo "date:          $(date -u +%Y-%m-%dT%H:%MZ)"
  echo "machine:       $(nproc) CPUs, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n 1)"
  echo "threads:       ${ZENTRAK_THREADS:-as many as the machine offers}"
  binkd_bench
  exit 0
fi

# Shared machines are noisy: every round times all commands back to back, and
# the ratios are taken per round before the median.
for path in "$cache"/*-"$yesterday"-"$generator".log; do cat "$path" >/dev/null; done  # warm the page cache
lines=$(wc -l <"$log")
wc_times=() day_times=() whole_times=() cut_times=() tail_times=() replace_ratios=()
reports_times=() many_times=() all_times=() files_ratios=() files_cpu_ratios=()
example_ratios=() example_cpu_ratios=() day_trends_ratios=() whole_trends_costs=()
day_trends_cpu_ratios=() whole_trends_cpu_costs=()
day_ratios=() whole_ratios=() cut_ratios=() reports_ratios=() all_ratios=()
whole_cpu_ratios=() reports_cpu_ratios=() all_cpu_ratios=() many_cpus=()
declare -A mix_whole_ratios mix_all_ratios
for _ in $(seq "$runs"); do
  # A round writes gigabytes (reports, copies of the log). On a virtual disk
  # the host can go on writing them out for seconds after our syncs return,
  # and the next round's runs would pay for it: the runs that write most, the
  # most. Each round starts on a quiet disk.
  sync
  sleep "$settle"
  wc_t=$(seconds wc -l "$log") wc_c=$(cpu)
  day_t=$(seconds "$build/zentrak" "$station/day.cfg")
  whole_t=$(seconds "$build/zentrak" "$station/whole.cfg") whole_c=$(cpu)
  reports_t=$(seconds "$build/zentrak" "$station/reports.cfg") reports_c=$(cpu)
  all_t=$(seconds "$build/zentrak" "$station/all.cfg") all_c=$(cpu)
  many_t=$(seconds "$build/zentrak" "$station/many.cfg") many_c=$(cpu)
  files_t=$(seconds "$build/zentrak" "$station/files.cfg") files_c=$(cpu)
  example_t=$(seconds "$build/zentrak" "$station/example.cfg") example_c=$(cpu)
  # Each beside its run without the store, back to back.
  off_t=$(seconds "$build/zentrak" "$station/day.cfg") off_c=$(cpu)
  on_t=$(seconds "$build/zentrak" "$station/day-trends.cfg") on_c=$(cpu)
  day_trends_ratios+=("$(ratio "$on_t" "$off_t")")
  day_trends_cpu_ratios+=("$(ratio "$on_c" "$off_c")")
  off_t=$(seconds "$build/zentrak" "$station/whole.cfg") off_c=$(cpu)
  on_t=$(seconds "$build/zentrak" "$station/whole-trends.cfg") on_c=$(cpu)
  whole_trends_costs+=("$(echo "$on_t - $off_t" | bc)")
  whole_trends_cpu_costs+=("$(echo "$on_c - $off_c" | bc)")
  example_ratios+=("$(ratio "$example_t" "$whole_t")")
  example_cpu_ratios+=("$(ratio "$example_c" "$whole_c")")
  files_ratios+=("$(ratio "$files_t" "$whole_t")")
  files_cpu_ratios+=("$(ratio "$files_c" "$whole_c")")
  # Both start from a clean page cache: the reports just written (hundreds of
  # megabytes) and the copy would otherwise go to disk during the first one's sync.
  cp "$log" "$work/mailer.log" && sync
  cut_t=$(seconds cut_run)
  kept=$(stat -c %s "$work/mailer.log")
  sync
  tail_t=$(seconds tail_run)
  cp "$log" "$work/replaced.log" && sync
  replace_t=$(seconds replace_run)
  replace_ratios+=("$(ratio "$cut_t" "$replace_t")")
  wc_times+=("$wc_t") day_times+=("$day_t") whole_times+=("$whole_t")
  cut_times+=("$cut_t") tail_times+=("$tail_t")
  reports_times+=("$reports_t") many_times+=("$many_t") all_times+=("$all_t")
  reports_ratios+=("$(ratio "$reports_t" "$whole_t")")
  all_ratios+=("$(ratio "$all_t" "$whole_t")")
  whole_cpu_ratios+=("$(ratio "$whole_c" "$wc_c")")
  reports_cpu_ratios+=("$(ratio "$reports_c" "$whole_c")")
  all_cpu_ratios+=("$(ratio "$all_c" "$whole_c")")
  many_cpus+=("$many_c")
  day_ratios+=("$(ratio "$day_t" "$wc_t")") whole_ratios+=("$(ratio "$whole_t" "$wc_t")")
  cut_ratios+=("$(ratio "$cut_t" "$tail_t")")
  for mix in $mixes; do
    mix_log=$(log_of "$mix" "$mix_size")
    mix_wc=$(seconds wc -l "$mix_log")
    mix_whole=$(seconds "$build/zentrak" "$station/whole-$mix.cfg")
    mix_all=$(seconds "$build/zentrak" "$station/all-$mix.cfg")
    mix_whole_ratios[$mix]+=" $(ratio "$mix_whole" "$mix_wc")"
    mix_all_ratios[$mix]+=" $(ratio "$mix_all" "$mix_whole")"
  done
done
cmp -s "$work/replaced.log" "$work/mailer.log" && same=yes || same=NO
rm -f "$work/tail.out" "$work/mailer.log" "$work/replaced.log"
day_rss=$(peak_kib "$build/zentrak" "$station/day.cfg")
whole_rss=$(peak_kib "$build/zentrak" "$station/whole.cfg")
all_rss=$(peak_kib "$build/zentrak" "$station/all.cfg")
files_rss=$(peak_kib "$build/zentrak" "$station/files.cfg")
example_rss=$(peak_kib "$build/zentrak" "$station/example.cfg")
file_lines=$(grep -c -e 'Receiving file ' -e 'Sending file ' "$log" || true)
links=$(grep -c '^ *[0-9]*:[0-9]*/[0-9]' "$station/out-many/link.out" || true)

cat <<REPORT
date:          $(date -u +%Y-%m-%dT%H:%MZ)
machine:       $(nproc) CPUs, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n 1)
threads:       ${ZENTRAK_THREADS:-as many as the machine offers}
log:           ${log/#$HOME/\~} ($(stat -c %s "$log") bytes, $lines lines)
runs:          $runs rounds, warm page cache, each after $settle quiet seconds; ratios are medians of per-round ratios
medians (s):   wc -l $(median "${wc_times[@]}"), one-day $(median "${day_times[@]}"), whole $(median "${whole_times[@]}"), CutLogNew $(median "${cut_times[@]}"), tail -c $(median "${tail_times[@]}")
one-day window / wc -l:    $(median "${day_ratios[@]}")  (rounds: ${day_ratios[*]})  peak RSS $day_rss KiB
whole window / wc -l:      $(median "${whole_ratios[@]}")  (rounds: ${whole_ratios[*]})  peak RSS $whole_rss KiB
seven reports / whole:     $(median "${reports_ratios[@]}")  (rounds: ${reports_ratios[*]}); median $(median "${reports_times[@]}") s
every report, rules / whole: $(median "${all_ratios[@]}")  (rounds: ${all_ratios[*]}); median $(median "${all_times[@]}") s; peak RSS $all_rss KiB
seven reports, $links links: $(median "${many_times[@]}") s  (rounds: ${many_times[*]}); ${many/#$HOME/\~}
files report / whole:      $(median "${files_ratios[@]}")  (rounds: ${files_ratios[*]}); $file_lines files in the log
files report peak RSS:     $files_rss KiB = $(ratio "$files_rss" "$whole_rss") x the whole window's
trends on / off, one day:  $(median "${day_trends_ratios[@]}")  (rounds: ${day_trends_ratios[*]}); store $(stat -c %s "$station/trends.db") bytes, $(sqlite3 "$station/trends.db" 'SELECT count(*) FROM days') days, $(sqlite3 "$station/trends.db" 'SELECT count(*) FROM day_links') link rows
trends on - off, whole (s): $(median "${whole_trends_costs[@]}")  (rounds: ${whole_trends_costs[*]})
example station / whole:   $(median "${example_ratios[@]}")  (rounds: ${example_ratios[*]}); every report, peak RSS $example_rss KiB
CPU seconds (user + system), the same rounds:
  whole window / wc -l:    $(median "${whole_cpu_ratios[@]}")  (rounds: ${whole_cpu_ratios[*]})
  seven reports / whole:   $(median "${reports_cpu_ratios[@]}")  (rounds: ${reports_cpu_ratios[*]})
  every report / whole:    $(median "${all_cpu_ratios[@]}")  (rounds: ${all_cpu_ratios[*]})
  files report / whole:    $(median "${files_cpu_ratios[@]}")  (rounds: ${files_cpu_ratios[*]})
  example station / whole: $(median "${example_cpu_ratios[@]}")  (rounds: ${example_cpu_ratios[*]})
  seven reports, $links links: $(median "${many_cpus[@]}") s  (rounds: ${many_cpus[*]})
  trends on / off, one day: $(median "${day_trends_cpu_ratios[@]}")  (rounds: ${day_trends_cpu_ratios[*]})
  trends on - off, whole (s): $(median "${whole_trends_cpu_costs[@]}")  (rounds: ${whole_trends_cpu_costs[*]})
CutLogNew / tail -c:       $(median "${cut_ratios[@]}")  (rounds: ${cut_ratios[*]}); $kept bytes kept ($keep_days days), same bytes: $same
  the same / tail -c + mv over the log: $(median "${replace_ratios[@]}")  (rounds: ${replace_ratios[*]})
REPORT
if [ -n "$mixes" ]; then
  echo "other mixes ($mix_size each; whole window / wc -l, every report with rules / whole window):"
  worst_whole=$(median "${whole_ratios[@]}") worst_whole_mix=usual
  worst_all=$(median "${all_ratios[@]}") worst_all_mix=usual
  for mix in $mixes; do
    # shellcheck disable=SC2086  # the rounds are words
    whole_m=$(median ${mix_whole_ratios[$mix]}) all_m=$(median ${mix_all_ratios[$mix]})
    printf '  %-6s %-24s whole %s (rounds:%s)  every report %s (rounds:%s)\n' "$mix" \
      "${mix_options[$mix]}" "$whole_m" "${mix_whole_ratios[$mix]}" "$all_m" "${mix_all_ratios[$mix]}"
    if [ "$(largest "$whole_m" "$worst_whole")" = "$whole_m" ]; then
      worst_whole=$whole_m worst_whole_mix=$mix
    fi
    if [ "$(largest "$all_m" "$worst_all")" = "$all_m" ]; then
      worst_all=$all_m worst_all_mix=$mix
    fi
  done
  echo "worst mix:     whole window / wc -l $worst_whole ($worst_whole_mix), every report / whole $worst_all ($worst_all_mix)"
fi

# Growth: the whole window once per round on logs of each size, beside `wc -l`.
if [ -n "$growth" ]; then
  echo "growth (whole window, every report off; median of $runs rounds):"
  printf '  %-6s %14s %11s %9s %9s %8s %12s\n' size bytes lines "wc -l s" "run s" ratio "peak RSS KiB"
  for g in $growth; do
    g_log=$(log_of usual "$g")
    write_config "growth-$g" "300.00:00-0.24:00" "$g_log" ""
    cat "$g_log" >/dev/null
    g_wc=() g_run=()
    for _ in $(seq "$runs"); do
      g_wc+=("$(seconds wc -l "$g_log")")
      g_run+=("$(seconds "$build/zentrak" "$station/growth-$g.cfg")")
    done
    g_wc_m=$(median "${g_wc[@]}") g_run_m=$(median "${g_run[@]}")
    printf '  %-6s %14s %11s %9s %9s %8s %12s\n' "$g" "$(stat -c %s "$g_log")" "$(wc -l <"$g_log")" \
      "$g_wc_m" "$g_run_m" "$(ratio "$g_run_m" "$g_wc_m")" \
      "$(peak_kib "$build/zentrak" "$station/growth-$g.cfg")"
  done
fi

binkd_bench
[ -z "$foreign" ] || foreign_bench

# Every target beside its figure: the medians above, the worst mix for the whole window.
whole_worst=$(median "${whole_ratios[@]}")
for mix in $mixes; do
  # shellcheck disable=SC2086  # the rounds are words
  whole_worst=$(largest "$whole_worst" "$(median ${mix_whole_ratios[$mix]})")
done
echo "targets:"
target "one-day window / wc -l" "$(median "${day_ratios[@]}")" 1.5
target "whole window, every report off / wc -l" "$(median "${whole_ratios[@]}")" 6
target "  the same, worst mix" "$whole_worst" 6
target "seven link reports / whole window" "$(median "${reports_ratios[@]}")" 1.25
target "example station, every report / whole window" "$(median "${example_ratios[@]}")" 1.5
target "files report alone / whole window" "$(median "${files_ratios[@]}")" 1.5
target "peak RSS, whole window (MiB)" "$(echo "scale=1; $whole_rss / 1024" | bc)" 128
target "seven link reports, 10 000 links (s)" "$(printf '%.2f' "$(median "${many_times[@]}")")" 0.25
target "one-day window, trends store on / off (CPU)" "$(median "${day_trends_cpu_ratios[@]}")" 1.05
target "whole window, trends store on - off (CPU s)" "$(median "${whole_trends_cpu_costs[@]}")" 0.3
target "CutLogNew / tail -c + sync" "$(median "${cut_ratios[@]}")" 1.3
