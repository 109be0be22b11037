# What every failure script starts from: the repository, the build, the
# failure shim and libfaketime, from the script's two arguments
# (<build-dir> <fail-shim.so>). Sourced, not run.
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
shim=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n 1)
[ -n "$faketime_lib" ] || { echo "libfaketime is missing"; exit 1; }
