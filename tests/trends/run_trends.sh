#!/usr/bin/env bash
# The trends store through the program, on a copy of the example station with a
# 40-day log:
#   - counting once: a rerun, two overlapping windows and a run over the cut log
#     all leave the store a whole-window run writes;
#   - --check reads the store and leaves it byte for byte;
#   - --trends prints its tables and JSON (compared with expected/; set
#     ZENTRAK_E2E_UPDATE=1 to rewrite them, and review the diff);
#   - a store that cannot be used is left untouched, the reports are written
#     and the run ends with status 2;
#   - runs killed at random points, most of them inside the store's
#     transaction, leave a sound store with the old or the new sums.
# usage: run_trends.sh BUILD_DIR [KILLS]
set -euo pipefail
build=$(cd "$1" && pwd)
kills=${2:-24}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
when="2026-12-07 10:43:08"
faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n 1)
if [ -z "$faketime_lib" ] || ! command -v sqlite3 >/dev/null; then
  echo "libfaketime or sqlite3 is missing (make test installs them)" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
st=$work/station
cp -a "$root/examples/station/." "$st/"
rm -f "$st/run_demo.sh"
mkdir -p "$st/out"
"$build/zentrak-lngc" "$st/english.lngsrc" "$st/english.lng" >/dev/null
"$build/zentrak-genlog" --seed 11 --days 40 --end 2026-12-06 --out "$st/mailer.log" >/dev/null
cp "$st/mailer.log" "$work/whole.log"
# window NAME TIME [more config lines]: a configuration beside zentrak.cfg.
window() {
  { grep -v '^TIME ' "$st/zentrak.cfg"; echo "TIME $2"; printf '%s\n' "${@:3}"; } >"$st/$1.cfg"
}
window whole 45.00:00-0.00:00
window early 45.00:00-15.00:00
window late 20.00:00-0.00:00
window cut 2.00:00-0.00:00 "CUT_LOG 6"

failed=0
fail() {
  echo "FAIL: $*"
  failed=1
}
zentrak() { # args...; sets status, console in $work/console
  (cd "$st" && LD_PRELOAD="$faketime_lib" FAKETIME="$when" FAKETIME_DONT_FAKE_MONOTONIC=1 \
    "$build/zentrak" "$@" >"$work/console" 2>&1) && status=0 || status=$?
}
dump() { sqlite3 "$st/trends.db" .dump; }
sums() { sqlite3 "$st/trends.db" "SELECT count(*), total(covered_till - covered_from),
  total(sessions) FROM days; SELECT count(*), total(bytes_received), total(files_sent) FROM day_links"; }
fresh() {
  rm -f "$st/trends.db" "$st/trends.db-journal"
  cp "$work/whole.log" "$st/mailer.log"
}

# Counting once.
fresh
zentrak whole.cfg
[ "$status" = 0 ] || fail "whole window: status $status"
dump >"$work/whole.dump"
[ "$(sqlite3 "$st/trends.db" 'SELECT count(*) FROM days')" -ge 39 ] || fail "whole window: days"
zentrak whole.cfg
dump | cmp -s - "$work/whole.dump" || fail "a rerun changed the store"
fresh
zentrak early.cfg
zentrak late.cfg
dump | cmp -s - "$work/whole.dump" || fail "two overlapping windows differ from the whole one"
fresh
zentrak whole.cfg
zentrak cut.cfg
[ "$(wc -c <"$st/mailer.log")" -lt "$(wc -c <"$work/whole.log")" ] || fail "the log was not cut"
dump | cmp -s - "$work/whole.dump" || fail "a run over the cut log changed the older days"

# --check reads and writes nothing.
fresh
zentrak early.cfg
before=$(sha256sum <"$st/trends.db")
zentrak --check late.cfg
[ "$(sha256sum <"$st/trends.db")" = "$before" ] || fail "--check changed the store"

# --trends.
zentrak late.cfg
for view in days months years top hours topdays oneline "months --json" "top --json" \
  "hours --json" "oneline --json"; do
  name=$(echo "$view" | tr -d ' -')
  # shellcheck disable=SC2086  # the view's words
  zentrak --trends $view zentrak.cfg
  echo "exit status $status" >>"$work/console"
  if [ "${ZENTRAK_E2E_UPDATE:-}" = 1 ]; then
    cp "$work/console" "$here/expected/$name.txt"
  else
    diff -u "$here/expected/$name.txt" "$work/console" || fail "--trends $view"
  fi
  case $view in
    *json* | oneline) ;;
    *) [ "$(awk '{ if (length($0) > m) m = length($0) } END { print m }' "$work/console")" -le 80 ] ||
      fail "--trends $view is wider than 80 columns" ;;
  esac
