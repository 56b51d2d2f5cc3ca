// board.cpp: the one Board and ScoreState, dealing, and the board questions.
// Owns the invariants of the active area (gravity, packing, rests); knows
// nothing of drawing, windows or files. Nothing here reads a cell outside the
// first `columns` columns and `rows` rows: those keep an older board's tiles.
#include "board/board.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

Board board = {20, 10, {}, {}};
ScoreState score_state = {};
unsigned deal_seed = 0;

namespace {

// Whether the tile at (column, row) has an edge neighbour of its own colour,
// looking only inside the active area. The caller has checked the cell is a
// tile, so an empty neighbour never matches.
bool tile_has_same_neighbour(int column, int row) {
    const std::int32_t colour = board.cells[column][row];
    if (column > 0 && board.cells[column - 1][row] == colour) return true;
    if (column < board.columns - 1 && board.cells[column + 1][row] == colour) return true;
    if (row > 0 && board.cells[column][row - 1] == colour) return true;
    if (row < board.rows - 1 && board.cells[column][row + 1] == colour) return true;
    return false;
}

}  // namespace

void deal_board() {
    // Seeding at every deal makes two deals in the same second equal.
    deal_board_seeded(static_cast<unsigned>(std::time(nullptr)));
}

void deal_board_seeded(unsigned seed) {
    // The column-major order of the draws is what fixes the board for a seed.
    deal_seed = seed;
    std::srand(seed);
    for (int column = 0; column < board.columns; ++column) {
        for (int row = 0; row < board.rows; ++row) {
            const int draw = std::rand();
            board.cells[column][row] = (draw / 3) % NUM_COLOURS + 1;
            board.marks[column][row] = 0;
        }
    }
    score_state.gets = 0;
    score_state.recorded = 0;
    score_state.rests = board.columns * board.rows;
}

void deal_board_of_size(int columns, int rows, unsigned seed) {
    board.columns = columns;
    board.rows = rows;
    deal_board_seeded(seed);
}

bool in_play_field(int column, int row) {
    return column >= 0 && column < board.columns && row >= 0 && row < board.rows;
}

bool has_same_neighbour(int column, int row) {
    // A cell outside the play field has no neighbours; refusing it here keeps
    // a stray pointer position from reading past the arrays.
    if (!in_play_field(column, row)) return false;
    if (board.cells[column][row] == 0) return false;
    return tile_has_same_neighbour(column, row);
}

bool any_move_left() {
    // Runs before every event: relies on gravity and packing to stop a
    // column at its first gap and the scan at the first empty column.
    for (int column = 0; column < board.columns; ++column) {
        if (board.cells[column][board.rows - 1] == 0) return false;
        for (int row = board.rows - 1; row >= 0; --row) {
            if (board.cells[column][row] == 0) break;
            if (tile_has_same_neighbour(column, row)) return true;
        }
    }
    return false;
}

bool any_marked() {
    for (int row = 0; row < board.rows; ++row) {
        for (int column = 0; column < board.columns; ++column) {
            if (board.marks[column][row] == 1) return true;
        }
    }
    return false;
}

bool board_cleared() { return board.cells[0][board.rows - 1] == 0; }

int list_clusters(std::span<Cluster, MAX_CLUSTERS> out) {
    // Static, so a search that lists clusters millions of times allocates
    // nothing; one thread, and no call nests in another.
    struct Cell {
        int column;
        int row;
    };
    static bool seen[MAX_COLUMNS][MAX_ROWS];
    static Cell stack[MAX_COLUMNS * MAX_ROWS];
    std::memset(seen, 0, sizeof seen);
    int count = 0;
    // Columns are packed from the left and tiles rest on the bottom, but the
    // walk does not rely on it: every cell of the play field is looked at.
    for (int c = 0; c < board.columns; ++c) {
        for (int r = 0; r < board.rows; ++r) {
            const int colour = board.cells[c][r];
            if (colour == 0 || seen[c][r]) continue;
            int size = 0, top = 0;
            stack[top++] = {c, r};
            seen[c][r] = true;
            while (top > 0) {
                const Cell cell = stack[--top];
                ++size;
                const Cell next[4] = {{cell.column - 1, cell.row},
                                      {cell.column + 1, cell.row},
                                      {cell.column, cell.row - 1},
                                      {cell.column, cell.row + 1}};
                for (const Cell& n : next) {
                    if (!in_play_field(n.column, n.row)) continue;
                    if (seen[n.column][n.row] || board.cells[n.column][n.row] != colour) continue;
                    seen[n.column][n.row] = true;
                    stack[top++] = n;
                }
            }
            if (size >= 2) out[static_cast<std::size_t>(count++)] = {c, r, size, colour};
        }
    }
    return count;
}
