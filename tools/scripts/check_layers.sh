#!/usr/bin/env bash
# Fails when an #include under src/ runs upward: every folder there is a layer,
# and a file may include only from its own layer or from one below it. The
# order is read from ZENTRAK_LAYERS in CMakeLists.txt, bottom first, so the
# build and this check cannot disagree. A folder missing from that list fails
# too, so a new folder has to take its place in the order.
#
# usage: check_layers.sh [ROOT]   (ROOT holds CMakeLists.txt and src/)
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}

layers=$(sed -n 's/^set(ZENTRAK_LAYERS \(.*\))$/\1/p' "$root/CMakeLists.txt")
if [ -z "$layers" ]; then
  echo "no set(ZENTRAK_LAYERS ...) line in $root/CMakeLists.txt"
  exit 1
fi
declare -A rank
level=0
for layer in $layers; do
  rank[$layer]=$level
  level=$((level + 1))
done

failed=0
for dir in "$root"/src/*/; do
  folder=$(basename "$dir")
  if [ -z "${rank[$folder]+set}" ]; then
    echo "src/$folder is no layer: add it to ZENTRAK_LAYERS in CMakeLists.txt"
    failed=1
  fi
done

while IFS= read -r hit; do
  file=${hit%%:*}
  rest=${hit#*:}
  number=${rest%%:*}
  [[ ${rest#*:} =~ ^#include\ \"([^/\"]+)/ ]] || continue
  included=${BASH_REMATCH[1]}
  relative=${file#"$root"/src/}
  from=${relative%%/*}
  [ -n "${rank[$from]+set}" ] || continue
  if [ -z "${rank[$included]+set}" ]; then
    echo "src/$relative:$number includes from $included/, which is no layer"
    failed=1
  elif [ "${rank[$included]}" -gt "${rank[$from]}" ]; then
    echo "src/$relative:$number: $from/ includes from $included/, a layer above it"
    failed=1
  fi
done < <(grep -rn --include='*.h' --include='*.cc' '^#include "' "$root/src" || true)

if [ "$failed" -eq 0 ]; then
  echo "includes run downward through: $layers"
fi
exit $failed
