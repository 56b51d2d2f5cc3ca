// play_oracle.cpp: clusters by breadth-first search, removal by rebuilding
// each column from its kept tiles and packing the non-empty columns left.
#include "e2e/play_oracle.h"

#include <queue>
#include <vector>

std::set<Cell> cluster_of(const BoardCells& cells, Cell start)
{
    std::set<Cell> found;
    auto [c0, r0] = start;
    if (c0 < 0 || r0 < 0 || c0 >= cells.columns || r0 >= cells.rows) return found;
    int colour = cells.colour[c0][r0];
    if (colour <= 0) return found;
    std::queue<Cell> todo;
    todo.push(start);
    found.insert(start);
    while (!todo.empty()) {
        auto [c, r] = todo.front();
        todo.pop();
        const Cell next[4] = {{c - 1, r}, {c + 1, r}, {c, r - 1}, {c, r + 1}};
        for (auto [nc, nr] : next) {
            if (nc < 0 || nr < 0 || nc >= cells.columns || nr >= cells.rows) continue;
            if (cells.colour[nc][nr] != colour || found.count({nc, nr})) continue;
            found.insert({nc, nr});
            todo.push({nc, nr});
        }
    }
    return found;
}

BoardCells after_removal(const BoardCells& cells, const std::set<Cell>& cluster)
{
    BoardCells out = cells;
    std::vector<std::vector<int>> kept;  // per non-empty column, tiles bottom first
    for (int c = 0; c < cells.columns; ++c) {
        std::vector<int> column;
        for (int r = cells.rows - 1; r >= 0; --r)
            if (cells.colour[c][r] > 0 && !cluster.count({c, r})) column.push_back(cells.colour[c][r]);
        if (!column.empty()) kept.push_back(column);
    }
    for (int c = 0; c < cells.columns; ++c)
        for (int r = 0; r < cells.rows; ++r) {
            out.colour[c][r] = 0;
            out.look[c][r] = CellLook{};
        }
    for (size_t c = 0; c < kept.size(); ++c)
        for (size_t i = 0; i < kept[c].size(); ++i) out.colour[c][cells.rows - 1 - static_cast<int>(i)] = kept[c][i];
    return out;
}

bool any_pair_left(const BoardCells& cells)
{
    for (int c = 0; c < cells.columns; ++c)
        for (int r = 0; r < cells.rows; ++r) {
            int v = cells.colour[c][r];
            if (v <= 0) continue;
            if (c + 1 < cells.columns && cells.colour[c + 1][r] == v) return true;
            if (r + 1 < cells.rows && cells.colour[c][r + 1] == v) return true;
        }
    return false;
}

bool same_cells(const BoardCells& a, const BoardCells& b)
{
    if (a.columns != b.columns || a.rows != b.rows) return false;
    for (int c = 0; c < a.columns; ++c)
        for (int r = 0; r < a.rows; ++r)
            if (a.colour[c][r] != b.colour[c][r] && a.colour[c][r] != -2 && b.colour[c][r] != -2) return false;
    return true;
}

Cell biggest_cluster(const BoardCells& cells)
{
    Cell best{-1, -1};
    size_t best_size = 1;
    for (int c = 0; c < cells.columns; ++c)
        for (int r = 0; r < cells.rows; ++r) {
            size_t n = cluster_of(cells, {c, r}).size();
            if (n > best_size) {
                best_size = n;
                best = {c, r};
            }
        }
    return best;
}

