// invariants.cpp: the checks of a read-back board against the rules of play
// (gravity, packing, the tile count) and against the status line.
#include "stress/invariants.h"

#include "e2e/play_oracle.h"

#include <cstdio>

std::optional<StatusNumbers> parse_status_text(std::string_view text)
{
    std::string copy(text);
    StatusNumbers n;
    int consumed = -1;
    if (std::sscanf(copy.c_str(), "Gets%6d  Rests%6d  Total%7d%n", &n.gets, &n.rests, &n.total, &consumed) != 3 ||
        consumed != static_cast<int>(copy.size()))
        return std::nullopt;
    return n;
}

std::vector<std::string> board_faults(const BoardCells& cells, const StatusNumbers& status)
{
    std::vector<std::string> faults;
    auto fault = [&faults](const char* format, int a, int b = 0) {
        char line[160];
        std::snprintf(line, sizeof line, format, a, b);
        faults.emplace_back(line);
    };

    int tiles = 0;
    bool seen_empty_column = false;
    for (int c = 0; c < cells.columns; ++c) {
        bool column_empty = true;
        bool tile_above = false;
        for (int r = 0; r < cells.rows; ++r) {
            const int colour = cells.colour[c][r];
            if (colour < 0) {
                fault("cell %d,%d cannot be told from any tile or the background", c, r);
                continue;
            }
            if (colour > 0) {
                ++tiles;
                column_empty = false;
                tile_above = true;
            } else if (tile_above) {
                fault("a tile hangs above the empty cell %d,%d", c, r);
                tile_above = false;  // one report per gap
            }
        }
        if (!column_empty && seen_empty_column) fault("column %d holds tiles right of an empty column", c);
        seen_empty_column = seen_empty_column || column_empty;
    }

    if (tiles != status.rests) fault("the board holds %d tiles but the status line says Rests %d", tiles, status.rests);
    if (status.total != status.gets - status.rests)
        fault("Total %d is not Gets - Rests (%d)", status.total, status.gets - status.rests);
    if (status.gets < 0) fault("Gets is negative: %d", status.gets);

    // Game over exactly when no pair is left: then every tile is drawn
    // pushed; while a pair is left, with the pointer away, every tile is plain.
    const bool over = !any_pair_left(cells);
    for (int c = 0; c < cells.columns; ++c)
        for (int r = 0; r < cells.rows; ++r) {
            if (cells.colour[c][r] <= 0) continue;
            const CellLook& look = cells.look[c][r];
            if (over && !look.pushed) fault("no pair is left but tile %d,%d is not drawn pushed", c, r);
            if (!over && !look.plain) fault("pairs are left but tile %d,%d is not drawn plain", c, r);
        }
    return faults;
}
