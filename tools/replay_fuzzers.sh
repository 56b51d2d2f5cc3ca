#!/bin/sh
# replay_fuzzers.sh <build-dir> <runs> <seed>: the fuzz stage of the test
# command, the same answer every time. Each libFuzzer target of a fuzz build
# first runs every committed input of fuzz/corpus/<target>/ once, then
# mutates them for exactly <runs> runs from the random seed <seed>, with the
# memory limits set here rather than left to libFuzzer's defaults. Nothing
# is written into the corpus; failing inputs go to <build-dir>/fuzz-artifacts/.
# Prints one line per target; the exit status is 1 when any target failed.
# (tools/run_fuzzers.sh is the open-ended search for developers.)
set -u

if [ $# -ne 3 ]; then
    echo "usage: $0 <build-dir> <runs> <seed>" >&2
    exit 2
fi
build=$(cd "$1" && pwd) || exit 2
runs=$2
seed=$3
source_dir=$(cd "$(dirname "$0")/.." && pwd)
# The largest a target may grow, and the largest single allocation: an
# input that makes the code under test ask for more is a failure.
limits="-rss_limit_mb=2048 -malloc_limit_mb=1024"
status=0

mkdir -p "$build/fuzz-artifacts"
found=0
for binary in "$build"/fuzz/*_fuzz; do
    [ -x "$binary" ] || continue
    found=1
    target=$(basename "$binary")
    seeds="$source_dir/fuzz/corpus/${target%_fuzz}"
    scratch="$build/fuzz-replay/$target"
    log="$build/fuzz-artifacts/$target.replay.log"
    rm -rf "$scratch"
    mkdir -p "$scratch"
    verdict=ok
    # Every committed input on its own, then the fixed search from them.
    if ! find "$seeds" -type f -print0 2>/dev/null | xargs -0 -r "$binary" $limits >"$log" 2>&1; then
        verdict="FAILED on a committed input (see $log)"
    elif ! "$binary" $limits -runs="$runs" -seed="$seed" -artifact_prefix="$build/fuzz-artifacts/$target-" \
            "$scratch" "$seeds" >>"$log" 2>&1; then
        verdict="FAILED (see $log)"
    fi
    [ "$verdict" = ok ] || status=1
    inputs=$(find "$seeds" -type f 2>/dev/null | wc -l)
    printf '%-24s %4s inputs + %s runs  %s\n' "$target" "$inputs" "$runs" "$verdict"
done
if [ "$found" -eq 0 ]; then
    echo "no fuzz targets in $build/fuzz; build them first (cmake --build $build --target fuzzers)" >&2
    exit 2
fi
exit $status
