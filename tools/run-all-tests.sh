#!/usr/bin/env bash
# run-all-tests.sh: every test of the game from a fresh Debian machine.
# Installs the Debian packages the build and the tests need (when any is
# missing), then: a normal build with all unit, end-to-end and packaging
# tests; the same under AddressSanitizer and UndefinedBehaviorSanitizer; the
# libFuzzer targets built with clang, each replaying its committed inputs
# and then running FUZZ_RUNS inputs from the fixed seed FUZZ_SEED, so the
# same tree gives the same answer every time. Ends with
# one summary line and a non-zero status when anything failed.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
FUZZ_RUNS=${FUZZ_RUNS:-2000}
FUZZ_SEED=${FUZZ_SEED:-1}
JOBS=${JOBS:-2}
started=$SECONDS

PACKAGES=(
    build-essential cmake pkg-config python3
    libx11-dev libxpm-dev libxtst-dev libxdamage-dev libpng-dev x11-common
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xfonts-base x11-apps x11-utils twm imagemagick xrestop valgrind
    groff-base desktop-file-utils
    clang libclang-rt-14-dev
)

source tools/debian_packages.sh

stage() { printf '\n===== %s =====\n' "$*"; }

stage "Debian packages"
install_missing_packages "${PACKAGES[@]}"

failed=0

# Builds in $1 with the remaining cmake arguments and runs ctest there; sets
# "result" to "passed/total" or to what stopped it.
build_and_test() {
    local dir=$1
    shift
    result="build failed"
    cmake -S . -B "$dir" "$@" || { result="configure failed"; return 1; }
    cmake --build "$dir" -j"$JOBS" || return 1
    local log="$dir/ctest.log" status=0
    ctest --test-dir "$dir" --output-on-failure -j"$JOBS" 2>&1 | tee "$log" || status=$?
    local total failed_count
    total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n1)
    failed_count=$(sed -n 's/.* \([0-9]*\) tests failed out of.*/\1/p' "$log" | tail -n1)
    if [[ -z $total ]]; then
        result="ctest did not finish"
        return 1
    fi
    result="$((total - failed_count))/$total"
    ((status == 0 && failed_count == 0 && total > 0))
}

stage "Normal build: unit, end-to-end and packaging tests"
if build_and_test build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo; then
    normal="unit+e2e $result"
else
    normal="unit+e2e $result"
    failed=1
fi

stage "Sanitizer build (ASan+UBSan)"
if build_and_test build-asan -DCMAKE_BUILD_TYPE=Debug -DCLUMPOUT_SANITIZE=ON -DCLUMPOUT_BENCH=OFF; then
    asan="asan $result"
else
    asan="asan $result"
    failed=1
fi

stage "Fuzz targets (clang, libFuzzer)"
fuzz="fuzz build failed"
if CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ -DCLUMPOUT_FUZZ=ON -DCLUMPOUT_TESTS=OFF &&
    cmake --build build-fuzz --target fuzzers -j"$JOBS"; then
    targets=$(find build-fuzz/fuzz -maxdepth 1 -type f -executable -name '*_fuzz' 2>/dev/null | wc -l)
    if sh tools/replay_fuzzers.sh build-fuzz "$FUZZ_RUNS" "$FUZZ_SEED"; then
        fuzz="fuzz $targets targets, corpus + $FUZZ_RUNS runs from seed $FUZZ_SEED"
    else
        fuzz="fuzz FAILED ($targets targets, corpus + $FUZZ_RUNS runs from seed $FUZZ_SEED)"
        failed=1
    fi
else
    failed=1
fi

# The time goes on a line of its own, so the same tree always gives the
# same summary line.
printf '\nTook %d min %d s\n' $(((SECONDS - started) / 60)) $(((SECONDS - started) % 60))
if ((failed)); then
    echo "TESTS FAILED: $normal, $asan, $fuzz"
    exit 1
fi
echo "ALL TESTS PASSED: $normal, $asan, $fuzz"
