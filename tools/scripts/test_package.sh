#!/usr/bin/env bash
# The Debian package's round trip on this machine: install it, ask the
# installed program for its version and its manual page, check the system
# user and its folders, run the installed example stations (the mailer's and
# binkd's) in a scratch folder, check that a run without arguments finds the
# system configuration, fill the system configurations in for a binkd node
# whose binkd.conf the run may read through its group and whose node list it
# may not, run them the way the systemd service does, reinstall the package
# after the folders were handed to another user (through dpkg-statoverride and
# by hand) and check that they stay that user's, then remove the package (the
# data stays) and purge it (the data goes).
# Usage: test_package.sh PKG_BUILD_DIR BUILD_DIR (the second for the log generator)
set -euo pipefail
pkg_build=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
if dpkg-query -W -f='${Status}' zentrak 2>/dev/null | grep -q 'install ok installed'; then
  echo "A zentrak package is installed on this machine already; the round trip would"
  echo "replace and then remove it. Remove it first (dpkg --purge zentrak) to run this test."
  exit 1
fi
deb=$(ls -t "$pkg_build"/zentrak_*.deb | head -n 1)
echo "Package: $deb"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
dpkg-deb --contents "$deb"

dpkg-deb --field "$deb" Depends | grep -qw adduser ||
  { echo "package round trip: the package does not depend on adduser" >&2; exit 1; }

