#!/usr/bin/env bash
# The layer check must pass a tree whose includes run downward and fail one
# with an upward include or a folder outside the layer order.
set -uo pipefail
check=$(cd "$(dirname "$0")/../.." && pwd)/tools/scripts/check_layers.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

tree() { # name: a two-layer tree, low below high
  mkdir -p "$work/$1/src/low" "$work/$1/src/high"
  echo 'set(ZENTRAK_LAYERS low high)' >"$work/$1/CMakeLists.txt"
  printf '#include <string>\n#include "low/a.h"\n' >"$work/$1/src/high/b.cc"
  printf '#include "low/c.h"\n#include "gtest_helper.h"\n' >"$work/$1/src/low/a.h"
}
failures=0
expect() { # status name
  bash "$check" "$work/$2" >"$work/out" 2>&1
  local status=$?
  if [ "$status" -ne "$1" ]; then
    echo "$2: exit status $status, expected $1"; cat "$work/out"; failures=1
  fi
}

tree downward
expect 0 downward
tree upward
echo '#include "high/b.h"' >>"$work/upward/src/low/a.h"
expect 1 upward
grep -q 'src/low/a.h:3: low/ includes from high/' "$work/out" || { cat "$work/out"; failures=1; }
tree stray
mkdir -p "$work/stray/src/extra"
expect 1 stray
exit $failures
