#!/bin/sh
# run_fuzzers.sh <build-dir> <seconds>: runs every libFuzzer target of a
# fuzz build (CC=clang CXX=clang++ cmake -DCLUMPOUT_FUZZ=ON -DCLUMPOUT_TESTS=OFF)
# for the given time, starting from its seeds in fuzz/corpus/<target>/.
# New inputs go to <build-dir>/fuzz-corpus/<target>/ so the seeds stay as
# they are; crashes go to <build-dir>/fuzz-artifacts/, and every input that
# made a target fail is also copied into fuzz/corpus/<target>/ as a seed,
# so that the test command (tools/replay_fuzzers.sh) replays it from then
# on: commit it with the fix. Prints each target's executions and coverage;
# the exit status is 1 when any target failed.
set -u

if [ $# -ne 2 ]; then
    echo "usage: $0 <build-dir> <seconds>" >&2
    exit 2
fi
build=$(cd "$1" && pwd) || exit 2
seconds=$2
source_dir=$(cd "$(dirname "$0")/.." && pwd)
status=0

mkdir -p "$build/fuzz-artifacts"
found=0
for binary in "$build"/fuzz/*_fuzz; do
    [ -x "$binary" ] || continue
    found=1
    target=$(basename "$binary")
    seeds="$source_dir/fuzz/corpus/${target%_fuzz}"
    work="$build/fuzz-corpus/$target"
    log="$build/fuzz-artifacts/$target.log"
    mkdir -p "$work" "$seeds"
    "$binary" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$build/fuzz-artifacts/$target-" "$work" "$seeds" >"$log" 2>&1
    result=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    features=$(grep -o 'ft: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    if [ "$result" -eq 0 ]; then
        verdict=ok
    else
        verdict="FAILED (see $log)"
        status=1
    fi
    for artifact in "$build/fuzz-artifacts/$target"-crash-* "$build/fuzz-artifacts/$target"-oom-* \
                 "$build/fuzz-artifacts/$target"-leak-* "$build/fuzz-artifacts/$target"-timeout-*; do
        [ -f "$artifact" ] || continue
        name=$(basename "$artifact")
        cp "$artifact" "$seeds/found-${name#"$target"-}"
        verdict="$verdict; new seed $seeds/found-${name#"$target"-}"
    done
    printf '%-24s %12s runs  cov %6s  ft %6s  %s\n' "$target" "${runs:-?}" "${coverage:-?}" "${features:-?}" "$verdict"
done
if [ "$found" -eq 0 ]; then
    echo "no fuzz targets in $build/fuzz; build them first (cmake --build $build --target fuzzers)" >&2
    exit 2
fi
exit $status