done

# No store named: status 1; a store not written yet: an empty table.
grep -v '^TRENDS_DB' "$st/zentrak.cfg" >"$st/none.cfg"
zentrak --trends none.cfg
[ "$status" = 1 ] && grep -q '^! .*No trends store in none.cfg (TRENDS_DB)' "$work/console" ||
  fail "--trends without TRENDS_DB: status $status"
sed 's/^TRENDS_DB .*/TRENDS_DB later.db/' "$st/zentrak.cfg" >"$st/later.cfg"
zentrak --trends years later.cfg
[ "$status" = 0 ] && grep -q 'nothing stored yet' "$work/console" && [ ! -e "$st/later.db" ] ||
  fail "--trends before the first run: status $status"

# Stores that cannot be used.
sound=$work/sound.db
cp "$st/trends.db" "$sound"
declare -A broken=(
  [text]="printf 'not a database\n' >\$db"
  [newer]="cp $sound \$db && sqlite3 \$db 'PRAGMA user_version = 7'"
  [damaged]="cp $sound \$db && head -c 512 /dev/zero | tr '\\\\0' Z | dd of=\$db bs=1 seek=4104 conv=notrunc status=none"
)
for kind in "${!broken[@]}"; do
  db=$st/trends.db
  rm -f "$db" "$st/out/summary.out"
  eval "${broken[$kind]}"
  before=$(sha256sum <"$db")
  zentrak zentrak.cfg
  [ "$status" = 2 ] || fail "$kind store: status $status"
  grep -q '^! .*Trends store .* left untouched: ' "$work/console" || fail "$kind store: no ! line"
  [ -s "$st/out/summary.out" ] || fail "$kind store: the reports were not written"
  [ "$(sha256sum <"$db")" = "$before" ] || fail "$kind store: changed"
done

# Every fault is said alike by --check, --trends and a real run: "!" line, the
# reason naming it (never SQLite's "not an error"), status 2, the store untouched.
# A user's view and table stay as they are.
declare -A refused=(
  [no-tables]="sqlite3 \$db 'CREATE TABLE notes (t); PRAGMA application_id = 1515475531; PRAGMA user_version = 3'"
  [trigger]="cp $sound \$db && sqlite3 \$db 'CREATE TABLE seen (t); CREATE TRIGGER spy AFTER INSERT ON days BEGIN INSERT INTO seen VALUES (new.day); END'"
  [foreign]="cp $sound \$db && sqlite3 \$db \"DELETE FROM station; INSERT INTO station VALUES ('9:999/9', 'Elsewhere')\""
)
declare -A reason=([no-tables]="damaged: no table days" [trigger]="holds a trigger"
  [foreign]="kept for another station: 9:999/9 (Elsewhere)")
for kind in "${!refused[@]}"; do
  db=$st/trends.db
  rm -f "$db"
  eval "${refused[$kind]}"
  before=$(sha256sum <"$db")
  for how in "" --check --trends; do
    zentrak $how zentrak.cfg
    want=2
    [ "$kind/$how" = foreign/--trends ] && want=0
    [ "$status" = "$want" ] || fail "$kind store, ${how:-run}: status $status"
    if [ "$want" = 2 ]; then
      grep -q "^! .*Trends store .* left untouched: .*${reason[$kind]}" "$work/console" ||
        fail "$kind store, ${how:-run}: no ! line naming the fault"
    else
      grep -q "^ Trends store of another station: 9:999/9 (Elsewhere)" "$work/console" ||
        fail "$kind store, --trends: does not say whose store it is"
    fi
    grep -q "not an error" "$work/console" && fail "$kind store, ${how:-run}: 'not an error'"
    [ "$(sha256sum <"$db")" = "$before" ] || fail "$kind store, ${how:-run}: changed"
  done
  # An import refuses it too, before it reads a line.
  zentrak zentrak.cfg --import mailer.log
  [ "$status" = 2 ] && grep -q "^! .*Trends store .* left untouched: .*${reason[$kind]}" \
    "$work/console" || fail "$kind store, --import: status $status or no ! line naming the fault"
  [ "$(sha256sum <"$db")" = "$before" ] || fail "$kind store, --import: changed"
