#!/bin/sh
# Builds the e2e game and the display benchmark in a build directory of its
# own and prints the start-up and interaction tables.
# Usage: bench/display/run.sh [build-dir] [--runs N] [--moves N] [--scale S [--paired]] [--board CxR]
set -e
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$here/build-bench-display
case ${1-} in
--*|'') ;;
*) build=$1; shift ;;
esac
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target clumpout_display_bench -j2 >/dev/null
exec "$build/tests/e2e/clumpout_display_bench" "$@"
