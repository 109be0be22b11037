#!/usr/bin/env bash
# Fails when a C++ file of the tree is not formatted by the project's
# .clang-format; prints the files to run `clang-format -i` on.
# usage: check_format.sh [ROOT]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
cd "$root"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  # Code taken from elsewhere (third_party/) keeps its authors' layout.
  mapfile -t files < <(git ls-files '*.cc' '*.h' ':!:third_party/*')
else
  mapfile -t files < <(find src tools tests fuzz bench -name '*.cc' -o -name '*.h')
fi
# One clang-format for all files: it names each offending file in its warnings.
mapfile -t unformatted < <(clang-format --dry-run "${files[@]}" 2>&1 |
  sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: .*clang-format-violations.*/\1/p' | sort -u)
if [ ${#unformatted[@]} -gt 0 ]; then
  echo "Not clang-format clean (run clang-format -i on them):"
  printf '  %s\n' "${unformatted[@]}"
  exit 1
fi
echo "${#files[@]} files clang-format clean"
