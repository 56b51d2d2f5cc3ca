// play_oracle.h: what a removal must leave, worked out from the rules of
// play alone (clusters, gravity, column closing), so that a fault in the
// game's own rules cannot hide in the expectation.
#pragma once

#include "e2e/tile_oracle.h"

#include <set>
#include <utility>

using Cell = std::pair<int, int>;  // column, row

// The edge-connected cluster of the tile at `cell` (empty for an empty cell).
std::set<Cell> cluster_of(const BoardCells& cells, Cell cell);
// The board after removing `cluster`: tiles fall, emptied columns close.
BoardCells after_removal(const BoardCells& cells, const std::set<Cell>& cluster);
bool any_pair_left(const BoardCells& cells);
// Same colours everywhere; a hidden cell (-2) on either side matches anything.
bool same_cells(const BoardCells& a, const BoardCells& b);

// The first cell, in column order, of a biggest cluster; (-1, -1) when none.
Cell biggest_cluster(const BoardCells& cells);
