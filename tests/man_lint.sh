#!/usr/bin/env bash
# Lints the manual pages: any warning or error from mandoc fails.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if ! command -v mandoc >/dev/null; then
  echo "mandoc is missing (make test installs it)" >&2
  exit 1
fi
failed=0
for page in "$root"/docs/man/*.[0-9]; do
  if ! mandoc -T lint -W warning "$page"; then failed=1; fi
done
exit $failed
