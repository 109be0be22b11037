#!/usr/bin/env bash
# Installs the build tools that are missing on a Debian 12 machine, and the
# test tools and other extras that the arguments name. Needs root (or sudo)
# only when something is missing.
# Usage: install_deps.sh [test] [clang] [mingw] [mingw32] [wine] [package] [browser] [format]
#                        [metrics]
set -euo pipefail

# The programs alone need no more than these: `make demo` waits for nothing else.
need=()
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
command -v g++ >/dev/null || need+=(g++)
command -v make >/dev/null || need+=(make)
# The trends store is an SQLite database.
[ -f /usr/include/sqlite3.h ] || need+=(libsqlite3-dev)
# Rotated logs come compressed with gzip.
[ -f /usr/include/zlib.h ] || need+=(zlib1g-dev)
for extra in "$@"; do
  case "$extra" in
    # The tests: their framework, the fixed clock of the end-to-end stations,
    # the linter of the manual pages and sqlite3 to look into the trends store.
    test) [ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
          ls /usr/lib/*/faketime/libfaketime.so.1 >/dev/null 2>&1 || need+=(faketime)
          command -v mandoc >/dev/null || need+=(mandoc)
          # The trends store's test looks into it with sqlite3.
          command -v sqlite3 >/dev/null || need+=(sqlite3)
          # The nightly runs' test rotates its log with Debian's logrotate.
          [ -x /usr/sbin/logrotate ] || need+=(logrotate) ;;
    clang) command -v clang++ >/dev/null || need+=(clang) ;
           ls /usr/lib/llvm-14/lib/clang/14*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 \
             || need+=(libclang-rt-14-dev) ;;
    mingw) command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix)
           [ -f /usr/x86_64-w64-mingw32/include/zlib.h ] || need+=(libz-mingw-w64-dev) ;;
    mingw32) command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686-posix)
             [ -f /usr/i686-w64-mingw32/include/zlib.h ] || need+=(libz-mingw-w64-dev) ;;
    wine) command -v wine >/dev/null || need+=(wine wine64) ;;
    package) command -v dpkg-shlibdeps >/dev/null || need+=(dpkg-dev)
             command -v file >/dev/null || need+=(file)
             command -v man >/dev/null || need+=(man-db)
             # The package's round trip installs it, and it needs adduser.
             command -v adduser >/dev/null || need+=(adduser) ;;
    # The web pages' checks: a browser, an HTML checker, Node to drive the
    # browser and a font, so that screenshots show text.
    browser) command -v chromium >/dev/null || need+=(chromium) ;
             command -v tidy >/dev/null || need+=(tidy) ;
             command -v node >/dev/null || need+=(nodejs) ;
             [ -f /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf ] || need+=(fonts-dejavu-core) ;;
    format) command -v clang-format >/dev/null || need+=(clang-format) ;;
    # The trends metrics file is checked with Prometheus's own promtool.
    metrics) command -v promtool >/dev/null || need+=(prometheus) ;;
  esac
done

if [ ${#need[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${need[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${need[@]}"