done
db=$st/trends.db
cp "$sound" "$db"
sqlite3 "$db" "CREATE VIEW dashboard AS SELECT day, sum(bytes_received) AS b FROM day_links GROUP BY day;
  CREATE TABLE notes (t); INSERT INTO notes VALUES ('mine')"
zentrak whole.cfg
[ "$status" = 0 ] && [ "$(sqlite3 "$db" 'SELECT t FROM notes')" = mine ] &&
  [ "$(sqlite3 "$db" 'SELECT count(*) FROM dashboard')" -ge 39 ] ||
  fail "a store with a user's view and table: status $status"

# A run stopped inside its transaction: --trends and --check read what the last
# completed run left, and the next run rolls the journal back.
fresh
zentrak early.cfg
cp "$st/trends.db" "$work/completed.db"
zentrak --trends years zentrak.cfg
cp "$work/console" "$work/completed.years"
sqlite3 "$st/trends.db" <<EOF
PRAGMA cache_size = 1; BEGIN; DELETE FROM day_links; DELETE FROM days;
.shell cp $st/trends.db $work/stopped.db
.shell cp $st/trends.db-journal $work/stopped.db-journal
ROLLBACK;
EOF
cp "$work/stopped.db" "$st/trends.db"
cp "$work/stopped.db-journal" "$st/trends.db-journal"
zentrak --trends years zentrak.cfg
[ "$status" = 0 ] && cmp -s "$work/console" "$work/completed.years" ||
  fail "--trends beside a stopped run's journal: status $status"
zentrak --check zentrak.cfg
[ "$status" = 0 ] && grep -q "a stopped run's journal waits for the next run" "$work/console" ||
  fail "--check beside a stopped run's journal: status $status"
cmp -s "$st/trends.db" "$work/stopped.db" && [ -e "$st/trends.db-journal" ] ||
  fail "--trends or --check touched a stopped run's store"
zentrak early.cfg
[ "$status" = 0 ] && [ ! -e "$st/trends.db-journal" ] || fail "the run after a stopped one: status $status"
zentrak --trends years zentrak.cfg
cmp -s "$work/console" "$work/completed.years" || fail "the run after a stopped one changed the sums"

# Killed runs: old = the early window; new = old and then the whole window.
fresh
zentrak early.cfg
cp "$st/trends.db" "$work/old.db"
old=$(sums)
zentrak whole.cfg
new=$(sums)
outcomes=""
for k in $(seq 1 "$kills"); do
  cp "$work/old.db" "$st/trends.db"
  rm -f "$st/trends.db-journal"
  (cd "$st" && LD_PRELOAD="$faketime_lib" FAKETIME="$when" FAKETIME_DONT_FAKE_MONOTONIC=1 \
    exec "$build/zentrak" whole.cfg >/dev/null 2>&1) &
  pid=$!
  # Most kills wait for the transaction's journal to appear; every third one
  # falls anywhere in the run.
  if [ $((k % 3)) != 0 ]; then
    while [ ! -e "$st/trends.db-journal" ] && kill -0 "$pid" 2>/dev/null; do :; done
  fi
  sleep "0.0$((RANDOM % 10))$((RANDOM % 10))"
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  check=$(sqlite3 "$st/trends.db" 'PRAGMA integrity_check')
  [ "$check" = ok ] || fail "killed run $k: integrity_check says $check"
  now=$(sums)
  if [ "$now" = "$old" ]; then
    outcomes+=o
  elif [ "$now" = "$new" ]; then
    outcomes+=n
  else
    fail "killed run $k: a mix of old and new: $now"
  fi
done
echo "killed runs (o: old contents, n: new): $outcomes"
exit $failed
