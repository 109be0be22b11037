#!/usr/bin/env bash
# The Debian package's round trip on this machine: install it, ask the
# installed program for its version and its manual page, check the system
# user and its folders, run the installed example stations (the mailer's and
# binkd's) in a scratch folder, check that a run without arguments finds the
# system configuration and names its placeholders, run the system configuration the way the systemd service
# does, then remove the package (the data stays) and purge it (the data goes).
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
cleanup() {
  "${sudo_cmd[@]}" dpkg --purge zentrak >/dev/null 2>&1 || true
  if [ "$user_before" = no ] && getent passwd zentrak >/dev/null; then
    "${sudo_cmd[@]}" userdel zentrak >/dev/null 2>&1 || true
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
[ -f /etc/zentrak/zentrak.cfg ] || fail "no /etc/zentrak/zentrak.cfg"
dpkg-query --control-show zentrak conffiles | grep -qx '/etc/zentrak/zentrak.cfg' ||
  fail "/etc/zentrak/zentrak.cfg is not a conffile"
# The system user and the folders that must be its.
entry=$(getent passwd zentrak) || fail "the package made no user zentrak"
uid=$(echo "$entry" | cut -d: -f3)
[ "$uid" -lt 1000 ] || fail "zentrak is no system user (uid $uid)"
for dir in /var/lib/zentrak /var/lib/zentrak/reports; do
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
# and its check names the first placeholder still to fill in.
(cd "$work" && zentrak --check) >"$work/system" || true
cat "$work/system"
grep -q 'Reading config file (/etc/zentrak/zentrak.cfg)' "$work/system" ||
  fail "a run without arguments does not read /etc/zentrak/zentrak.cfg"
grep -q 'Unable to open mailer cfg file (/path/to/your/mailer.cfg)' "$work/system" ||
  fail "the check of the system configuration does not name the mailer's configuration"

# The station's files in place of the placeholders, one at a time: the check
# then names the next one. Then the run as the service runs it: its user, its
# folder, its command.
chmod 755 "$work"
fill() {
  "${sudo_cmd[@]}" sed -i -e "s|^$1 .*|$1 $2|" -e "s|^;LINE 1|LINE 1|" /etc/zentrak/zentrak.cfg
  (cd / && "${sudo_cmd[@]}" runuser -u zentrak -- zentrak --check /etc/zentrak/zentrak.cfg) \
    >"$work/check" || true
  grep -qF "$3" "$work/check" || { cat "$work/check"; fail "with $1 filled in, no line: $3"; }
}
fill MAILER_CFG "$station/mailer.cfg" 'Unable to open language file (/path/to/your/mailer/language.lng)'
fill LNGFILE "$station/english.lng" 'Unable to open log file (/path/to/your/mailer.log)'
fill LOG "$station/mailer.log" 'Processing files.out'
service_user=$(sed -n 's/^User=//p' "$unit")
service_dir=$(sed -n 's/^WorkingDirectory=//p' "$unit")
service_cmd=$(sed -n 's/^ExecStart=//p' "$unit")
status=0
(cd / && "${sudo_cmd[@]}" runuser -u "$service_user" -- sh -c "cd $service_dir && $service_cmd") \
  >"$work/service" 2>&1 || status=$?
cat "$work/service"
[ "$status" -eq 0 ] || fail "the service's command ended with status $status"
for file in /var/lib/zentrak/reports/sessions.out /var/lib/zentrak/reports/files.out \
  /var/lib/zentrak/lastcall.bin; do
  [ -s "$file" ] || fail "the service's run wrote no $file"
  [ "$(stat -c %U "$file")" = zentrak ] || fail "$file does not belong to zentrak"
done
grep -q 'Other files' /var/lib/zentrak/reports/files.out ||
  fail "the files report shows no group of the files of no alias"

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