work=$(mktemp -d)
# The system user stays after a purge, as it should; the user that this test
# made is removed again, so that the next round trip sees the package make it.
user_before=no
getent passwd zentrak >/dev/null && user_before=yes
# The mailer's user of the upgrade check, made here and removed again.
mailer_user=zentrak-test-mailer
overridden=(/var/lib/zentrak /var/lib/zentrak/reports)
cleanup() {
  for dir in "${overridden[@]}"; do
    "${sudo_cmd[@]}" dpkg-statoverride --remove "$dir" >/dev/null 2>&1 || true
  done
  "${sudo_cmd[@]}" dpkg --purge zentrak >/dev/null 2>&1 || true
  if [ "$user_before" = no ] && getent passwd zentrak >/dev/null; then
    "${sudo_cmd[@]}" userdel zentrak >/dev/null 2>&1 || true
  fi
  if getent passwd "$mailer_user" >/dev/null; then
    "${sudo_cmd[@]}" userdel "$mailer_user" >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
# Slim images leave manual pages out of every package; ours must arrive.
"${sudo_cmd[@]}" dpkg --path-include='/usr/share/man/*' -i "$deb"

fail() {
  echo "package round trip: $*" >&2
  exit 1
}
[ "$(command -v zentrak)" = /usr/bin/zentrak ] || fail "zentrak is not /usr/bin/zentrak"
zentrak --version | tee "$work/version"
grep -qx 'Zentrak [^ ]* /LNX' "$work/version" || fail "unexpected version line"
for page in zentrak zentrak-lngc zentrak.cfg; do
  man -w "$page" || fail "man -w $page finds no page"
done
for config in /etc/zentrak/zentrak.cfg /etc/zentrak/zentrak-html.cfg; do
  [ -f "$config" ] || fail "no $config"
  dpkg-query --control-show zentrak conffiles | grep -qx "$config" ||
    fail "$config is not a conffile"
done
# The system user and the folders that must be its.
entry=$(getent passwd zentrak) || fail "the package made no user zentrak"
uid=$(echo "$entry" | cut -d: -f3)
[ "$uid" -lt 1000 ] || fail "zentrak is no system user (uid $uid)"
for dir in /var/lib/zentrak /var/lib/zentrak/reports /var/lib/zentrak/html; do
  [ -d "$dir" ] || fail "no $dir"
  [ "$(stat -c %U:%G "$dir")" = zentrak:zentrak ] ||
    fail "$dir belongs to $(stat -c %U:%G "$dir"), not zentrak:zentrak"
done
# The nightly run's units are installed as that user's, and not enabled.
unit=/usr/lib/systemd/system/zentrak.service
[ -f "$unit" ] && [ -f /usr/lib/systemd/system/zentrak.timer ] || fail "no systemd units"
grep -qx 'User=zentrak' "$unit" || fail "the service does not run as zentrak"
[ ! -e /etc/systemd/system/timers.target.wants/zentrak.timer ] || fail "the timer is enabled"

# The example station, as a sysop would start from it.
station=$work/station
cp -a /usr/share/zentrak/station "$station"
cd "$station"
mkdir out
zentrak-lngc english.lngsrc english.lng
"$build/zentrak-genlog" --seed 2026 --days 3 --end "$(date -d yesterday +%Y-%m-%d)" \
  --out mailer.log >/dev/null
zentrak zentrak.cfg | tee "$work/console"
grep -q ' Zentrak .* ended$' "$work/console" || fail "the demo run did not end normally"
[ -s out/sessions.out ] && [ -s out/all.out ] || fail "the demo run wrote no reports"
[ -s lastcall.bin ] || fail "the history is not beside the station's configuration"

# The binkd station beside it: it takes the mailer station's templates.
cp -a /usr/share/zentrak/binkd "$work/binkd"
cd "$work/binkd"
mkdir out
"$build/zentrak-genlog" --binkd --seed 2026 --days 3 --end "$(date -d yesterday +%Y-%m-%d)" \
  --out binkd.log >/dev/null
zentrak zentrak.cfg | tee "$work/binkd-console"
grep -q ' Zentrak .* ended$' "$work/binkd-console" ||
  fail "the binkd station's run did not end normally"
[ -s out/sessions.out ] && [ -s out/sysops.out ] || fail "the binkd station wrote no reports"

# Without an argument the installed program reads the system configuration,
# which is ready for a binkd node: its check names binkd's configuration (on
# a machine without binkd) with the system's reason.
(cd "$work" && zentrak --check) >"$work/system" || true
cat "$work/system"
grep -q 'Reading config file (/etc/zentrak/zentrak.cfg)' "$work/system" ||
  fail "a run without arguments does not read /etc/zentrak/zentrak.cfg"
if [ ! -e /etc/binkd/binkd.conf ]; then
  grep -q 'Unable to open mailer cfg file (/etc/binkd/binkd.conf)' "$work/system" ||
    fail "the check of the system configuration does not name binkd.conf"
  grep -qx '! .. ... ..:..:.. No such file or directory' "$work/system" ||
    fail "the check of the system configuration gives no reason"
fi

# A binkd node as install.md sets it up: binkd.conf readable through the
# group zentrak, the node list with the passwords (an include) binkd's alone,
# the log readable. Its files take the place of Debian's paths in both system
# configurations, one at a time; the check then names the next one.
chmod 755 "$work"
node=$work/node
mkdir "$node"
sed -e "s|^log .*|log $node/binkd|" -e "s|^include .*|include $node/nodes.conf|" \
  /usr/share/zentrak/binkd/binkd.conf >"$node/binkd.conf"
cp /usr/share/zentrak/binkd/nodes.conf "$node/nodes.conf"
"${sudo_cmd[@]}" chown root:zentrak "$node/binkd.conf"
"${sudo_cmd[@]}" chmod 640 "$node/binkd.conf"
"${sudo_cmd[@]}" chown root:root "$node/nodes.conf"
"${sudo_cmd[@]}" chmod 600 "$node/nodes.conf"
"$build/zentrak-genlog" --binkd --seed 2026 --days 3 --end "$(date -d yesterday +%Y-%m-%d)" \
  --out "$node/binkd" >/dev/null
chmod 644 "$node/binkd"
fill() {
  local config=$1 keyword=$2 value=$3 expected=$4
  "${sudo_cmd[@]}" sed -i -e "s|^$keyword .*|$keyword $value|" "$config"
  (cd / && "${sudo_cmd[@]}" runuser -u zentrak -- zentrak --check "$config") \
    >"$work/check" || true
  grep -qF "$expected" "$work/check" ||
    { cat "$work/check"; fail "with $keyword of $config filled in, no line: $expected"; }
}
skipped="Include file $node/nodes.conf of $node/binkd.conf cannot be read and is skipped"
for config in /etc/zentrak/zentrak.cfg /etc/zentrak/zentrak-html.cfg; do
  fill "$config" MAILER_CFG "$node/binkd.conf" "$skipped"
  grep -qx '! .. ... ..:..:.. Permission denied' "$work/check" ||
    fail "the skipped include of $config gives no reason"
  grep -q 'Unable to open log file (/var/log/binkd/binkd)' "$work/check" ||
    [ -e /var/log/binkd/binkd ] || fail "the check of $config does not name Debian's binkd log"
  fill "$config" LOG "$node/binkd" 'Processing sessions'
done
# The run as the service runs it: its user, its folder, its commands in order.
# The skipped include leaves status 2 to every run, and the reports and pages
# are written all the same.
service_user=$(sed -n 's/^User=//p' "$unit")
service_dir=$(sed -n 's/^WorkingDirectory=//p' "$unit")
mapfile -t service_cmds < <(sed -n 's/^ExecStart=//p' "$unit")
[ "${#service_cmds[@]}" -eq 2 ] || fail "the service does not run the reports and the pages"
for service_cmd in "${service_cmds[@]}"; do
  status=0
  (cd / && "${sudo_cmd[@]}" runuser -u "$service_user" -- sh -c "cd $service_dir && $service_cmd") \
    >"$work/service" 2>&1 || status=$?
  cat "$work/service"
  [ "$status" -eq 2 ] || fail "$service_cmd ended with status $status, not 2"
  grep -qF "$skipped" "$work/service" || fail "$service_cmd does not say it skipped the node list"
done
for file in /var/lib/zentrak/reports/sessions.out /var/lib/zentrak/reports/files.out \
  /var/lib/zentrak/lastcall.bin /var/lib/zentrak/html/index.html \
  /var/lib/zentrak/html/sessions.html /var/lib/zentrak/lastcall-html.bin \
  /var/lib/zentrak/trends.db; do
  [ -s "$file" ] || fail "the service's runs wrote no $file"
  [ "$(stat -c %U "$file")" = zentrak ] || fail "$file does not belong to zentrak"
done
[ -s /var/lib/zentrak/html/zentrak.css ] || fail "the package put no stylesheet beside the pages"
grep -q 'Other files' /var/lib/zentrak/reports/files.out ||
  fail "the files report shows no group of the files of no alias"
grep -q 'binkp sessions of' /var/lib/zentrak/reports/sessions.out ||
  fail "the sessions report is not binkd's"

# A sysop who runs Zentrak as the mailer's user hands the folders to that
# user: through dpkg-statoverride, as install.md shows, or by hand. A
# reinstall of the same package keeps both.
"${sudo_cmd[@]}" useradd --system --no-create-home --user-group "$mailer_user"
for dir in "${overridden[@]}"; do
  "${sudo_cmd[@]}" dpkg-statoverride --update --add "$mailer_user" "$mailer_user" 0755 "$dir"
done
"${sudo_cmd[@]}" chown "$mailer_user:" /var/lib/zentrak/html
"${sudo_cmd[@]}" dpkg --path-include='/usr/share/man/*' -i "$deb"
for dir in "${overridden[@]}" /var/lib/zentrak/html; do
  [ "$(stat -c %U:%G "$dir")" = "$mailer_user:$mailer_user" ] ||
    fail "the upgrade gave $dir to $(stat -c %U:%G "$dir")"
done
[ "$(stat -c %U /var/lib/zentrak/lastcall.bin)" = zentrak ] ||
  fail "the upgrade changed the owner of the history"
for dir in "${overridden[@]}"; do
  "${sudo_cmd[@]}" dpkg-statoverride --remove "$dir"
done

# A removal keeps the data and the edited configuration; a purge takes both.
cd /
echo later | "${sudo_cmd[@]}" tee /var/lib/zentrak/kept-by-a-later-version >/dev/null
"${sudo_cmd[@]}" dpkg --remove zentrak
[ ! -e /usr/bin/zentrak ] || fail "/usr/bin/zentrak is still there after the removal"
[ -s /var/lib/zentrak/lastcall.bin ] && [ -s /var/lib/zentrak/reports/sessions.out ] ||
  fail "the removal took the history or the reports"
[ -f /etc/zentrak/zentrak.cfg ] || fail "the removal took the configuration"
"${sudo_cmd[@]}" dpkg --purge zentrak
[ ! -e /var/lib/zentrak ] || fail "/var/lib/zentrak is still there after the purge"
[ ! -e /etc/zentrak/zentrak.cfg ] || fail "/etc/zentrak/zentrak.cfg is still there after the purge"
echo "package round trip: installed, ran as zentrak, removed and purged"
