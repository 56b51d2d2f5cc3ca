#!/bin/sh
# Builds the game with one deliberate fault at a time and runs the end-to-end
# tests that should notice it; prints "caught" or "MISSED" per fault. The
# faults are applied to a private copy of the sources, never to the tree.
# Usage: tests/e2e/run_mutants.sh <build-dir with clumpout_e2e_tests>
set -u
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?build dir}" && pwd)
tests="$build/tests/e2e/clumpout_e2e_tests"
work=${MUTANT_DIR:-/tmp/clumpout-mutants}
mkdir -p "$work"
rm -rf "$work/src-tree"
mkdir -p "$work/src-tree"
(cd "$here" && tar --exclude='./build*' --exclude=./.git -cf - .) | (cd "$work/src-tree" && tar -xmf -)  # fresh times: rebuild all
cmake -S "$work/src-tree" -B "$work/build" -DCMAKE_BUILD_TYPE=Debug -DCLUMPOUT_TESTS=OFF \
      -DCLUMPOUT_BENCH=OFF -DDATA_DIR="$build/e2e-data" >/dev/null || exit 1

# file | sed expression | tests expected to fail
mutants='
src/ui/controller.cpp|s/while (XCheckWindowEvent(/while (false \&\& XCheckWindowEvent(/|ExposeTest.Burst*
src/ui/controller.cpp|s/return board.marks\[column\]\[row\] == 0;/return true;/|HoverTest.MovingWithin*
src/ui/controller.cpp|s/if (tile_images.state_enabled\[TILE_PUSHED\] == 0) try_remove/if (true) try_remove/|PlayTest.WholeGameWithPushed*
src/ui/controller.cpp|s/^    restore_snapshot();/    ;/|PlayTest.Undo*
src/ui/layout.cpp|s/return (y - 3) \/ MENU_ROW_HEIGHT;/return y \/ MENU_ROW_HEIGHT;/|MenuTest.SizeMenu*
src/ui/layout.cpp|s/Gets%6d  Rests%6d/Gets%6d Rests%7d/|PlayTest.NewGame*
src/ui/game_ui.cpp|s/ExposureMask, SouthWestGravity/ExposureMask, NorthWestGravity/|FromSmall/SizeChoiceTest.*/30x20
src/ui/game_ui.cpp|s/LeaveWindowMask, SouthWestGravity/LeaveWindowMask, NorthWestGravity/|ScoresTest.Custom*
src/ui/status_panel.cpp|s/        score_state.recorded = 1;/        ;/|ScoresTest.FinishedGame*
src/pictures/chooser.cpp|s/catalogue\[static_cast<std::size_t>(row)\].disabled == 0/true/|CatalogueTest.Broken*
'
# Control: the unchanged game must pass every test used below.
filters=$(echo "$mutants" | awk -F'|' 'NF == 3 { printf "%s%s", sep, $3; sep = ":" }')
cmake --build "$work/build" --target clumpout -j2 >/dev/null 2>&1 || { echo "control does not build"; exit 1; }
if ! CLUMPOUT_E2E_PROGRAM="$work/build/clumpout" timeout 600 "$tests" --gtest_filter="$filters" >"$work/control.log" 2>&1; then
    echo "control FAILED: the unchanged game fails $filters"
    exit 1
fi
echo "control passed"

echo "$mutants" | while IFS='|' read -r file expr filter; do
    [ -z "$file" ] && continue
    cp "$here/$file" "$work/src-tree/$file"
    sed -i "$expr" "$work/src-tree/$file"
    if cmp -s "$here/$file" "$work/src-tree/$file"; then
        echo "STALE   $file: $expr (pattern not found)"
        continue
    fi
    if ! cmake --build "$work/build" --target clumpout -j2 >/dev/null 2>&1; then
        echo "NOBUILD $file: $expr"
    elif CLUMPOUT_E2E_PROGRAM="$work/build/clumpout" timeout 300 "$tests" --gtest_filter="$filter" >/dev/null 2>&1; then
        echo "MISSED  $file: $expr ($filter)"
    else
        echo "caught  $file: $expr ($filter)"
    fi
    cp "$here/$file" "$work/src-tree/$file"
done
