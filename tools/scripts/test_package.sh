#!/usr/bin/env bash
# The Debian package's round trip on this machine: install it, ask the
# installed program for its version and its manual page, run the installed
# example station in a scratch folder, check that a run without arguments
# finds the system configuration, then remove the package again.
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

work=$(mktemp -d)
cleanup() {
  "${sudo_cmd[@]}" dpkg --purge zentrak >/dev/null 2>&1 || true
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
[ -d /var/lib/zentrak ] || fail "no /var/lib/zentrak"

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

# Without an argument the installed program reads the system configuration.
(cd "$work" && zentrak --check) >"$work/system" || true
grep -q 'Reading config file (/etc/zentrak/zentrak.cfg)' "$work/system" ||
  fail "a run without arguments does not read /etc/zentrak/zentrak.cfg"

cd /
"${sudo_cmd[@]}" dpkg --purge zentrak
[ ! -e /usr/bin/zentrak ] || fail "/usr/bin/zentrak is still there after the removal"
echo "package round trip: installed, ran and removed"
