#!/usr/bin/env bash
# Writes the example stations' web pages (the mailer's and binkd's) and those
# of a hostile station
# (tests/e2e/html-hostile), passes every page through an HTML checker and
# renders each in headless Chromium (browser_check.mjs), which checks what the
# browser made of it.
#
# Usage: check_pages.sh BUILD_DIR
# Without Chromium, tidy or Node the check is skipped (exit 77), unless
# ZENTRAK_REQUIRE_BROWSER=1 (make test sets it: there a skip would hide a gap).
set -uo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)

missing=()
command -v node >/dev/null || missing+=(node)
command -v tidy >/dev/null || missing+=(tidy)
[ -n "${CHROMIUM:-}" ] || command -v chromium >/dev/null || missing+=(chromium)
if [ ${#missing[@]} -gt 0 ]; then
  echo "missing: ${missing[*]} (tools/scripts/install_deps.sh browser installs them)"
  [ "${ZENTRAK_REQUIRE_BROWSER:-}" = 1 ] && exit 1
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! bash "$root/examples/station/run_demo.sh" "$build" "$work/demo" >"$work/demo.log" 2>&1; then
  cat "$work/demo.log"
  echo "the demo failed"
  exit 1
fi
if ! ZENTRAK_E2E_KEEP="$work/hostile" bash "$root/tests/e2e/run_case.sh" \
  "$root/tests/e2e/html-hostile" "$build"; then
  echo "the hostile station failed"
  exit 1
fi
cp "$root/examples/station/templates-html/zentrak.css" "$work/hostile/"

status=0
# Tidy knows HTML5 but not every ARIA attribute; that one warning is no fault.
pages=("$work"/demo/station/html/*.html "$work"/demo/binkd/html/*.html "$work"/hostile/*.html)
for page in "${pages[@]}"; do
  report=$(tidy -e -q "$page" 2>&1)
  [ $? -ge 2 ] && status=1
  report=$(grep -v 'proprietary attribute "aria-current"' <<<"$report")
  if [ -n "$report" ]; then
    echo "${page#"$work"/}:"
    echo "$report"
    status=1
  fi
done
[ $status -eq 0 ] && echo "tidy: no warnings or errors on ${#pages[@]} pages"

node "$root/tests/html/browser_check.mjs" check "$root/tests/html/expect.json" \
  "$work/demo/station/html" "$work/hostile" "$work/demo/binkd/html" || status=1
exit $status
